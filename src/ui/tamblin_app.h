#pragma once

#include "ui/login_browser.h"

#include <QApplication>

#include <memory>

class IPageBrowser;

class CTamblinDlg;

// The application object: sets the program up, runs the main window until it
// closes, and ends the process.
class CTamblinApp : public QApplication
{
    Q_OBJECT
public:
    CTamblinApp(int &argc, char **argv);
    ~CTamblinApp() override;

    // Creates the main window and runs it; the process's exit code.
    int InitInstance();

    CTamblinDlg *MainWindow() const { return mainWnd_; }
    // The log-in browser the main window opens; set before InitInstance.
    void SetLoginBrowserFactory(LoginBrowserFactory factory) { loginFactory_ = std::move(factory); }
    // The browser the jobs may read product pages in; set before InitInstance.
    void SetPageBrowser(std::unique_ptr<IPageBrowser> browser);

    // A program folder chosen at start-up instead of the current folder;
    // `isDataFolder` when it is the user's data folder.
    void SetProgramFolder(const QString &folder, bool isDataFolder);

private:
    CTamblinDlg *mainWnd_ = nullptr;  // lives on InitInstance's stack
    LoginBrowserFactory loginFactory_;
    std::unique_ptr<IPageBrowser> pageBrowser_; // outlives the window and its jobs
    QString programFolder_;           // empty: the current folder
    bool programFolderIsDataFolder_ = false;
};
