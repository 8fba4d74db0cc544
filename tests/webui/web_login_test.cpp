// Cookies go both ways between the log-in browser and the fetcher.

#include "web_test_support.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <QWebEnginePage>

namespace {

const char kLoginPage[] = "<html><body>login<script>"
                          "document.cookie = 'js=1; path=/; max-age=3600';"
                          "</script></body></html>";
const char kLogoutPage[] = "<html><body>bye<script>"
                           "document.cookie = 'js=; path=/; max-age=0';"
                           "</script></body></html>";


class BrowserCookies : public WebLoginTest
{
protected:
    void SetUp() override
    {
        WebLoginTest::SetUp();
        srv.Http().Get("/login", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=abc; Path=/; Max-Age=3600; HttpOnly");
            res.set_content(kLoginPage, "text/html");
        });
        srv.Http().Get("/logout", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(kLogoutPage, "text/html");
        });
        srv.Http().Get("/fetcher", [](const httplib::Request &, httplib::Response &res) {
            res.set_header("Set-Cookie", "f=2; Path=/; Max-Age=3600");
            res.set_content("set", "text/plain");
        });
        srv.Http().Get("/who", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        srv.Start();
    }

    QString PageCookies(CDlgWebOpen &dlg)
    {
        QString seen;
        QEventLoop loop;
        dlg.Browser()->page()->runJavaScript(QStringLiteral("document.cookie"), [&](const QVariant &v) {
            seen = v.toString();
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        return seen;
    }

    TestServer srv;
};

TEST_F(BrowserCookies, LogInCookiesAreSentByTheFetcherAndSurviveARestart)
{
    const QString login = QString::fromStdString(srv.Url("/login"));
    CDlgWebOpen *dlg = &Open(login);
    ASSERT_TRUE(WaitLoaded(*dlg));
    EXPECT_EQ(dlg->findChild<QLineEdit *>()->text(), login);
    ASSERT_TRUE(WaitUntil([&] { return StoreHas("sid") && StoreHas("js"); }));
    EXPECT_EQ(SortedCookies(Fetch(srv.Url("/who"))), "js=1; sid=abc");

    store.Flush();
    store.Reload();
    EXPECT_EQ(SortedCookies(Fetch(srv.Url("/who"))), "js=1; sid=abc");

    // A cookie the page deletes is not sent any more.  Enter is "打开".
    ASSERT_TRUE(WaitLoaded(*dlg, [&] {
        auto *box = dlg->findChild<QLineEdit *>();
        box->setText(QString::fromStdString(srv.Url("/logout")));
        QTest::keyClick(box, Qt::Key_Return);
    }));
    ASSERT_TRUE(WaitUntil([&] { return !StoreHas("js"); }));
    EXPECT_EQ(Fetch(srv.Url("/who")), "sid=abc");
}

TEST_F(BrowserCookies, FetcherCookiesAreInTheBrowserWhenItOpens)
{
    Fetch(srv.Url("/fetcher"));
    CDlgWebOpen &dlg = Open(QString::fromStdString(srv.Url("/who")));
    ASSERT_TRUE(WaitLoaded(dlg));
    EXPECT_EQ(PageCookies(dlg), QStringLiteral("f=2"));
}

} // namespace
