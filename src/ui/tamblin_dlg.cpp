#include "ui/tamblin_dlg.h"

#include "core/ext_settings.h"
#include "core/soft_settings.h"
#include "engine/job_control.h"
#include "engine/notices.h"
#include "grid/my_grid_ctrl.h"
#include "net/download_file.h"
#include "ui/about_dlg.h"
#include "ui/clipboard_text.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/dialog_template.h"
#include "ui/dlg_down_set.h"
#include "ui/dlg_find.h"
#include "ui/dlg_save_set.h"
#include "ui/file_dialogs.h"
#include "ui/history_filter.h"
#include "ui/login_pages.h"
#include "ui/menu_model.h"
#include "ui/program_folder.h"
#include "ui/qt_message_box.h"
#include "ui/site_table.h"
#include "ui/splash_screen_ex.h"
#include "ui/ui_resources.h"
#include "ui/ui_texts.h"
#include "util/ini.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <utility>
#include <QTimer>

namespace {

// The start-up worker's message, posted to the window.
const QEvent::Type kStartupDoneEvent = static_cast<QEvent::Type>(int(QEvent::User) + int(WM_STARTUP_DONE));

// Seconds a cover download may take.
constexpr int kCoverTimeoutSec = 30;

} // namespace

CTamblinEnvironment CTamblinEnvironment::FromSystem()
{
    CTamblinEnvironment env;
    env.currentFolder = QDir::currentPath();
    env.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (env.documentsFolder.isEmpty())
        env.documentsFolder = QDir::homePath();
    env.tempFolder = QDir::tempPath();
    return env;
}

CTamblinDlg::CTamblinDlg(CTamblinEnvironment env, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
    , env_(std::move(env))
    , icon_((InitUiResources(), QIcon(QStringLiteral(":/ostrel/icon.png"))))
    , units_(BaseUnitsForFont(DialogFont()))
{
    ownMessages_ = std::make_unique<CQtMessageBox>(this, &gate_);
    messages_ = ownMessages_.get();
    runModal = [](QDialog &dialog) { return dialog.exec(); };
    askYesNo = [this](const QString &text, const QString &caption) {
        return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    chooseListFile = [this] {
        return ChooseFile(this, QStringLiteral("导入网址列表"), QStringLiteral("网址列表 (*.txt *.csv);;所有文件 (*)"),
                          false);
    };
    downloadToFile = [this](const QString &url, const QString &file) {
        return ::DownloadToFile(url, file, kCoverTimeoutSec, albumList_ ? &albumList_->bAbortDownloads : nullptr);
    };
}

void CTamblinDlg::SetMessageBox(IMessageBox *messages)
{
    messages_ = messages ? messages : ownMessages_.get();
    if (grid_)
        grid_->SetMessageBox(messages_);
}

void CTamblinDlg::SetExportDialog(IExportFileDialog *dialog)
{
    exportDialog_ = dialog;
}

CDlgFind *CTamblinDlg::FindWindow() const
{
    return findDlg_;
}

QWidget *CTamblinDlg::Item(int id) const
{
    return GetDlgItem(client_, id);
}

void CTamblinDlg::Create()
{
    setWindowIcon(icon_);
    loginMode1_ = true;
    menuBar_ = new QMenuBar(this);
    BuildMenu();
    BuildControls();
    setWindowTitle(QString::fromUtf8(MainDialogTemplate().caption));
    qobject_cast<QLabel *>(Item(IDC_NOTICE))->setText(NoticeLineText());
    state_.job.hNotifyWnd = this;
    state_.job.nNotifyCtrl = IDC_STATE2;

    const QString clip = StartupAddressFromClipboard(GetClipboardText());
    if (!clip.isEmpty())
        addressBox_->setEditText(clip);

    InitFolders();
    albumList_->SetProgramFolder(state_.ProgramFolder);
    LoadSettings(state_.settings, state_.ProgramFolder);
    FillHistoryBoxes();
    RestoreWindowSize();
    if (!state_.settings.arrSavePathHistory[0].isEmpty())
        savePathBox_->setEditText(state_.settings.arrSavePathHistory[0]);

    if (env_.showSplash)
        ShowSplash();
    startupThread_ = std::thread([this] { StartupWorker(); });
    hide();
}

void CTamblinDlg::BuildControls()
{
    client_ = new QWidget(this);
    BuildDialogControls(client_, MainDialogTemplate(), units_, [](const CtlTemplate &c, QWidget *parent) -> QWidget * {
        return c.id == IDC_GRID ? new CMyGridCtrl(parent) : nullptr;
    });
    addressBox_ = qobject_cast<CComboBox2 *>(Item(IDC_ADDRESS));
    savePathBox_ = qobject_cast<CComboBox2 *>(Item(IDC_SAVEPATH));
    siteBox_ = qobject_cast<QComboBox *>(Item(IDC_SITE));
    listTypeBox_ = qobject_cast<QComboBox *>(Item(IDC_LISTTYPE));
    BuildAlbumList();

    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, client_->width(), menuHeight);
    client_->move(0, menuHeight);
    menuBar_->raise();
    SetUpGrowth(menuHeight);
    setAcceptDrops(true);
    ConnectControls();
    ConnectAlbumListControls();
}

void CTamblinDlg::BuildMenu()
{
    for (const MenuPopupDef &popupDef : MainMenuDefinition()) {
        QMenu *popup = menuBar_->addMenu(QString::fromUtf8(popupDef.title));
        for (const MenuItemDef &item : popupDef.items) {
            if (item.id == kSeparator) {
                popup->addSeparator();
                continue;
            }
            QAction *action = popup->addAction(QString::fromUtf8(item.text));
            action->setData(item.id);
            action->setObjectName(QStringLiteral("cmd%1").arg(item.id));
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { OnMenuCommand(id); });
        }
        connect(popup, &QMenu::aboutToShow, this, [this, popup] { UpdateMenuChecks(popup); });
    }
    // The window manager's own menu takes no entries: "关于" of the system
    // menu is the window's context menu (a right click on its background),
    // and 帮助 → 版本信息 shows the same box.
    auto *about = new QAction(QStringLiteral("关于"), this);
    about->setObjectName(QStringLiteral("cmd%1").arg(IDM_ABOUTBOX));
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QAction *CTamblinDlg::MenuAction(int id) const
{
    return findChild<QAction *>(QStringLiteral("cmd%1").arg(id));
}

void CTamblinDlg::ConnectControls()
{
    connect(qobject_cast<QPushButton *>(Item(IDC_GETLIST)), &QPushButton::clicked, this, [this] { OnGetList(); });
    connect(qobject_cast<QPushButton *>(Item(IDC_DOWNLOAD)), &QPushButton::clicked, this, [this] { OnDownload(); });
    connect(qobject_cast<QPushButton *>(Item(IDC_SETPATH)), &QPushButton::clicked, this, [this] { OnSetPath(); });
    connect(qobject_cast<QPushButton *>(Item(IDC_OPENPATH)), &QPushButton::clicked, this, [this] { OnOpenPath(); });
    connect(siteBox_, qOverload<int>(&QComboBox::activated), this, [this] { UpdateListTypeBox(); });
    connect(addressBox_, &CComboBox2::EditChanged, this, [this] { ClassifyAddress(); });
    connect(addressBox_, &CComboBox2::SelectionChanged, this, [this](const QString &text) {
        addressBox_->setEditText(text);
        ClassifyAddress();
    });
}

void CTamblinDlg::InitFolders()
{
    state_.ProgramFolder = ProgramFolderFrom(env_.currentFolder);
    QString save = state_.ProgramFolder;
    if (env_.programFolderIsDataFolder || IsTemporaryFolder(state_.ProgramFolder, env_.tempFolder)) {
        save = DocumentsSaveFolder(env_.documentsFolder);
        QDir().mkpath(save);  // a failure still shows the path
    }
    savePathBox_->setEditText(save);
}

void CTamblinDlg::FillHistoryBoxes()
{
    addressBox_->ClearVisibleList();
    for (const QString &entry : state_.settings.arrUrlHistory)
        if (!entry.isEmpty())
            addressBox_->AddItem(entry);
    savePathBox_->ClearVisibleList();
    for (const QString &entry : state_.settings.arrSavePathHistory)
        if (!entry.isEmpty())
            savePathBox_->AddItem(entry);
}

void CTamblinDlg::ShowSplash()
{
    auto *splash = new CSplashScreenEx;  // owned by this window once created
    splash->CreateSplash(this, SplashText());
    if (splash->SetSplashBitmap(QPixmap(QStringLiteral(":/ostrel/splash.bmp")))) {
        // sized and shaped from the bitmap
    }
    splash->SetSplashFont();
    splash->SetSplashTextRect(QRect(QPoint(30, 50), QPoint(291, 160)));
    splash->update();
    splash->SetSplashTextColour(QColor(0xFF, 0xFF, 0xFF));
    splash->update();
    splash->SetSplashTextFormat(DT_VCENTER | DT_WORDBREAK | DT_LEFT);
    splash->ShowSplash();
    splash_ = splash;
}

void CTamblinDlg::StartupWorker()
{
    const QStringList names = SiteNames();
    QCoreApplication::postEvent(this, new QEvent(kStartupDoneEvent));
    gate_.Run([this, names] {
        siteBox_->clear();
        siteBox_->addItems(names);
        siteBox_->setCurrentIndex(SITE_JD);
    });
    gate_.Run([this] { ClassifyAddress(); });
    state_.StartupReady = 1;
    gate_.Run([this] { UpdateListTypeBox(); });
}

bool CTamblinDlg::event(QEvent *event)
{
    if (event->type() == kStartupDoneEvent) {
        OnStartupDone();
        return true;
    }
    return QDialog::event(event);
}

void CTamblinDlg::OnStartupDone()
{
    // A quick start-up still lets the splash finish its fade-in.
    if (splash_ && splash_->FadeInLeftMs() > 0) {
        QTimer::singleShot(splash_->FadeInLeftMs(), this, [this] { OnStartupDone(); });
        return;
    }
    if (splash_) {
        splash_->HideSplash();
        splash_ = nullptr;
    }
    show();
    state_.StartupReady = 1;
    emit StartupFinished();
}

void CTamblinDlg::done(int result)
{
    WaitForGridDrawn();
    RequestStopAll();
    SaveWindowSize();
    QDialog::done(result);
}

void CTamblinDlg::WaitForGridDrawn()
{
    grid_->SetRedraw(false);
    grid_->WaitForDrawComplete();
}

// --- site, list type and address boxes ---------------------------------

void CTamblinDlg::ClassifyAddress()
{
    const auto result = ClassifyAddressText(addressBox_->currentText(), siteBox_->currentIndex());
    if (!result)
        return;
    siteBox_->setCurrentIndex(result->site);
    UpdateListTypeBox();
    if (result->site == kSiteQQ && result->listType >= 0)
        listTypeBox_->setCurrentIndex(result->listType);
}

void CTamblinDlg::UpdateListTypeBox()
{
    state_.SiteKind = SITE_JD;
    const bool qq = siteBox_->currentIndex() == kSiteQQ;
    if (!qq) {
        listTypeBox_->hide();
    } else {
        listTypeBox_->clear();
        listTypeBox_->addItems(QQListTypeNames());
        listTypeBox_->show();
    }
    addressBox_->setGeometry(AddressBoxRect(addressBox_->geometry(), listTypeBox_->geometry(), qq));
    if (qq)
        listTypeBox_->setCurrentIndex(kListTypeQzone);
}

int CTamblinDlg::CurrentSiteKind() const
{
    const int kind = state_.SiteKind.load();
    return kind >= 0 && kind < SITE_COUNT ? kind : SITE_JD;
}

// --- menu ------------------------------------------------------------------

void CTamblinDlg::UpdateMenuChecks(QMenu *popup)
{
    uint16_t flags = 0;
    {
        const std::lock_guard lock(state_.mtxSettings);
        flags = state_.settings.arrNaming[CurrentSiteKind()].wFlags;
    }
    for (QAction *action : popup->actions()) {
        if (action->isSeparator())
            continue;
        const MenuItemState st = MenuItemStateFor(action->data().toInt(), flags, CurrentSiteKind(), loginMode1_);
        action->setCheckable(st.checkable);
        if (st.checkable)
            action->setChecked(st.checked);
        action->setEnabled(st.enabled);
    }
}

void CTamblinDlg::OnMenuCommand(int id)
{
    const int listType = listTypeBox_->currentIndex();
    if (id == ID_LOGIN_MODE1) {
        loginMode1_ = !loginMode1_;
        return;
    }
    if (IsLoginCommand(id)) {
        OpenLoginPage(LoginAddressForCommand(id, addressBox_->currentText(), listType));
        return;
    }
    switch (id) {
    case ID_DOWNLOAD_SETTINGS:
        RunDownloadSettings();
        return;
    case ID_NAME_SETTINGS:
        RunNameSettings();
        return;
    case ID_HELP_ABOUT:
        OnSysCommand(IDM_ABOUTBOX);
        return;
    case ID_IMPORT_ADDRESS_LIST:
        OnImportAddressList();
        return;
    case ID_RETRY_FAILED:
        OnRetryFailed(failedAlbums_);
        return;
    default:
        break;
    }
    if (NamingFlagOfCommand(id) != 0)
        ToggleSwitch(id);
    // The maker's web pages and the import/export entries carry no action.
}

void CTamblinDlg::OnSysCommand(int id)
{
    if (id == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        RunModal(about);
    }
}

void CTamblinDlg::ToggleSwitch(int id)
{
    {
        const std::lock_guard lock(state_.mtxSettings);
        auto &flags = state_.settings.arrNaming[CurrentSiteKind()].wFlags;
        flags = ToggleNamingFlag(flags, id);
    }
    SaveSettings();
}

void CTamblinDlg::RunDownloadSettings()
{
    // The dialog edits a copy; a running job keeps reading the settings meanwhile.
    DownloadParams entry;
    {
        const std::lock_guard lock(state_.mtxSettings);
        entry = state_.settings.arrDownload[CurrentSiteKind()];
    }
    CDlgDownSet dialog(&entry, *messages_, this);
    const bool bBrowser = LoadExtSettings(state_.ProgramFolder).bJdBrowserPages;
    dialog.SetBrowserPages(state_.pPageBrowser != nullptr, bBrowser);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    {
        const std::lock_guard lock(state_.mtxSettings);
        state_.settings.arrDownload[CurrentSiteKind()] = entry;
    }
    SaveSettings();
    // The choice lives in the extension settings, where the jobs read it.
    if (dialog.BrowserPages() != bBrowser &&
        !SetIniString(state_.ProgramFolder + EXT_SETTINGS_FILE_NAME, QStringLiteral("京东"), JD_BROWSER_PAGES_KEY,
                      dialog.BrowserPages() ? QStringLiteral("1") : QStringLiteral("0")))
        messages_->ShowMessage(QStringLiteral("无法写入%1，浏览器读取页面的设置没有保存。").arg(EXT_SETTINGS_FILE_NAME));
}

void CTamblinDlg::RunNameSettings()
{
    NamingRecord entry;
    {
        const std::lock_guard lock(state_.mtxSettings);
        entry = state_.settings.arrNaming[CurrentSiteKind()];
    }
    CDlgSaveSet dialog(&entry, *messages_, this);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    {
        const std::lock_guard lock(state_.mtxSettings);
        // Only what the dialog edits; the switches may have changed meanwhile.
        NamingRecord &target = state_.settings.arrNaming[CurrentSiteKind()];
        const uint16_t flags = target.wFlags;
        target = entry;
        target.wFlags = flags;
    }
    SaveSettings();
}

void CTamblinDlg::SaveSettings()
{
    const std::lock_guard lock(state_.mtxSettings);
    ::SaveSettings(state_.settings, state_.ProgramFolder);
}

int CTamblinDlg::RunModal(QDialog &dialog)
{
    return runModal(dialog);
}

void CTamblinDlg::OpenLoginPage(const QString &address)
{
    lastLoginAddress_ = address;
    loginBrowser_.Open(address, loginMode1_, this, runModal, *messages_);
}

int CTamblinDlg::ShowLoginPage(const QString &address)
{
    return gate_.Call<int>([this, address] { return loginBrowser_.RunModal(address, runModal, *messages_); }, 0);
}

bool CTamblinDlg::OfferShopLogin(const QString &address)
{
    return gate_.Call<bool>(
        [this, address] {
            if (!loginBrowser_.Available() || !messages_->AskYesNo(notice::ShopGateOffer()))
                return false;
            loginBrowser_.RunModal(address, runModal, *messages_);
            return true;
        },
        false);
}

// --- buttons -----------------------------------------------------------------

void CTamblinDlg::OnGetList()
{
    OnGetListClick(state_, *this);
}

void CTamblinDlg::OnDownload()
{
    OnDownloadClick(state_, *this);
}

void CTamblinDlg::OnSetPath()
{
    const QString chosen = ChooseFolder(this, QStringLiteral("请选择文件保存目录："), savePathBox_->currentText());
    if (chosen.isEmpty())
        return;
    PushSavePath(WithTrailingSeparator(chosen));
}

void CTamblinDlg::PushSavePath(const QString &path)
{
    savePathBox_->setEditText(path);
    int pushed = 0;
    {
        const std::lock_guard lock(state_.mtxSettings);
        pushed = PushHistory(state_.settings.arrSavePathHistory, path);
    }
    if (pushed == 1) {
        savePathBox_->AddItem(path);
        SaveSettings();
    }
}

void CTamblinDlg::OnOpenPath()
{
    QString folder = state_.BusyFolder();
    if (folder.isEmpty())
        folder = savePathBox_->currentText();
    if (!folder.isEmpty())
        OpenFolderOrSay(folder, *messages_);
}

void CTamblinDlg::SetControlEnabled(std::initializer_list<int> ids, bool enabled)
{
    for (int id : ids)
        if (QWidget *w = Item(id))
            w->setEnabled(enabled);
}
