#include "ui/tamblin_app.h"

#include "ui/tamblin_dlg.h"
#include "ui/ui_resources.h"
#include "ostrel_version.h"

#include <QIcon>

CTamblinApp::CTamblinApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Ostrel"));
    setOrganizationName(QStringLiteral("Lumbrack"));
    setApplicationVersion(QString::fromUtf8(kOstrelVersion));
    InitUiResources();
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
    connect(&dlg, &QDialog::finished, this, [] { QCoreApplication::quit(); });
    dlg.Create();
    const int code = exec();
    // Jobs still running are asked to stop; the window must not be waited on.
    dlg.hide();
    mainWnd_ = nullptr;
    return code;
}

void CTamblinApp::SetProgramFolder(const QString &folder, bool isDataFolder)
{
    programFolder_ = folder;
    programFolderIsDataFolder_ = isDataFolder;
}
