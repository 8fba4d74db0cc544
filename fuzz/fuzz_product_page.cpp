// Product and choice pages of any content: the list and download steps of
// the page reader never fail, and every picture they name lies inside the
// album folder.  A shop on 127.0.0.1 (reached through http_proxy, so every
// address the page names arrives there) answers the requests in the order
// they come with the input's parts: switches, the product page, then one
// answer per further request.

#include "job_checks.h"

#include "engine/engine_state.h"
#include "engine/product_page.h"
#include "engine/test_host.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

// The fetcher pauses a second after a failed attempt; a fuzz run would spend
// its time asleep.  This program only: every pause returns at once.
extern "C" int nanosleep(const struct timespec *, struct timespec *)
{
    return 0;
}

namespace {

class OrderedShop
{
public:
    OrderedShop()
    {
        m_server.Get(".*", [this](const httplib::Request &, httplib::Response &res) { Serve(res); });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~OrderedShop()
    {
        m_server.stop();
        m_thread.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    void SetAnswers(std::deque<std::string> answers, bool bGzipHeader)
    {
        std::lock_guard lock(m_mtx);
        m_answers = std::move(answers);
        m_bGzipHeader = bGzipHeader;
    }

private:
    void Serve(httplib::Response &res)
    {
        std::lock_guard lock(m_mtx);
        if (m_answers.empty()) {
            res.status = 404;
            return;
        }
        if (m_bGzipHeader)
            res.set_header("Content-Encoding", "gzip");
        res.set_content(m_answers.front(), "text/html; charset=GBK");
        m_answers.pop_front();
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mtx;
    std::deque<std::string> m_answers;
    bool m_bGzipHeader = false;
};

OrderedShop *g_shop = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static OrderedShop shop;
    g_shop = &shop;
    setenv("http_proxy", shop.Url().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    unsetenv("https_proxy");
    unsetenv("all_proxy");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = fuzz::Parts(data, size);
    const QByteArray switches = parts[0];
    auto sw = [&](qsizetype i) { return i < switches.size() ? uchar(switches[i]) : uchar(0); };
    std::deque<std::string> answers;
    for (qsizetype i = 1; i < parts.size(); ++i)
        answers.push_back(parts[i].toStdString());
    g_shop->SetAnswers(std::move(answers), sw(1) & 1);

    CEngineState state;
    CTestHost host(state);
    state.StartupReady = 1;
    state.SiteKind = SITE_JD;
    state.ext.bJdPictureMethod = sw(0) & 1;
    state.settings.arrNaming[SITE_JD].wFlags = uint16_t(sw(2) & (DescriptionPicturesOnly | SkipDownloaded));
    const QString address = QStringLiteral("http://item.jd.com/100.html");
    AddProductAlbum(state, host, address);
    if (state.albums.Count() != 1)
        return 0;
    FUZZ_CHECK(state.albums.GetAlbum(0).strUrl == address);

    const QString jobFolder = fuzz::FreshFolder(QStringLiteral("product"));
    state.job.strFolder = jobFolder;
    state.DownloadJobState = JOB_RUNNING;
    ExtractProductPictures(state, host, 0);

    fuzz::CheckInsideAlbum(state.job, jobFolder, true);
    return 0;
}
