// Many threads fetching at once share nothing but the cookie store.

#include "net/cookie_store.h"
#include "net/url_fetcher.h"

#include "net_test_support.h"
#include "test_server.h"

#include <QFile>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 15;

class ThreadsTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        srv.Http().new_task_queue = [] { return new httplib::ThreadPool(kThreads + 2); };
        srv.Http().Get("/pic/(\\d+)", [](const httplib::Request &req, httplib::Response &res) {
            const int n = std::stoi(req.matches[1]);
            res.set_header("Set-Cookie", "c" + std::to_string(n) + "=" + std::to_string(n * 11) + "; Path=/; Max-Age=3600");
            res.set_content(std::string(std::size_t(1000 + n * 137), char('a' + n)), "image/jpeg");
        });
        srv.Start();
    }
    TestServer srv;
};

TEST_F(ThreadsTest, FifteenThreadsEachGetTheirOwnBodyAndAllCookiesAreKept)
{
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round) {
                ST_URLREQUEST req;
                InitUrlRequest(req, Q(srv.Url("/pic/" + std::to_string(t))),
                               TempPath(QStringLiteral("%1.jpg").arg(t)), 20000);
                req.byAttempts = 2;
                ST_URLRESPONSE resp;
                InitUrlResponse(resp);
                // A saved body goes to its file only; the file is checked below.
                if (FetchUrl(req, resp, 3) && resp.nBodyBytes == uint64_t(1000 + t * 137))
                    ++good;
            }
        });
    }
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(good, kThreads * 4);
    for (int t = 0; t < kThreads; ++t) {
        QFile f(TempPath(QStringLiteral("%1.jpg").arg(t)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray(1000 + t * 137, char('a' + t)));
    }

    // The threads saved the store between them; what is still pending goes
    // out at the flush.  The file is whole and holds every cookie.
    EXPECT_EQ(CCookieStore::Instance().Cookies().size(), kThreads);
    CCookieStore::Instance().Flush();
    CCookieStore::Instance().Reload();
    const QList<QByteArray> cookies = CCookieStore::Instance().Cookies();
    EXPECT_EQ(cookies.size(), kThreads);
    for (int t = 0; t < kThreads; ++t) {
        const QByteArray tail = "\tc" + QByteArray::number(t) + "\t" + QByteArray::number(t * 11);
        EXPECT_TRUE(std::any_of(cookies.begin(), cookies.end(),
                                [&](const QByteArray &l) { return l.endsWith(tail); }))
            << t;
    }
}

TEST_F(ThreadsTest, ConcurrentAddsAndSavesLeaveOneWholeFile)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 5; ++i) {
                CCookieStore::Instance().AddCookie(
                    QByteArray("k") + QByteArray::number(t * 10 + i) + "=v; Path=/; Max-Age=3600", "127.0.0.1");
                CCookieStore::Instance().Flush();
            }
        });
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(CCookieStore::Instance().Cookies().size(), kThreads * 5);
    CCookieStore::Instance().Reload();
    EXPECT_EQ(CCookieStore::Instance().Cookies().size(), kThreads * 5);
}

} // namespace
