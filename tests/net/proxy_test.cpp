// The proxy comes from the environment, as libcurl reads it.

#include "net/url_fetcher.h"

#include "net_test_support.h"
#include "test_server.h"

#include <cstdlib>

namespace {

class ProxyTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        proxy.Http().Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            seenTarget = req.path;
            seenHost = req.get_header_value("Host");
            res.set_content("from the proxy", "text/plain");
        });
        proxy.Start();
        const std::string url = "http://127.0.0.1:" + std::to_string(proxy.Port());
        setenv("http_proxy", url.c_str(), 1);
        setenv("no_proxy", "127.0.0.1,localhost", 1);
    }
    void TearDown() override
    {
        unsetenv("http_proxy");
        unsetenv("https_proxy");
    }

    TestServer proxy;
    std::string seenTarget, seenHost;
};

TEST_F(ProxyTest, ProxyVariableRoutesAnUnreachableHostToTheProxy)
{
    ST_URLREQUEST req;
    InitUrlRequest(req, "http://shop.unreachable.invalid/item/1.html", QString(), 20000);
    ST_URLRESPONSE resp;
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "from the proxy");
    EXPECT_EQ(seenHost, "shop.unreachable.invalid");
    EXPECT_NE(seenTarget.find("/item/1.html"), std::string::npos) << seenTarget;
}

TEST_F(ProxyTest, ProxyThatRefusesTheTunnelIsNamed)
{
    // This proxy answers CONNECT with an error, as a filtering proxy's 403.
    const std::string url = "http://127.0.0.1:" + std::to_string(proxy.Port());
    setenv("https_proxy", url.c_str(), 1);
    ST_URLREQUEST req;
    InitUrlRequest(req, "https://shop.unreachable.invalid/item/1.html", QString(), 20000);
    req.byRetryDelaySec = 0;
    ST_URLRESPONSE resp;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("代理拒绝"));
}

TEST_F(ProxyTest, NoProxyHostsGoDirect)
{
    TestServer direct;
    direct.Http().Get("/d", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("direct", "text/plain");
    });
    direct.Start();
    ST_URLREQUEST req;
    InitUrlRequest(req, Q(direct.Url("/d")), QString(), 20000);
    ST_URLRESPONSE resp;
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "direct");
    EXPECT_TRUE(seenHost.empty());
}

} // namespace
