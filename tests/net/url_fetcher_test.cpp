#include "net/url_fetcher.h"

#include "test_server.h"

#include <gtest/gtest.h>

namespace {

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

class FetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        srv.Http().Get("/hello", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("hello world", "text/plain");
        });
        srv.Start();
    }
    TestServer srv;
};

TEST_F(FetchTest, PlainGetReturnsBodyAndRawHeaders)
{
    ST_URLREQUEST req;
    InitUrlRequest(req, Q(srv.Url("/hello")), QString(), 20000);
    ST_URLRESPONSE resp;
    InitUrlResponse(resp);
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, QByteArray("hello world"));
    EXPECT_TRUE(resp.strRawHeaders.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(resp.strRawHeaders.contains("Content-Length: 11\r\n"));
    EXPECT_TRUE(resp.strRawHeaders.endsWith("\r\n\r\n"));
    EXPECT_FALSE(resp.bGzip);
}

} // namespace
