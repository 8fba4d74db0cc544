// The log-in browser goes the way the fetcher goes: through the proxy that
// the environment names.

#include "web_test_support.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

class BrowserProxy : public WebLoginTest
{
protected:
    void SetUp() override
    {
        srv.Http().Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            {
                std::lock_guard lock(mtx);
                asked.push_back(req.path);
            }
            res.set_content("<html><body>item</body></html>", "text/html");
        });
        srv.Start();
        // Read once, when the first browser profile starts.
        setenv("http_proxy", srv.Url("").c_str(), 1);
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
        WebLoginTest::SetUp();
    }
    void TearDown() override
    {
        WebLoginTest::TearDown();
        unsetenv("http_proxy");
    }

    bool Asked(const std::string &url)
    {
        std::lock_guard lock(mtx);
        return std::find(asked.begin(), asked.end(), url) != asked.end();
    }

    TestServer srv;
    std::mutex mtx;
    std::vector<std::string> asked;
};

TEST_F(BrowserProxy, PagesGoThroughTheProxyTheEnvironmentNames)
{
    CDlgWebOpen &dlg = Open(QStringLiteral("http://item.jd.com/100.html"));
    ASSERT_TRUE(WaitLoaded(dlg));
    EXPECT_TRUE(Asked("http://item.jd.com/100.html"));
}

} // namespace
