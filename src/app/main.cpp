#include "core/program_folder_option.h"
#include "net/cookie_store.h"
#include "ui/tamblin_app.h"

#ifdef OSTREL_HAVE_WEBENGINE
#include "webui/web_login.h"
#include "webui/web_page_reader.h"
#endif

#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char *argv[])
{
#ifdef OSTREL_HAVE_WEBENGINE
    PrepareWebEngineEnvironment();
#endif
    CTamblinApp app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Ostrel京东商品图片批量下载助手"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    const ProgramFolderOptions folders;
    folders.AddTo(parser);
    QString error;
    if (!parser.parse(CTamblinApp::arguments())) {
        error = parser.errorText();
    } else if (parser.isSet(help) || parser.isSet(version)) {
        // Qt's usage line names the program by the whole path it was started with.
        const QString table = parser.helpText();
        std::fputs(qUtf8Printable(parser.isSet(help)
                                      ? QStringLiteral("usage: ostrel [options]") + table.mid(table.indexOf(u'\n'))
                                      : QStringLiteral("ostrel %1\n").arg(CTamblinApp::applicationVersion())),
                   stdout);
        return 0;
    } else {
        app.SetProgramFolder(folders.Chosen(parser, error), parser.isSet(folders.dataFolder));
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "ostrel: %s\n", qUtf8Printable(error));
        return 2;
    }
#ifdef OSTREL_HAVE_WEBENGINE
    // Log-in dialogs and the page reader share one browser profile.
    const auto session = std::make_shared<CWebSession>();
    app.SetLoginBrowserFactory(WebLoginBrowserFactory(session));
    app.SetPageBrowser(CWebSession::MakePageReader(session));
#endif
    const int code = app.InitInstance();
    // Cookie saves are throttled while the program runs; the rest goes now.
    CCookieStore::Instance().Flush();
    return code;
}
