// Product pages read in the browser: a script check passes by itself and the
// page's own configuration is read, the log-in gate is named without asking
// for the log-in page, a page that never finishes ends at the cap, and
// ostrel-cli --browser saves the pictures of a checked product.  A process
// of its own: the browser takes its proxy (the shop here) once.

#include "cli/spawn.h"
#include "engine/fake_shop.h"
#include "engine/file_bytes.h"
#include "engine/page_load.h"
#include "engine/page_reader.h"
#include "engine/shop_pages.h"
#include "net/cookie_store.h"
#include "net/net_test_support.h"
#include "webui/web_login_profile.h"
#include "webui/web_page_reader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

const std::string kProduct = "http://item.jd.com/100.html";
const char kCheckCookie[] = "jd_ck";

// The shop's check page: a script sets the cookie that lets the product
// page through and reloads.
const std::string kCheckPage = "<html><head><title>京东验证</title><script>"
                               "setTimeout(function () { document.cookie = 'jd_ck=1; path=/';"
                               " location.reload(); }, 100);</script></head><body>请稍候</body></html>";

// A product whose pictures the page's scripts put into its configuration
// from the document: a script reader without a document cannot build them.
const std::string kScriptedProduct =
    "<!DOCTYPE html><html><head><title>保温杯-京东</title></head>"
    "<body data-pics='//img10.360buyimg.com/n5/jfs/t1/a.jpg //img11.360buyimg.com/n5/jfs/t1/b.jpg'>"
    "<div class='sku-name'>不锈钢保温杯</div>"
    "<script src='http://cart.jd.com/cart/miniCartServiceNew.action'></script>"
    "<script>var pageConfig = {product: {skuid: 100, name: '不锈钢保温杯', "
    "imageList: document.body.getAttribute('data-pics').split(' ')}};</script>"
    "</body></html>";

FakeShop *g_shop = nullptr;

class PageReaderTest : public NetTest
{
protected:
    static void SetUpTestSuite()
    {
        g_shop = new FakeShop;
        // Read once, when the first browser profile starts.
        setenv("http_proxy", g_shop->ProxyUrl().c_str(), 1);
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
    }
    static void TearDownTestSuite()
    {
        delete g_shop;
        g_shop = nullptr;
        unsetenv("http_proxy");
    }
    void SetUp() override
    {
        NetTest::SetUp();
        g_shop->ResetLog();
        profile = std::make_unique<CWebLoginProfile>(TempPath(QStringLiteral("browser")), store);
        reader = std::make_unique<CWebPageReader>([this]() -> CWebLoginProfile & { return *profile; });
    }
    void TearDown() override
    {
        reader.reset();
        profile.reset();
    }

    struct Result
    {
        bool ok = false;
        ST_LOADEDPAGE page;
        QString reason;
        qint64 ms = 0;
    };
    // As the jobs call it: from a thread of their own, the GUI thread's
    // event loop running meanwhile.
    Result Load(const std::string &url, uint32_t timeoutMs, const std::atomic<bool> *pAbort = nullptr)
    {
        Result r;
        std::atomic<bool> done{false};
        QElapsedTimer clock;
        clock.start();
        std::thread job([&] {
            r.ok = reader->LoadPage(QString::fromStdString(url), timeoutMs, pAbort, r.page, &r.reason);
            done = true;
        });
        for (int i = 0; i < 3000 && !done; ++i)
            QTest::qWait(20);
        job.join();
        r.ms = clock.elapsed();
        return r;
    }

    CCookieStore &store = CCookieStore::Instance();
    std::unique_ptr<CWebLoginProfile> profile;
    std::unique_ptr<CWebPageReader> reader;
};

TEST_F(PageReaderTest, ScriptCheckPassesAndThePagesOwnConfigurationIsRead)
{
    g_shop->PutPage(kProduct, kScriptedProduct);
    g_shop->PutGate(kProduct, kCheckCookie, {kCheckPage});
    const Result r = Load(kProduct, 30000);
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    const ST_PRODUCTPAGE page = ReadProductPage(r.page.strText, r.page.strHtml, QString::fromStdString(kProduct));
    EXPECT_EQ(page.strTitle, QStringLiteral("不锈钢保温杯"));
    EXPECT_EQ(page.arrThumbs, QStringList({QStringLiteral("http://img10.360buyimg.com/n5/jfs/t1/a.jpg"),
                                           QStringLiteral("http://img11.360buyimg.com/n5/jfs/t1/b.jpg")}));
    // The check's cookie is the fetcher's too, for the pictures.
    const QList<ST_COOKIE> cookies = store.CookieRecords();
    EXPECT_TRUE(std::any_of(cookies.begin(), cookies.end(), [](const ST_COOKIE &c) { return c.name == kCheckCookie; }));
    // Neither the cart nor the pictures are asked for by the browser.
    EXPECT_EQ(g_shop->CountStartingWith("http://cart.jd.com"), 0);
    EXPECT_EQ(g_shop->CountStartingWith("http://img1"), 0);
}

TEST_F(PageReaderTest, LogInGateIsNamedAndTheLogInPageNeverAskedFor)
{
    g_shop->PutRedirect("http://item.jd.com/200.html",
                        "http://passport.jd.com/new/login.aspx?ReturnUrl=https%3A%2F%2Fitem.jd.com%2F200.html");
    const Result r = Load("http://item.jd.com/200.html", 30000);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.page.bLoginGate) << r.reason.toStdString();
    EXPECT_EQ(g_shop->CountStartingWith("http://passport"), 0);
}

TEST_F(PageReaderTest, PageThatNeverFinishesEndsAtTheCapOrTheStop)
{
    FakeShop::Answer endless{"<html><head><title>x</title></head><body>" + std::string(100000, ' ')};
    endless.fault = FakeShop::Fault::Trickle;
    g_shop->Put("http://item.jd.com/300.html", endless);
    const Result capped = Load("http://item.jd.com/300.html", 2000);
    EXPECT_FALSE(capped.ok);
    EXPECT_FALSE(capped.page.bLoginGate);
    EXPECT_TRUE(capped.reason.contains(QStringLiteral("秒"))) << capped.reason.toStdString();
    EXPECT_LT(capped.ms, 15000);

    std::atomic<bool> stop{false};
    QTimer::singleShot(300, [&] { stop = true; });
    const Result stopped = Load("http://item.jd.com/300.html", 60000, &stop);
    EXPECT_FALSE(stopped.ok);
    EXPECT_LT(stopped.ms, 15000);
}

TEST_F(PageReaderTest, CommandLineWithBrowserSavesThePicturesOfACheckedProduct)
{
    g_shop->PutPage(kProduct, kScriptedProduct);
    g_shop->PutGate(kProduct, kCheckCookie, {kCheckPage});
    for (const char *pic : {"http://img10.360buyimg.com/n12/jfs/t1/a.jpg", "http://img11.360buyimg.com/n12/jfs/t1/b.jpg"})
        g_shop->PutPicture(pic, shop::Jpeg(pic));
    const QString home = TempPath(QStringLiteral("home"));
    const QString save = TempPath(QStringLiteral("save"));
    QDir().mkpath(home);
    const std::map<std::string, std::string> env = {{"http_proxy", g_shop->ProxyUrl()},
                                                    {"no_proxy", ""},
                                                    {"NO_PROXY", ""},
                                                    {"HOME", home.toStdString()},
                                                    {"XDG_DATA_HOME", home.toStdString()},
                                                    {"XDG_CONFIG_HOME", home.toStdString()},
                                                    {"QTWEBENGINE_DISABLE_SANDBOX", "1"}};
    const SpawnResult run = SpawnAndWait(QStringLiteral(OSTREL_CLI_PATH),
                                         {QStringLiteral("--browser"), QStringLiteral("--save"), save,
                                          QString::fromStdString(kProduct)},
                                         home, env, 120000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString() << run.out.toStdString();
    const QString album = save + QStringLiteral("/京东/不锈钢保温杯/");
    EXPECT_TRUE(QFile::exists(album + QStringLiteral("主图_1.jpg"))) << run.out.toStdString();
    EXPECT_TRUE(QFile::exists(album + QStringLiteral("主图_2.jpg")));
}

} // namespace
