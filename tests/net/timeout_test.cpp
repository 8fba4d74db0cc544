// Time-outs are per step: a stalled server fails the attempt, a slow one that
// keeps sending does not.

#include "net/url_fetcher.h"

#include "net_test_support.h"
#include "test_server.h"

#include <atomic>
#include <chrono>

namespace {

using namespace std::chrono_literals;

class TimeoutTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        auto &h = srv.Http();
        // Ten bytes, then silence for up to three seconds, then the rest.
        h.Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("text/plain", [this](std::size_t, httplib::DataSink &sink) {
                sink.write("0123456789", 10);
                Wait(3s);
                sink.write("rest", 4);
                sink.done();
                return true;
            });
        });
        // 2000 bytes every 100 ms for 1.5 seconds: slow steps, far above the minimum speed.
        h.Get("/trickle", [this](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("text/plain", [this](std::size_t, httplib::DataSink &sink) {
                for (int i = 0; i < 15 && !stop; ++i) {
                    std::this_thread::sleep_for(100ms);
                    if (!sink.write(std::string(2000, 't').data(), 2000))
                        return false;
                }
                sink.done();
                return true;
            });
        });
        // The answer itself comes late.
        h.Get("/late", [this](const httplib::Request &, httplib::Response &res) {
            Wait(3s);
            res.set_content("late", "text/plain");
        });
        srv.Start();
    }
    void TearDown() override
    {
        stop = true;
        srv.Stop();
    }
    void Wait(std::chrono::milliseconds total)
    {
        for (auto t = 0ms; t < total && !stop; t += 10ms)
            std::this_thread::sleep_for(10ms);
    }

    std::atomic<bool> stop{false};
    TestServer srv;
    ST_URLREQUEST req;
    ST_URLRESPONSE resp;
};

TEST_F(TimeoutTest, StallLongerThanTheReadTimeOutFailsTheAttempt)
{
    InitUrlRequest(req, Q(srv.Url("/stall")), QString(), 20000);
    req.dwReadTimeout = 300;
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "0123456789");
}

TEST_F(TimeoutTest, TrickleFasterThanTheReadTimeOutSucceeds)
{
    InitUrlRequest(req, Q(srv.Url("/trickle")), QString(), 20000);
    req.dwReadTimeout = 700; // far above the gaps, far below the whole transfer
    EXPECT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, QByteArray(15 * 2000, 't'));
}

TEST_F(TimeoutTest, LateAnswerIsBoundByTheConnectTimeOut)
{
    InitUrlRequest(req, Q(srv.Url("/late")), QString(), 300);
    req.dwReadTimeout = 20000; // the read limit does not cover waiting for the answer
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
}

} // namespace
