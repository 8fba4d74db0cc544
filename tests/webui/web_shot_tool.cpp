// Saves a picture of the log-in browser with a page of a local site loaded,
// for looking at it (scripts/screenshots.sh runs this under Xvfb).
#include "net/cookie_store.h"
#include "ui/ui_resources.h"
#include "webui/dlg_web_open.h"
#include "webui/web_login.h"

#include "net/test_server.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>

namespace {

const char kPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>登录</title>
<style>body{font-family:"WenQuanYi Micro Hei",sans-serif;background:#f4f4f4;margin:0}
.box{width:320px;margin:60px auto;background:#fff;padding:24px;border:1px solid #ddd}
h2{color:#e2231a;margin-top:0}input{width:100%;box-sizing:border-box;padding:8px;margin:6px 0}
button{width:100%;padding:10px;background:#e2231a;color:#fff;border:0;font-size:16px}</style></head>
<body><div class="box"><h2>账户登录</h2><input placeholder="用户名/邮箱/手机号"><input type="password" placeholder="密码">
<button>登 录</button></div><script>document.cookie='shot=1; path=/';</script></body></html>)";

} // namespace

int main(int argc, char *argv[])
{
    PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    InitUiResources();
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(outDir);

    TestServer site;
    site.Http().Get("/login", [](const httplib::Request &, httplib::Response &res) {
        res.set_content(kPage, "text/html; charset=utf-8");
    });
    site.Start();

    // The program's own browser, its profile and cookies kept out of the user's folders.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir work;
    CCookieStore::Instance().SetCookieFile(work.filePath(QStringLiteral("cookies.txt")));
    bool ok = false;
    {
        const LoginBrowserFactory factory = WebLoginBrowserFactory(std::make_shared<CWebSession>());
        const std::unique_ptr<QDialog> made = factory(nullptr, QString::fromStdString(site.Url("/login")));
        auto &dlg = dynamic_cast<CDlgWebOpen &>(*made);
        dlg.move(40, 40);
        QEventLoop loaded;
        QObject::connect(dlg.Browser(), &QWebEngineView::loadFinished, &loaded, &QEventLoop::quit);
        QTimer::singleShot(30000, &loaded, &QEventLoop::quit);
        dlg.show();
        loaded.exec();
        // Let the page paint.
        QEventLoop paint;
        QTimer::singleShot(1500, &paint, &QEventLoop::quit);
        paint.exec();
        QScreen *screen = QGuiApplication::primaryScreen();
        const QRect r = dlg.frameGeometry();
        const QString file = outDir + QStringLiteral("/dialog_133_login.png");
        ok = screen && screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(file);
    }
    if (!ok)
        std::fprintf(stderr, "could not save the log-in browser\n");
    return ok ? 0 : 1;
}
