// "https://" addresses go over TLS with certificate verification.

#include "net/net_config.h"
#include "net/net_context.h"
#include "net/url_fetcher.h"

#include "net_test_support.h"
#include "test_server.h"

#include <QFile>

namespace {

using TlsServer = BasicTestServer<httplib::SSLServer>;

class TlsTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        ASSERT_TRUE(tls.Http().is_valid());
        tls.Http().Get("/secure", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("over tls", "text/plain");
        });
        tls.Start();
        plain.Http().Get("/secure", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("in clear", "text/plain");
        });
        plain.Start();
    }
    void TearDown() override { SetTlsCaFile(QString()); }

    TlsServer tls{OSTREL_TEST_CERT_DIR "/server.pem", OSTREL_TEST_CERT_DIR "/server.key"};
    TestServer plain;
    ST_URLREQUEST req;
    ST_URLRESPONSE resp;
};

TEST_F(TlsTest, TrustedTestCaSucceeds)
{
    SetTlsCaFile(OSTREL_TEST_CERT_DIR "/ca.pem");
    InitUrlRequest(req, Q(tls.Url("/secure", "https")), QString(), 20000);
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "over tls");
    EXPECT_TRUE(resp.strRawHeaders.startsWith("HTTP/1.1 200"));
}

TEST_F(TlsTest, UntrustedCertificateFails)
{
    InitUrlRequest(req, Q(tls.Url("/secure", "https")), QString(), 20000);
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.body.isEmpty());
    EXPECT_EQ(resp.strFailReason, QStringLiteral("证书无效"));
}

TEST_F(TlsTest, HttpsIsNeverSentInClear)
{
    // A plain server on the https port: no request is answered in clear.
    SetTlsCaFile(OSTREL_TEST_CERT_DIR "/ca.pem");
    InitUrlRequest(req, Q(plain.Url("/secure", "https")), QString(), 20000);
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_NE(resp.body, "in clear");
}

TEST_F(TlsTest, HostNameMustMatchTheCertificate)
{
    // Signed by the trusted CA, but for another name.
    TlsServer other(OSTREL_TEST_CERT_DIR "/other.pem", OSTREL_TEST_CERT_DIR "/other.key");
    other.Http().Get("/secure", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("wrong host", "text/plain");
    });
    other.Start();
    SetTlsCaFile(OSTREL_TEST_CERT_DIR "/ca.pem");
    InitUrlRequest(req, Q(other.Url("/secure", "https")), QString(), 20000);
    req.byRetryDelaySec = 0;
    EXPECT_FALSE(FetchUrl(req, resp, 0));
    EXPECT_TRUE(resp.body.isEmpty());
    EXPECT_EQ(resp.strFailReason, QStringLiteral("证书无效"));
}

TEST_F(TlsTest, RedirectFromHttpsToHttpsIsFollowed)
{
    tls.Http().Get("/moved", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("/secure");
    });
    SetTlsCaFile(OSTREL_TEST_CERT_DIR "/ca.pem");
    InitUrlRequest(req, QStringLiteral("https://localhost:%1/moved").arg(tls.Port()), QString(), 20000);
    ASSERT_TRUE(FetchUrl(req, resp, 0));
    EXPECT_EQ(resp.body, "over tls");
}

TEST_F(TlsTest, CaBundleIsReadOncePerContext)
{
    // The test server closes every connection, so each request verifies anew.
    const QString ca = TempPath(QStringLiteral("ca.pem"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(OSTREL_TEST_CERT_DIR "/ca.pem"), ca));
    SetTlsCaFile(ca);
    CNetContext net;
    auto fetch = [&](CNetContext &ctx) {
        InitUrlRequest(req, Q(tls.Url("/secure", "https")), QString(), 20000);
        req.byRetryDelaySec = 0;
        req.pNet = &ctx;
        return FetchUrl(req, resp, 0) && resp.body == "over tls";
    };
    ASSERT_TRUE(fetch(net));
    QFile f(ca);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a certificate\n");
    f.close();
    EXPECT_TRUE(fetch(net));
    CNetContext fresh;
    EXPECT_FALSE(fetch(fresh));
}

} // namespace
