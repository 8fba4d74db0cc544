// Requests made through one context share their connections.

#include "net/net_context.h"
#include "net/url_fetcher.h"

#include "net_test_support.h"
#include "test_server.h"

#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

class ReuseTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        srv.KeepAlive();
        srv.Http().Get("/login", [this](const httplib::Request &req, httplib::Response &res) {
            Seen(req);
            res.set_header("Set-Cookie", "sid=s1; Path=/");
            res.set_content("welcome", "text/plain");
        });
        srv.Http().Get("/whoami", [this](const httplib::Request &req, httplib::Response &res) {
            Seen(req);
            res.set_content(req.get_header_value("Cookie") + "|" + req.get_header_value("X-Pic"),
                            "text/plain");
        });
        srv.Start();
    }
    void Seen(const httplib::Request &req)
    {
        std::lock_guard lock(mtx);
        ports.insert(req.remote_port);
    }
    size_t Connections()
    {
        std::lock_guard lock(mtx);
        return ports.size();
    }
    QByteArray Fetch(const std::string &path, const QString &headers = QString())
    {
        ST_URLREQUEST req;
        InitUrlRequest(req, Q(srv.Url(path)), QString(), 20000);
        req.strHeaders = headers;
        req.pNet = &net;
        ST_URLRESPONSE resp;
        EXPECT_TRUE(FetchUrl(req, resp, 0)) << path;
        return resp.body;
    }

    std::mutex mtx;
    std::set<int> ports;
    TestServer srv;
    CNetContext net; // closed before the server stops
};

TEST_F(ReuseTest, RequestsInTurnUseOneConnectionAndKeepTheirOwnHeadersAndCookies)
{
    EXPECT_EQ(Fetch("/whoami", QStringLiteral("X-Pic: 1")), "|1");
    EXPECT_EQ(Fetch("/login"), "welcome");
    EXPECT_EQ(Fetch("/whoami", QStringLiteral("X-Pic: 2")), "sid=s1|2");
    EXPECT_EQ(Fetch("/whoami"), "sid=s1|");
    EXPECT_EQ(Connections(), 1u);
}

TEST_F(ReuseTest, ParallelRequestsKeepTheirConnectionsForTheNextRound)
{
    constexpr int kThreads = 4;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                const QString h = QStringLiteral("X-Pic: %1").arg(t);
                EXPECT_EQ(Fetch("/whoami", h), "|" + QByteArray::number(t));
            });
        for (auto &th : threads)
            th.join();
    }
    EXPECT_LE(Connections(), size_t(kThreads));
}

TEST(NetContextTest, ContextsShareNoConnections)
{
    TestServer srv;
    srv.KeepAlive();
    std::set<int> ports;
    srv.Http().Get("/x", [&](const httplib::Request &req, httplib::Response &res) {
        ports.insert(req.remote_port); // one request at a time
        res.set_content("x", "text/plain");
    });
    srv.Start();
    {
        CNetContext a, b;
        for (CNetContext *net : {&a, &b, &a, &b}) {
            ST_URLREQUEST req;
            InitUrlRequest(req, Q(srv.Url("/x")), QString(), 20000);
            req.pNet = net;
            ST_URLRESPONSE resp;
            EXPECT_TRUE(FetchUrl(req, resp, 0));
        }
    }
    EXPECT_EQ(ports.size(), 2u);
}

} // namespace
