#pragma once

#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "grid/grid_image_list.h"
#include "ui/album_list_ops.h"
#include "ui/dialog_units.h"
#include "ui/gui_thread.h"
#include "ui/login_browser.h"
#include "ui/splash_screen_ex.h"
#include "ui/window_growth.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class CComboBox2;
class CDlgFind;
class CMyGridCtrl;
class IExportFileDialog;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;

// Where the window takes its folders from; tests give their own.
struct CTamblinEnvironment
{
    QString currentFolder;    // becomes ProgramFolder
    QString documentsFolder;  // for the temporary-folder rule
    QString tempFolder;       // the system's temporary folder
    // The program folder is the user's data folder (a desktop launch): the
    // save path then starts in the documents folder, as for a temporary one.
    bool programFolderIsDataFolder = false;
    bool showSplash = true;

    static CTamblinEnvironment FromSystem();
};

// The main window (dialog 102).  Owns the engine state for the life of the
// process and is the jobs' host: every call from a job thread is handed to
// the GUI thread.
class CTamblinDlg : public QDialog, public IJobHost
{
    Q_OBJECT
public:
    explicit CTamblinDlg(CTamblinEnvironment env = CTamblinEnvironment::FromSystem(),
                         QWidget *parent = nullptr);
    ~CTamblinDlg() override;

    // The dialog's initialisation: controls, menu, clipboard, folders,
    // settings, splash, the start-up worker.  The window stays hidden until
    // the start-up worker reports.
    void Create();

    // Messages boxes go here (tests record them).
    void SetMessageBox(IMessageBox *messages);

    // Controls by id.
    QWidget *Item(int id) const;
    CComboBox2 *AddressBox() const { return addressBox_; }
    CComboBox2 *SavePathBox() const { return savePathBox_; }
    QComboBox *SiteBox() const { return siteBox_; }
    QComboBox *ListTypeBox() const { return listTypeBox_; }
    QMenuBar *MenuBar() const { return menuBar_; }
    QWidget *Client() const { return client_; }
    QAction *MenuAction(int id) const;
    CSplashScreenEx *Splash() const { return splash_; }
    CMyGridCtrl *Grid() const { return grid_; }
    CAlbumListOps &AlbumList() { return *albumList_; }
    // The find window once "查找" made it, else null.
    CDlgFind *FindWindow() const;

    CEngineState &State() { return state_; }
    const QString &ProgramFolder() const { return state_.ProgramFolder; }
    bool LoginMode1() const { return loginMode1_; }
    const DialogBaseUnits &BaseUnits() const { return units_; }

    // Part of the main window's own logic, also run by the start-up worker.
    void ClassifyAddress();
    void UpdateListTypeBox();
    // Check marks and grey states of a popup of the menu bar.
    void UpdateMenuChecks(QMenu *popup);
    // The menu command handler; also the system menu's "关于" (16).
    void OnMenuCommand(int id);
    void OnSysCommand(int id);
    // Writes soft.dat from the current settings.
    void SaveSettings();

    // Opens the log-in browser: modeless and owned by the window in
    // LoginMode1, else modal without owner.  The last address asked for.
    void OpenLoginPage(const QString &address);
    QString LastLoginAddress() const { return lastLoginAddress_; }
    // The log-in browser the program brings (none: the entries say so).
    void SetLoginBrowserFactory(LoginBrowserFactory factory) { loginBrowser_.SetFactory(std::move(factory)); }
    QDialog *LoginWindow() const { return loginBrowser_.Modeless(); }

    // Runs a modal dialog; tests replace it to drive the dialog themselves.
    std::function<int(QDialog &)> runModal;
    // Yes/No questions (true = Yes); tests replace it.
    std::function<bool(const QString &text, const QString &caption)> askYesNo;
    // The cover download of the thumbnails; tests replace it.
    std::function<bool(const QString &url, const QString &file)> downloadToFile;
    // Asks for the address list file of 导入网址列表 (empty: cancelled); tests replace it.
    std::function<QString()> chooseListFile;
    // Asks for the file of 导出 (tests give their own; null = the stock dialog).
    void SetExportDialog(IExportFileDialog *dialog);

    // The album list commands (tamblin_dlg_album_list.cpp).
    void OnSelectAll();
    void OnThumbnailSwitch();
    void OnFind();
    void OnFilter();
    void OnExport();
    void OnSortLink(int id);
    // A dropped file or folder becomes the save path.
    void OnDropPath(const QString &path);
    // 导入网址列表: the file's addresses into the address box, then 获取相册
    // (tamblin_dlg_bulk.cpp).
    void OnImportAddressList();
    // 重试失败: downloads again only the pictures of `albums` that their
    // folders' records lack (the failed ones of the last job).
    void OnRetryFailed(const std::vector<int> &albums);
    // Albums of the last download job with failed pictures.
    const std::vector<int> &FailedAlbums() const { return failedAlbums_; }

    // Close: asks every job to stop and stops handing their calls to the GUI
    // thread; then waits at most `ms` for every thread of the window.  False
    // when some thread still runs (the process should end without them).
    bool StopAndWaitForThreads(int ms);

    // IJobHost
    void ShowMessage(const QString &text) override;
    void SetControlText(int nCtrl, const QString &text) override;
    void DownloadFinished(int64_t nElapsedSec, int nCount) override;
    void SetStatus1(const QString &text) override;
    void SetStatus2(const QString &text) override;
    void SetListCaption(const QString &text) override;
    void ShowListRunningLook() override;
    void ShowListIdleLook(int albumCount) override;
    void ShowDownloadRunningLook() override;
    void ShowDownloadIdleLook() override;
    void ResetAlbumGrid() override;
    void AddAlbumRow(int albumIndex) override;
    void RedrawAlbumGrid() override;
    void SelectAllRows() override;
    std::vector<int> ChosenAlbums() override;
    QString AddressText() override;
    void AddAddressItem(const QString &address) override;
    QString SavePathText() override;
    int ListTypeChoice() override;
    void OpenFolder(const QString &folder) override;
    int ShowLoginPage(const QString &address) override;
    bool OfferShopLogin(const QString &address) override;
    void ShowAlbumState(int albumIndex, int nPicCount, const QString &state) override;
    void ReportFailedAlbums(const std::vector<std::pair<int, int>> &failed) override;

signals:
    // The window has appeared after start-up.
    void StartupFinished();

public slots:
    void done(int result) override;

protected:
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildControls();
    void BuildMenu();
    void ConnectControls();
    void BuildAlbumList();
    void ConnectAlbumListControls();
    void StartRebuildThread();
    void PushSavePath(const QString &path);
    void JoinRebuildThread();
    // Every job, the rebuild and the cover downloads are asked to stop.
    void RequestStopAll();
    void InitFolders();
    void FillHistoryBoxes();
    void ShowSplash();
    void StartupWorker();
    void OnStartupDone();
    void OnGetList();
    void OnDownload();
    void OnSetPath();
    void OnOpenPath();
    void RunDownloadSettings();
    void RunNameSettings();
    void ToggleSwitch(int id);
    int RunModal(QDialog &dialog);
    void SetControlEnabled(std::initializer_list<int> ids, bool enabled);
    int CurrentSiteKind() const;
    void WaitForGridDrawn();
    // tamblin_dlg_bulk.cpp
    // The album's row follows the pool's progress text; returns the rates to
    // show after that text.
    QString ShowAlbumProgress(const QString &text);
    void SetUpGrowth(int menuHeight);
    void RestoreWindowSize();
    void SaveWindowSize();
    // The save path a download runs with enters the history, typed or not.
    void RememberSavePath();
    // 全选 ticked exactly when every album shown is chosen.
    void MirrorSelectAll();
    // A right click on album row `row`: 重试失败 for an album with failures.
    void OnGridContextMenu(int row);

    CTamblinEnvironment env_;
    QIcon icon_;
    DialogBaseUnits units_;
    QMenuBar *menuBar_ = nullptr;   // child widgets
    QWidget *client_ = nullptr;
    CMyGridCtrl *grid_ = nullptr;
    CComboBox2 *addressBox_ = nullptr;
    CComboBox2 *savePathBox_ = nullptr;
    QComboBox *siteBox_ = nullptr;
    QComboBox *listTypeBox_ = nullptr;
    QPointer<CSplashScreenEx> splash_;
    std::unique_ptr<IMessageBox> ownMessages_;
    IMessageBox *messages_ = nullptr;  // not owned when set by SetMessageBox

    bool loginMode1_ = false;
    QString lastLoginAddress_;
    CLoginBrowserHost loginBrowser_;
    QPointer<CDlgFind> findDlg_;    // child window, kept once made
    IExportFileDialog *exportDialog_ = nullptr;  // not owned

    // The controls that follow the window's size, at its first size.
    struct GrowingControl
    {
        QPointer<QWidget> widget;
        QRect base;
        GrowRule rule;
    };
    std::vector<GrowingControl> growing_;
    QSize baseClient_;
    int menuHeight_ = 0;
    int progressAlbum_ = -1;        // album whose pictures the pool downloads; GUI thread
    QElapsedTimer albumClock_;      // since that album's pool started; GUI thread
    std::vector<int> failedAlbums_; // of the last download job; GUI thread
    std::vector<int> retryAlbums_;  // the next job's albums instead of the selection; GUI thread

    // Thumbnail images and the album list operations (made by Create, on the
    // state's album list).
    CGridImageList images_{QSize(CAlbumListOps::kThumbWidth, CAlbumListOps::kThumbHeight)};
    std::unique_ptr<IAlbumListPlatform> albumPlatform_;
    std::unique_ptr<CAlbumListOps> albumList_;

    CGuiThreadGate gate_{this};
    std::thread startupThread_;
    std::thread rebuildThread_;     // RebuildAlbumGrid of the thumbnail switch
    // Set by the close's waiter thread when every thread has ended.
    std::shared_ptr<std::atomic<bool>> threadsEnded_;
    // Declared last: destroyed first, after the gate has closed, so the jobs
    // it waits for find their host still there.
    CEngineState state_;
};
