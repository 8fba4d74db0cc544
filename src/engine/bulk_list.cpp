#include "engine/bulk_list.h"

#include "engine/bulk_texts.h"
#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "engine/page_load.h"
#include "engine/page_reader.h"
#include "engine/page_source.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// How often the list job, waiting for a page, looks at its stop.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

struct LoadedProduct
{
    ST_LOADEDPAGE loaded;
    ST_PRODUCTPAGE page;
    bool bLoaded = false;
    QString strReason;
};

// The product pages of the list, loaded a few at a time while the list job
// takes them in order.
class CProductLoads
{
public:
    CProductLoads(const QStringList &urls, const std::atomic<bool> &abort, const ST_PAGESOURCE &source)
        : m_urls(urls), m_abort(abort), m_source(source), m_results(size_t(urls.size()))
    {
        // A browser reads one page at a time.
        const int n = std::min<int>(source.pBrowser ? 1 : kListPagesAtOnce, int(urls.size()));
        for (int k = 0; k < n; ++k) {
            try {
                m_loaders.emplace_back([this] { Load(); });
            } catch (const std::system_error &) {
                break; // the loaders that started take every page
            }
        }
    }
    ~CProductLoads()
    {
        m_bEnd = true;
        for (std::thread &t : m_loaders)
            t.join();
    }
    CProductLoads(const CProductLoads &) = delete;
    CProductLoads &operator=(const CProductLoads &) = delete;

    // Page `i` once loaded; nothing when the list job was stopped first.
    std::optional<LoadedProduct> Take(int i)
    {
        if (m_loaders.empty())
            Load(); // no thread could start: one page after another, here
        std::unique_lock lock(m_mtx);
        while (!m_results[size_t(i)]) {
            if (m_abort.load())
                return std::nullopt;
            m_cv.wait_for(lock, kStopPoll);
        }
        return std::move(m_results[size_t(i)]);
    }

private:
    void Load()
    {
        for (int i = m_nNext++; i < m_urls.size() && !m_abort.load() && !m_bEnd.load(); i = m_nNext++) {
            LoadedProduct r;
            try {
                r.bLoaded = LoadPageFrom(m_source, m_urls[i], &m_abort, r.loaded, &r.strReason);
                if (r.bLoaded)
                    r.page = ReadProductPage(r.loaded.strText, r.loaded.strHtml, m_urls[i]);
            } catch (...) {
                r.bLoaded = false; // a page that fails in any way gives no album
            }
            {
                std::lock_guard lock(m_mtx);
                m_results[size_t(i)] = std::move(r);
            }
            m_cv.notify_all();
        }
    }

    const QStringList m_urls;
    const std::atomic<bool> &m_abort;
    const ST_PAGESOURCE m_source;
    std::atomic<bool> m_bEnd{false};
    std::atomic<int> m_nNext{0};
    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::vector<std::optional<LoadedProduct>> m_results; // guarded by m_mtx
    std::vector<std::thread> m_loaders;
};

// Why a page gave no album, for the notice at the end.
QString Failure(const LoadedProduct &r)
{
    if (r.loaded.bLoginGate || r.page.bCheckPage)
        return notice::ShopGate();
    if (!r.bLoaded)
        return notice::PageNotLoaded(r.strReason);
    if (r.page.strTitle.isEmpty())
        return r.page.strFailure.isEmpty() ? notice::NoProductTitle() : notice::PageNotRead(r.page.strFailure);
    return {};
}

} // namespace

void AddProductAlbums(CEngineState &state, IJobHost &host, const QStringList &addresses)
{
    state.keptPages.Clear();
    state.strPageText.clear();
    state.strPageHtml.clear();
    QStringList failures;
    CProductLoads loads(addresses, state.bAbortList, ChosenPageSource(state, &host));
    const int n = int(addresses.size());
    for (int i = 0; i < n && state.ListJobState.load() != LIST_STOP_REQUESTED; ++i) {
        host.SetStatus2(bulktext::ReadingPage(i + 1, n));
        const std::optional<LoadedProduct> r = loads.Take(i);
        if (!r)
            break;
        const QString failure = Failure(*r);
        if (!failure.isEmpty()) {
            failures.append(addresses[i] + QStringLiteral(" — ") + failure);
            continue;
        }
        state.strSiteFolder = QStringLiteral("京东");
        ST_PERLISTRECORD rec;
        rec.strName = r->page.strTitle;
        rec.strUrl = addresses[i];
        rec.strCoverUrl = r->page.CoverUrl();
        if (state.StartupReady.load() != 1)
            continue;
        state.keptPages.Keep(addresses[i], r->loaded.strText, r->loaded.strHtml);
        const int count = state.albums.AddAlbum(rec);
        host.AddAlbumRow(count - 1);
    }
    host.SetStatus2(QString());
    if (state.ListJobState.load() == LIST_STOP_REQUESTED)
        return;
    if (!failures.isEmpty())
        host.ShowMessage(bulktext::PagesNotAlbums(failures));
}
