// A shop that floods the cookie jar, and a cookie file that is no file.

#include "net/cookie_store.h"

#include "net/url_fetcher.h"
#include "net_test_support.h"
#include "test_server.h"

#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ST_COOKIE Cookie(const char *domain, int n)
{
    ST_COOKIE c;
    c.domain = QString::fromLatin1(domain);
    c.name = "c" + QByteArray::number(n);
    c.value = "v";
    c.expires = 4102444800;
    return c;
}

// How many of the cookie-file lines hold `part`.
qsizetype CountHolding(const QList<QByteArray> &lines, const QByteArray &part)
{
    return std::count_if(lines.begin(), lines.end(), [&](const QByteArray &l) { return l.contains(part); });
}

QByteArrayList Names(const QList<ST_COOKIE> &cookies)
{
    QByteArrayList names;
    for (const ST_COOKIE &c : cookies)
        names.append(c.name);
    return names;
}

TEST(CapCookies, TheOldestGoFirstPerDomainAndInAll)
{
    // a: 0 1 2 (oldest first), b: 3 4, a: 5
    const QList<ST_COOKIE> jar{Cookie("a", 0), Cookie("a", 1), Cookie("a", 2), Cookie("B", 3), Cookie("b", 4), Cookie("A", 5)};
    const struct { int perDomain, total; QByteArrayList kept; } cases[] = {
        {10, 10, {"c0", "c1", "c2", "c3", "c4", "c5"}},
        {2, 10, {"c2", "c3", "c4", "c5"}},
        {10, 3, {"c3", "c4", "c5"}},
        {1, 10, {"c4", "c5"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Names(CapCookies(jar, c.perDomain, c.total)), c.kept) << c.perDomain << " " << c.total;
}

class CookieCapTest : public NetTest
{
protected:
    CCookieStore &store = CCookieStore::Instance();
};

TEST_F(CookieCapTest, FloodedFileLoadsOnlyTheNewestCookies)
{
    {
        QFile f(CookiePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray text;
        for (int i = 0; i < 5; ++i)
            text += ".jd.com\tTRUE\t/\tFALSE\t4102444800\tlogin" + QByteArray::number(i) + "\tv\n";
        for (int i = 0; i < 50000; ++i)
            text += "img.storm.example\tFALSE\t/\tFALSE\t4102444800\ts" + QByteArray::number(i) + "\tv\n";
        f.write(text);
    }
    store.Reload();
    const QList<QByteArray> cookies = store.Cookies();
    EXPECT_EQ(cookies.size(), 5 + kMaxCookiesPerDomain);
    EXPECT_EQ(CountHolding(cookies, "\tlogin"), 5);
    EXPECT_EQ(CountHolding(cookies, "\ts49999\t"), 1);
    EXPECT_EQ(CountHolding(cookies, "\ts49819\t"), 0);
    ASSERT_TRUE(store.Save());
    QFile f(CookiePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count('\n'), 1 + 5 + kMaxCookiesPerDomain); // header line
}

TEST_F(CookieCapTest, ShopThatSetsFiftyCookiesPerAnswerStaysWithinTheCap)
{
    TestServer srv;
    srv.Http().Get(R"(/storm/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
        for (int i = 0; i < 50; ++i)
            res.headers.emplace("Set-Cookie", "k" + req.matches[1].str() + "_" + std::to_string(i) + "=v; Max-Age=86400");
        res.set_content("picture", "image/jpeg");
    });
    srv.Start();
    for (int n = 0; n < 10; ++n) {
        ST_URLREQUEST req;
        InitUrlRequest(req, Q(srv.Url("/storm/" + std::to_string(n))), QString(), 20000);
        ST_URLRESPONSE resp;
        ASSERT_TRUE(FetchUrl(req, resp, 0));
    }
    store.Flush();
    const QList<QByteArray> cookies = store.Cookies();
    EXPECT_EQ(cookies.size(), kMaxCookiesPerDomain);
    EXPECT_EQ(CountHolding(cookies, "\tk9_49\t"), 1); // the newest stay
    store.Reload();
    EXPECT_EQ(store.Cookies().size(), kMaxCookiesPerDomain);
}

TEST_F(CookieCapTest, PipeAtTheCookieFileIsNoCookieFile)
{
    const QString fifo = TempPath(QStringLiteral("fifo.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto loading = std::async(std::launch::async, [&] { store.SetCookieFile(fifo); });
    const bool done = loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!done) // let the blocked open go, so the test can end
        ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    loading.wait();
    EXPECT_TRUE(done);
    EXPECT_TRUE(store.Cookies().isEmpty());
}

} // namespace
