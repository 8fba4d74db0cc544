#include "net/url_fetcher.h"

#include "net/response_text.h"
#include "net_test_support.h"
#include "test_server.h"

#include <QFile>

#include <atomic>
#include <chrono>

namespace {

using namespace std::chrono_literals;

class FetchTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        auto &h = srv.Http();
        h.Get("/hello", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("hello world", "text/plain");
        });
        h.Get("/echo", [](const httplib::Request &req, httplib::Response &res) {
            std::string text;
            for (const auto &[k, v] : req.headers)
                text += k + "=" + v + "\n";
            res.set_content(text, "text/plain");
        });
        h.Get("/size/(\\d+)", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(std::string(std::stoul(req.matches[1]), 'x'), "application/octet-stream");
        });
        // The same sizes without Content-Length.
        h.Get("/chunked/(\\d+)", [](const httplib::Request &req, httplib::Response &res) {
            const std::size_t n = std::stoul(req.matches[1]);
            res.set_chunked_content_provider("application/octet-stream",
                                             [n](std::size_t, httplib::DataSink &sink) {
                                                 const std::string part(n, 'y');
                                                 sink.write(part.data(), part.size());
                                                 sink.done();
                                                 return true;
                                             });
        });
        h.Get("/gzip", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(S(Deflate("<b>START</b>one<b>START</b>two END rest")), "text/html");
        });
        h.Get("/marks", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("aa<i>bb<i>cc|END|dd", "text/html");
        });
        h.Get("/old", [](const httplib::Request &, httplib::Response &res) {
            res.set_redirect("/hello");
        });
        h.Get("/count", [this](const httplib::Request &, httplib::Response &res) {
            ++hits;
            res.set_content("busy, try later", "text/plain");
        });
        h.Post("/post", [this](const httplib::Request &req, httplib::Response &res) {
            posted = req.body;
            postType = req.get_header_value("Content-Type");
            postLength = req.get_header_value("Content-Length");
            res.set_content("ok", "text/plain");
        });
        srv.Start();
    }

    bool Fetch(const std::string &path, unsigned flags = 0)
    {
        if (req.strUrl.isEmpty())
            InitUrlRequest(req, Q(srv.Url(path)), QString(), 20000);
        else
            req.strUrl = Q(srv.Url(path));
        return FetchUrl(req, resp, flags);
    }

    TestServer srv;
    ST_URLREQUEST req;
    ST_URLRESPONSE resp;
    std::atomic<int> hits{0};
    std::string posted, postType, postLength;
};

// --- request records ---

TEST(UrlRequestRecord, InitAndResetSetTheDocumentedValues)
{
    ST_URLREQUEST r;
    InitUrlRequest(r, "http://a/", "/tmp/x", 5000);
    EXPECT_EQ(r.strUrl, "http://a/");
    EXPECT_EQ(r.strVerb, "GET");
    EXPECT_EQ(r.strSavePath, "/tmp/x");
    EXPECT_EQ(r.dwReadTimeout, 5000u);
    EXPECT_EQ(r.dwConnectTimeout, 5000u);
    EXPECT_EQ(r.byAttempts, 1);
    EXPECT_EQ(r.byRetryDelaySec, 1);
    EXPECT_EQ(r.nMinKB, 0);
    EXPECT_EQ(r.nMaxKB, 0);
    EXPECT_EQ(r.nMinBodyLen, 0u);
    EXPECT_TRUE(r.pPostData.isNull());

    r.strVerb = "POST";
    r.strHeaders = "A: b";
    r.startMark = "s";
    r.endMark = "e";
    r.failMark = "f";
    r.pPostData = "x=1";
    r.nMinKB = 3;
    r.nMaxKB = 4;
    r.nMinBodyLen = 7;
    r.byAttempts = 2;
    r.byRetryDelaySec = 5;
    ResetUrlRequest(r);
    EXPECT_TRUE(r.strUrl.isEmpty());
    EXPECT_TRUE(r.strSavePath.isEmpty());
    EXPECT_TRUE(r.strHeaders.isEmpty());
    EXPECT_TRUE(r.startMark.isEmpty());
    EXPECT_TRUE(r.endMark.isEmpty());
    EXPECT_TRUE(r.pPostData.isNull());
    EXPECT_EQ(r.strVerb, "GET");
    EXPECT_EQ(r.dwReadTimeout, 20000u);
    EXPECT_EQ(r.dwConnectTimeout, 20000u);
    EXPECT_EQ(r.nMinKB, 0);
    EXPECT_EQ(r.nMaxKB, 0);
    // These survive a reset.
    EXPECT_EQ(r.failMark, "f");
    EXPECT_EQ(r.nMinBodyLen, 7u);
    EXPECT_EQ(r.byAttempts, 2);
    EXPECT_EQ(r.byRetryDelaySec, 5);
}

// --- the exchange ---

TEST_F(FetchTest, PlainGetReturnsBodyAndRawHeaders)
{
    ASSERT_TRUE(Fetch("/hello"));
    EXPECT_EQ(resp.body, QByteArray("hello world"));
    EXPECT_TRUE(resp.strRawHeaders.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(resp.strRawHeaders.contains("Content-Length: 11\r\n"));
    EXPECT_TRUE(resp.strRawHeaders.endsWith("\r\n\r\n"));
    EXPECT_FALSE(resp.bGzip);
}

TEST_F(FetchTest, SendsTheDefaultAgentWholeAndOnlyTheCallersHeaders)
{
    InitUrlRequest(req, Q(srv.Url("/echo")), QString(), 20000);
    req.strHeaders = "Referer: http://item.jd.com/\r\nX-One: 1";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    const QByteArray &b = resp.body;
    EXPECT_TRUE(b.contains("User-Agent=User-Agent:Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 "
                           "(KHTML, like Gecko) Chrome/38.0.2125.104 Safari/537.36\n"))
        << S(b);
    EXPECT_TRUE(b.contains("Referer=http://item.jd.com/\n"));
    EXPECT_TRUE(b.contains("X-One=1\n"));
    EXPECT_FALSE(b.contains("Accept="));
    EXPECT_FALSE(b.contains("Accept-Encoding="));
    EXPECT_FALSE(b.contains("Cookie="));
}

TEST_F(FetchTest, IeFlagSendsTheMsieAgent)
{
    ASSERT_TRUE(Fetch("/echo", URLF_IE_AGENT));
    EXPECT_TRUE(resp.body.contains(QByteArray("User-Agent=") + kIeAgent + "\n")) << S(resp.body);
}

TEST_F(FetchTest, RedirectIsFollowedAndTheFinalHeadersKept)
{
    ASSERT_TRUE(Fetch("/old"));
    EXPECT_EQ(resp.body, "hello world");
    EXPECT_TRUE(resp.strRawHeaders.startsWith("HTTP/1.1 200"));
    EXPECT_FALSE(resp.strRawHeaders.contains("Location"));
}

TEST_F(FetchTest, BadAddressesFailWithoutARequest)
{
    for (const char *url : {"", "not a url", "ftp://127.0.0.1/x", "http://", "file:///etc/passwd"}) {
        InitUrlRequest(req, url, QString(), 20000);
        req.byRetryDelaySec = 0;
        EXPECT_FALSE(FetchUrl(req, resp, 0)) << url;
        EXPECT_TRUE(resp.body.isEmpty());
    }
}

TEST_F(FetchTest, ZeroAttemptsFailsAtOnce)
{
    InitUrlRequest(req, Q(srv.Url("/count")), QString(), 20000);
    req.byAttempts = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_EQ(hits, 0);
}

// --- size limits ---

TEST_F(FetchTest, ContentLengthBelowMinimumFailsBeforeTheBody)
{
    InitUrlRequest(req, Q(srv.Url("/size/5000")), QString(), 20000);
    req.nMinKB = 10;
    EXPECT_FALSE(FetchUrlOnce(resp, req, 0));
    EXPECT_TRUE(resp.body.isEmpty());
    EXPECT_TRUE(resp.strRawHeaders.contains("Content-Length: 5000"));
}

TEST_F(FetchTest, ContentLengthAboveMaximumFailsBeforeTheBody)
{
    InitUrlRequest(req, Q(srv.Url("/size/4000000")), QString(), 20000);
    req.nMaxKB = 1;
    EXPECT_FALSE(FetchUrlOnce(resp, req, 0));
    EXPECT_TRUE(resp.body.isEmpty());
}

TEST_F(FetchTest, NoLimitsPassEverySize)
{
    InitUrlRequest(req, Q(srv.Url("/size/5000")), QString(), 20000);
    EXPECT_TRUE(FetchUrlOnce(resp, req, 0));
    EXPECT_EQ(resp.body.size(), 5000);
    req.strUrl = Q(srv.Url("/size/0"));
    EXPECT_TRUE(FetchUrlOnce(resp, req, 0));
    EXPECT_TRUE(resp.body.isEmpty());
}

TEST_F(FetchTest, SizeLimitsHoldAtTheirExactEdges)
{
    struct Case
    {
        const char *path;
        int minKB, maxKB;
        bool ok;
    };
    const Case cases[] = {
        {"/size/10240", 10, 0, true},     {"/size/10239", 10, 0, false},
        {"/chunked/10240", 10, 0, true},  {"/chunked/10239", 10, 0, false},
        {"/size/1024", 0, 1, true},       {"/size/1025", 0, 1, false},
        {"/chunked/1024", 0, 1, true},    {"/chunked/1025", 0, 1, false},
        {"/chunked/2048", 1, 2, true},
    };
    for (const Case &c : cases) {
        InitUrlRequest(req, Q(srv.Url(c.path)), QString(), 20000);
        req.nMinKB = c.minKB;
        req.nMaxKB = c.maxKB;
        EXPECT_EQ(FetchUrlOnce(resp, req, 0), c.ok) << c.path << " " << c.minKB << "/" << c.maxKB;
    }
}

TEST_F(FetchTest, NegativeLimitsMeanNoLimit)
{
    InitUrlRequest(req, Q(srv.Url("/size/100")), QString(), 20000);
    req.nMinKB = -1;
    req.nMaxKB = -1;
    EXPECT_TRUE(FetchUrlOnce(resp, req, 0));
}

// --- content checks and attempts ---

TEST_F(FetchTest, MinBodyLenIsExclusive)
{
    InitUrlRequest(req, Q(srv.Url("/size/100")), QString(), 20000);
    req.nMinBodyLen = 100;
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body.size(), 100); // the response still holds the attempt
    req.strUrl = Q(srv.Url("/size/101"));
    EXPECT_TRUE(FetchUrl(req, resp, 0));
}

TEST_F(FetchTest, EveryAttemptIsMadeWhenTheFailMarkIsFound)
{
    InitUrlRequest(req, Q(srv.Url("/count")), QString(), 20000);
    req.failMark = "busy";
    req.byAttempts = 3;
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_EQ(hits, 3);
    EXPECT_EQ(resp.body, "busy, try later");
}

TEST_F(FetchTest, FailMarkIsSearchedAfterInflationOnlyWithCacheableFlag)
{
    const QByteArray packed = Deflate("<b>START</b>one<b>START</b>two END rest");
    ASSERT_FALSE(packed.contains("two"));
    InitUrlRequest(req, Q(srv.Url("/gzip")), QString(), 20000);
    req.failMark = "two";
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, URLF_CACHEABLE));
    EXPECT_TRUE(FetchUrl(req, resp, 0));
}

TEST_F(FetchTest, MinBodyLenCountsTheInflatedBodyWithCacheableFlag)
{
    const QByteArray packed = Deflate(QByteArray(1000, 'a'));
    ASSERT_LT(packed.size(), 500);
    srv.Http().Get("/gzbig", [&](const httplib::Request &, httplib::Response &res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(S(packed), "text/html");
    });
    InitUrlRequest(req, Q(srv.Url("/gzbig")), QString(), 20000);
    req.byRetryDelaySec = 0;
    req.nMinBodyLen = 500;
    EXPECT_TRUE(FetchUrl(req, resp, URLF_CACHEABLE));
    EXPECT_EQ(resp.body, packed); // the check inflates a copy
    EXPECT_FALSE(FetchUrl(req, resp, 0));
}

TEST_F(FetchTest, TwoAttemptsAgainstAClosedPortPauseAfterEach)
{
    TestServer closed;
    closed.Start();
    const std::string url = closed.Url("/x");
    closed.Stop(); // nobody listens on this port any more
    InitUrlRequest(req, Q(url), QString(), 20000);
    req.byAttempts = 2;
    req.byRetryDelaySec = 1;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(FetchUrl(req, resp, 3));
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 2s);
}

// --- markers ---

TEST_F(FetchTest, StartMarkKeepsTextAfterItsLastOccurrenceAndEndMarkCuts)
{
    InitUrlRequest(req, Q(srv.Url("/marks")), QString(), 20000);
    req.startMark = "<i>";
    req.endMark = "|END|";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "cc");
    EXPECT_EQ(resp.startMark, "<i>");
    EXPECT_EQ(resp.endMark, "|END|");
}

TEST_F(FetchTest, MarkersDoNotApplyWhenSavingToAFile)
{
    InitUrlRequest(req, Q(srv.Url("/marks")), TempPath("m.html"), 20000);
    req.startMark = "<i>";
    req.endMark = "|END|";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    QFile f(TempPath("m.html"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "aa<i>bb<i>cc|END|dd");
    EXPECT_TRUE(resp.body.isEmpty()); // a saved body goes to its file only
}

TEST_F(FetchTest, EndMarkStopsReadingAndClosesTheConnection)
{
    std::atomic<bool> writeFailed{false};
    std::atomic<bool> finished{false};
    srv.Http().Get("/long", [&](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider(
            "text/html",
            [&](std::size_t, httplib::DataSink &sink) {
                const std::string head = "<p>wanted</p><!--stop-->";
                sink.write(head.data(), head.size());
                const std::string filler(64 * 1024, 'z');
                for (int i = 0; i < 400; ++i) {
                    std::this_thread::sleep_for(2ms);
                    if (!sink.write(filler.data(), filler.size())) {
                        writeFailed = true;
                        break;
                    }
                }
                sink.done();
                return true;
            },
            [&](bool) { finished = true; });
    });
    InitUrlRequest(req, Q(srv.Url("/long")), QString(), 20000);
    req.endMark = "<!--stop-->";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "<p>wanted</p>");
    for (int i = 0; i < 1000 && !finished; ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(writeFailed) << "the server could send everything";
}

// --- gzip bodies ---

TEST_F(FetchTest, GzipBodyIsKeptCompressedAndUncut)
{
    InitUrlRequest(req, Q(srv.Url("/gzip")), QString(), 20000);
    req.startMark = "<b>START</b>";
    req.endMark = " END";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.bGzip);
    EXPECT_EQ(resp.body, Deflate("<b>START</b>one<b>START</b>two END rest"));

    QString text;
    GetResponseText(resp, text, TXTF_GUNZIP);
    EXPECT_EQ(text, "two");
}

TEST_F(FetchTest, GzipBodyIsSavedCompressed)
{
    const QString path = TempPath("page.gz");
    InitUrlRequest(req, Q(srv.Url("/gzip")), path, 20000);
    ASSERT_TRUE(FetchUrl(req, resp, 3));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), Deflate("<b>START</b>one<b>START</b>two END rest"));
}

TEST_F(FetchTest, GzipAnywhereInTheHeadersCounts)
{
    srv.Http().Get("/tgz", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("plain<i>text", "application/x-gzip-compressed");
    });
    InitUrlRequest(req, Q(srv.Url("/tgz")), QString(), 20000);
    req.startMark = "<i>";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.bGzip);
    EXPECT_EQ(resp.body, "plain<i>text"); // no cut while reading
}

TEST_F(FetchTest, TruncatedGzipBodyEndsCleanly)
{
    QByteArray plain;
    for (int i = 0; i < 4000; ++i)
        plain += "<li>" + QByteArray::number(i) + "</li>";
    const QByteArray gz = Deflate(plain);
    srv.Http().Get("/cut.gz", [&](const httplib::Request &, httplib::Response &res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(S(gz.left(gz.size() / 3)), "text/html");
    });
    InitUrlRequest(req, Q(srv.Url("/cut.gz")), QString(), 20000);
    req.nMinBodyLen = 10;
    ASSERT_TRUE(FetchUrl(req, resp, URLF_CACHEABLE));
    QString text;
    GetResponseText(resp, text, TXTF_GUNZIP);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_TRUE(QString::fromLatin1(plain).startsWith(text));
}

TEST_F(FetchTest, GzipBombEndsCleanly)
{
    const QByteArray bomb = Deflate(QByteArray(4 * 1024 * 1024, 'A'));
    ASSERT_LT(bomb.size(), 100000);
    srv.Http().Get("/bomb.gz", [&](const httplib::Request &, httplib::Response &res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(S(bomb), "text/html");
    });
    InitUrlRequest(req, Q(srv.Url("/bomb.gz")), QString(), 20000);
    req.failMark = "<html";
    ASSERT_TRUE(FetchUrl(req, resp, URLF_CACHEABLE));
    EXPECT_EQ(resp.body, bomb);
    QString text;
    GetResponseText(resp, text, TXTF_GUNZIP);
    EXPECT_EQ(text.size(), 4 * 1024 * 1024);
}

// --- hostile addresses and headers ---

TEST_F(FetchTest, LineBreaksInTheAddressAreEncodedNotSent)
{
    srv.Http().Get(R"(/a[\s\S]*)", [](const httplib::Request &req, httplib::Response &res) {
        res.set_content(req.target + "|" + req.get_header_value("X-Evil"), "text/plain");
    });
    InitUrlRequest(req, Q(srv.Url("/a b\r\nX-Evil: 1")), QString(), 20000);
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "/a%20b%0D%0AX-Evil:%201|");
}

TEST_F(FetchTest, EndlessHeaderBlockFails)
{
    srv.Http().Get("/headers", [](const httplib::Request &, httplib::Response &res) {
        const std::string filler(1000, 'h');
        for (int i = 0; i < 1500; ++i)
            res.set_header("X-Filler-" + std::to_string(i), filler);
        res.set_content("body", "text/plain");
    });
    InitUrlRequest(req, Q(srv.Url("/headers")), QString(), 20000);
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.body.isEmpty());
}

TEST_F(FetchTest, EmptyHeaderLinesAreSkipped)
{
    InitUrlRequest(req, Q(srv.Url("/echo")), QString(), 20000);
    req.strHeaders = "\r\nX-A: 1\r\n\r\nX-B: 2\r\n";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.body.contains("X-A=1\n"));
    EXPECT_TRUE(resp.body.contains("X-B=2\n"));
}

// --- the save file ---

TEST_F(FetchTest, SaveFileReplacesAnExistingFile)
{
    const QString path = TempPath("pic.jpg");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(50000, 'o'));
    }
    InitUrlRequest(req, Q(srv.Url("/size/300")), path, 20000);
    ASSERT_TRUE(FetchUrl(req, resp, 3));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(300, 'x'));
}

TEST_F(FetchTest, FailedAttemptWritesNoFile)
{
    const QString path = TempPath("small.jpg");
    InitUrlRequest(req, Q(srv.Url("/size/300")), path, 20000);
    req.nMinKB = 1;
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 3));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FetchTest, UnwritableSaveFileFailsTheAttempt)
{
    InitUrlRequest(req, Q(srv.Url("/size/300")), TempPath("no/such/dir/x.jpg"), 20000);
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 3));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("无法写入文件"));
}

// --- post bodies ---

TEST_F(FetchTest, PostBodyArrivesWholeAndInOrder)
{
    QByteArray body;
    for (int i = 0; i < 2500; ++i)
        body += char('a' + i % 26);
    InitUrlRequest(req, Q(srv.Url("/post")), QString(), 20000);
    req.strVerb = "POST";
    req.pPostData = body;
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "ok");
    EXPECT_EQ(posted, S(body));
    EXPECT_EQ(postLength, "2500");
    EXPECT_EQ(postType, ""); // no content type of our own
}

TEST_F(FetchTest, PostDataEndsAtItsFirstZeroByte)
{
    InitUrlRequest(req, Q(srv.Url("/post")), QString(), 20000);
    req.strVerb = "POST";
    req.pPostData = QByteArray("a=1\0b=2", 7);
    req.strHeaders = "Content-Type: application/x-www-form-urlencoded";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(posted, "a=1");
    EXPECT_EQ(postType, "application/x-www-form-urlencoded");
}

TEST_F(FetchTest, PostRedirectedWith307SendsTheBodyAgain)
{
    srv.Http().Post("/form", [](const httplib::Request &, httplib::Response &res) {
        res.status = 307;
        res.set_header("Location", "/post");
    });
    InitUrlRequest(req, Q(srv.Url("/form")), QString(), 20000);
    req.strVerb = "POST";
    req.pPostData = QByteArray(3000, 'p');
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "ok");
    EXPECT_EQ(posted, std::string(3000, 'p'));
}

TEST_F(FetchTest, HeadGetsTheHeadersOnly)
{
    InitUrlRequest(req, Q(srv.Url("/size/500")), QString(), 20000);
    req.strVerb = "HEAD";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.body.isEmpty());
    EXPECT_TRUE(resp.strRawHeaders.contains("Content-Length: 500"));
}

TEST_F(FetchTest, PostWithoutBodySendsNone)
{
    InitUrlRequest(req, Q(srv.Url("/post")), QString(), 20000);
    req.strVerb = "POST";
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(posted, "");
    EXPECT_EQ(postLength, "0");
}

} // namespace
