// What the cookie store keeps on disk, how often it writes, and the scope
// and header of what it sends.

#include "net/cookie_store.h"

#include "net/url_fetcher.h"
#include "net_test_support.h"
#include "test_server.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

class CookieMendsTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        srv.Http().Get("/set/(\\w+)", [](const httplib::Request &req, httplib::Response &res) {
            const std::string name = req.matches[1];
            res.set_header("Set-Cookie", name + "=1; Path=/" + (name[0] == 's' ? "" : "; Max-Age=3600"));
            res.set_content("ok", "text/plain");
        });
        srv.Http().Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            cookieLines = int(req.get_header_value_count("Cookie"));
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        srv.Start();
    }

    QByteArray Fetch(const std::string &url, const QString &headers = QString())
    {
        ST_URLREQUEST req;
        InitUrlRequest(req, Q(url), QString(), 20000);
        req.strHeaders = headers;
        ST_URLRESPONSE resp;
        EXPECT_TRUE(FetchUrl(req, resp, 0)) << url;
        return resp.body;
    }
    QByteArray File() const
    {
        QFile f(CookiePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    CCookieStore &store = CCookieStore::Instance();
    TestServer srv;
    int cookieLines = -1;
};

TEST_F(CookieMendsTest, SessionCookiesLiveInMemoryOnly)
{
    Fetch(srv.Url("/set/sess"));
    Fetch(srv.Url("/set/keep"));
    EXPECT_EQ(SortedCookies(Fetch(srv.Url("/who"))), "keep=1; sess=1");
    store.Flush();
    EXPECT_TRUE(File().contains("\tkeep\t1\n"));
    EXPECT_FALSE(File().contains("sess"));
    store.Reload();
    EXPECT_EQ(Fetch(srv.Url("/who")), "keep=1");
}

TEST_F(CookieMendsTest, ABurstOfCookieAnswersWritesTheFileOnceUntilFlushed)
{
    Fetch(srv.Url("/set/a"));
    EXPECT_TRUE(File().contains("\ta\t1\n"));
    Fetch(srv.Url("/set/b"));
    Fetch(srv.Url("/set/c"));
    EXPECT_FALSE(File().contains("\tb\t1\n"));
    store.Flush();
    EXPECT_TRUE(File().contains("\tb\t1\n"));
    EXPECT_TRUE(File().contains("\tc\t1\n"));
}

TEST_F(CookieMendsTest, SavingMergesWithAnotherInstanceAndKeepsRemovalsRemoved)
{
    ASSERT_TRUE(store.AddCookie("mine=1; Max-Age=3600", "127.0.0.1"));
    store.Flush();
    {
        // Another instance adds its cookie to the file meanwhile.
        QFile f(CookiePath());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("127.0.0.1\tFALSE\t/\tFALSE\t4102444800\ttheirs\t2\n");
    }
    ASSERT_TRUE(store.AddCookie("more=3; Max-Age=3600", "127.0.0.1"));
    store.Flush();
    EXPECT_TRUE(File().contains("\ttheirs\t2\n"));
    EXPECT_TRUE(File().contains("\tmine\t1\n"));
    EXPECT_TRUE(File().contains("\tmore\t3\n"));

    ST_COOKIE mine;
    mine.name = "mine";
    mine.domain = QStringLiteral("127.0.0.1");
    store.RemoveCookie(mine);
    store.Flush();
    EXPECT_FALSE(File().contains("mine"));
    EXPECT_TRUE(File().contains("\ttheirs\t2\n"));
    // The other instance's cookie is this one's too now.
    EXPECT_EQ(SortedCookies(Fetch(srv.Url("/who"))), "more=3; theirs=2");
}

TEST_F(CookieMendsTest, CallerCookieHeaderAndStoredCookiesGoOutAsOneLine)
{
    Fetch(srv.Url("/set/sid"));
    EXPECT_EQ(Fetch(srv.Url("/who"), QStringLiteral("Referer: x\r\nCookie: own=2")), "sid=1; own=2");
    EXPECT_EQ(cookieLines, 1);
}

TEST_F(CookieMendsTest, HostOnlyAndDomainCookiesKeepTheirScope)
{
    // Real-looking host names reach the local server through the proxy.
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(srv.Port())).c_str(), 1);
    unsetenv("no_proxy");
    ASSERT_TRUE(store.AddCookie("Set-Cookie: host=1; Path=/; Max-Age=3600", "shop.example"));
    ASSERT_TRUE(store.AddCookie("wide=2; Domain=shop.example; Path=/", "shop.example"));
    const QByteArray onHost = Fetch("http://shop.example/who");
    const QByteArray onSub = Fetch("http://img.shop.example/who");
    unsetenv("http_proxy");
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    EXPECT_EQ(SortedCookies(onHost), "host=1; wide=2");
    EXPECT_EQ(onSub, "wide=2");
    // The scope survives the file.
    store.Flush();
    store.Reload();
    for (const ST_COOKIE &c : store.CookieRecords())
        EXPECT_EQ(c.hostOnly, c.name == "host") << c.name.constData();
}

TEST_F(CookieMendsTest, ALinkAtTheFileIsReplacedNeverWrittenThrough)
{
    const QString target = TempPath(QStringLiteral("elsewhere"));
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("mine");
    t.close();
    QFile::remove(CookiePath());
    ASSERT_TRUE(QFile::link(target, CookiePath()));
    Fetch(srv.Url("/set/keep"));
    store.Flush();
    EXPECT_FALSE(QFileInfo(CookiePath()).isSymLink());
    EXPECT_TRUE(File().contains("\tkeep\t1\n"));
    QFile again(target);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "mine");
    EXPECT_EQ(QFileInfo(CookiePath()).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

} // namespace
