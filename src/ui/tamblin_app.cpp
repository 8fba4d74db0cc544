#include "ui/tamblin_app.h"

#include "engine/page_browser.h"
#include "ui/qt_translations.h"
#include "ui/tamblin_dlg.h"
#include "ui/ui_resources.h"
#include "ostrel_version.h"

#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace {

// How long the close waits for the jobs before the process ends without them.
constexpr int kCloseWaitMs = 1000;

} // namespace

CTamblinApp::CTamblinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Ostrel"));
    setOrganizationName(QStringLiteral("Lumbrack"));
    setApplicationVersion(QString::fromUtf8(kOstrelVersion));
    InitUiResources();
    const QString uiLocale = QtTranslationLocale(QLocale::system().name());
    // Dates and numbers in the stock dialogs follow the language of the texts.
    QLocale::setDefault(QLocale(uiLocale));
    InstallQtTranslations(*this, uiLocale);
    setWindowIcon(QIcon(QStringLiteral(":/ostrel/icon.png")));
    // The window is hidden during start-up; the program ends when it closes.
    setQuitOnLastWindowClosed(false);
}

int CTamblinApp::InitInstance()
{
    CTamblinEnvironment env = CTamblinEnvironment::FromSystem();
    if (!programFolder_.isEmpty())
        env.currentFolder = programFolder_;
    env.programFolderIsDataFolder = programFolderIsDataFolder_;
    CTamblinDlg dlg(env);
    mainWnd_ = &dlg;
    dlg.SetLoginBrowserFactory(std::move(loginFactory_));
    dlg.State().pPageBrowser = pageBrowser_.get();
    connect(&dlg, &QDialog::finished, this, [] { QCoreApplication::quit(); });
    dlg.Create();
    const int code = exec();
    dlg.hide();
    mainWnd_ = nullptr;
    // Jobs are asked to stop; one stuck in a transfer must not keep the
    // process alive after its window has gone.
    if (!dlg.StopAndWaitForThreads(kCloseWaitMs)) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}

CTamblinApp::~CTamblinApp() = default;

void CTamblinApp::SetPageBrowser(std::unique_ptr<IPageBrowser> browser)
{
    pageBrowser_ = std::move(browser);
}

void CTamblinApp::SetProgramFolder(const QString &folder, bool isDataFolder)
{
    programFolder_ = folder;
    programFolderIsDataFolder_ = isDataFolder;
}
