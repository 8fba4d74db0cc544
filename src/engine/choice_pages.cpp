#include "engine/choice_pages.h"

#include "engine/page_load.h"
#include "engine/page_reader.h"

#include <chrono>
#include <system_error>

namespace {

// How often a wait looks at the stop flag.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

} // namespace

CChoicePages::CChoicePages(const QStringList &urls, const std::atomic<bool> *pStop, const ST_PAGESOURCE &source)
    : m_urls(urls), m_pStop(pStop), m_source(source), m_pages(size_t(urls.size())), m_done(size_t(urls.size()), false)
{
    const int nLoaders = std::min<int>(source.pBrowser ? 1 : kChoicePagesAtOnce, int(urls.size()));
    for (int k = 0; k < nLoaders; ++k) {
        try {
            m_loaders.emplace_back([this] { LoadPages(); });
        } catch (const std::system_error &) {
            break; // the loaders that started take every page
        }
    }
    // Without any loader the pages are loaded in Take().
}

CChoicePages::~CChoicePages()
{
    m_bAbort = true;
    for (std::thread &t : m_loaders)
        t.join();
}

void CChoicePages::LoadPages()
{
    const auto stopped = [this] { return m_bAbort.load() || (m_pStop && m_pStop->load()); };
    for (int i = m_nNext++; i < m_urls.size() && !stopped(); i = m_nNext++) {
        std::optional<ST_PRODUCTPAGE> page;
        try {
            ST_LOADEDPAGE loaded;
            if (LoadPageFrom(m_source, m_urls[i], &m_bAbort, loaded))
                page = ReadProductPage(loaded.strText, loaded.strHtml, m_urls[i]);
            // A gated page holds no pictures of the product.
            if (loaded.bLoginGate || (page && page->bCheckPage)) {
                m_bGated = true;
                page.reset();
            }
        } catch (...) {
            page.reset(); // a page that fails in any way is skipped like one not loaded
        }
        {
            std::lock_guard lock(m_mtx);
            m_pages[size_t(i)] = std::move(page);
            m_done[size_t(i)] = true;
        }
        m_cv.notify_all();
    }
}

std::optional<ST_PRODUCTPAGE> CChoicePages::Take(int i)
{
    if (i < 0 || i >= m_urls.size())
        return std::nullopt;
    if (m_loaders.empty())
        LoadPages(); // no thread could start: one page after another, here
    std::unique_lock lock(m_mtx);
    while (!m_done[size_t(i)]) {
        if (m_pStop && m_pStop->load()) {
            m_bAbort = true;
            return std::nullopt;
        }
        m_cv.wait_for(lock, kStopPoll);
    }
    return std::move(m_pages[size_t(i)]);
}
