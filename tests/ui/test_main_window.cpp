#include "main_window_fixture.h"

#include "core/soft_settings.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/menu_model.h"
#include "ui/site_table.h"
#include "ui/tamblin_dlg.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

TEST_F(MainWindow, StaysHiddenUntilTheStartupMessageAndIgnoresGetListBefore)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->State().StartupReady, 0);
    qobject_cast<QPushButton *>(dlg->Item(IDC_GETLIST))->click();
    EXPECT_EQ(dlg->State().ListJobState, JOB_IDLE);
    EXPECT_EQ(qobject_cast<QPushButton *>(dlg->Item(IDC_GETLIST))->text(), QStringLiteral("获取相册"));

    WaitStarted(*dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->State().StartupReady, 1);
    EXPECT_EQ(dlg->SiteBox()->count(), SiteNames().size());
    EXPECT_EQ(dlg->SiteBox()->currentIndex(), 16);
    EXPECT_EQ(dlg->State().SiteKind, 16);
    EXPECT_FALSE(dlg->ListTypeBox()->isVisible());
}

TEST_F(MainWindow, TitleAndControls)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Ostrel京东商品图片批量下载助手"));
    EXPECT_TRUE(dlg->acceptDrops());
    for (int id : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1011, 1012, 1013, 1014, 1027, 1028,
                   1029, 1030, 1031, 1034, 1035, 1036, 1037})
        EXPECT_NE(dlg->Item(id), nullptr) << id;
    EXPECT_FALSE(dlg->Item(IDC_DOWNLOAD)->isEnabled());
    EXPECT_FALSE(qobject_cast<QLabel *>(dlg->Item(IDC_NOTICE))->text().isEmpty());
    EXPECT_EQ(qobject_cast<QGroupBox *>(dlg->Item(IDC_LISTGROUP))->title(), QStringLiteral("相册列表"));
    EXPECT_EQ(dlg->State().ProgramFolder, programFolder + QLatin1Char('/'));
    EXPECT_TRUE(dlg->LoginMode1());
}

TEST_F(MainWindow, ClipboardTextOf199CharactersGoesIntoTheAddressBox)
{
    const QString text = QStringLiteral("https://item.jd.com/") + QString(199 - 20, QLatin1Char('1'));
    ASSERT_EQ(text.size(), 199);
    QGuiApplication::clipboard()->setText(QStringLiteral("  ") + text + QStringLiteral("\n"));
    auto dlg = Make(programFolder);
    dlg->Create();
    EXPECT_EQ(dlg->AddressBox()->currentText(), text);
    WaitStarted(*dlg);
    EXPECT_EQ(dlg->SiteBox()->currentIndex(), 16);
}

TEST_F(MainWindow, ClipboardTextOf200CharactersIsLeftOut)
{
    QGuiApplication::clipboard()->setText(QString(200, QLatin1Char('x')));
    auto dlg = Make(programFolder);
    dlg->Create();
    EXPECT_TRUE(dlg->AddressBox()->currentText().isEmpty());
    WaitStarted(*dlg);
}

TEST_F(MainWindow, ClipboardAddressIsClassifiedAtStartup)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("http://qun.qq.com/air/#1"));
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    EXPECT_EQ(dlg->SiteBox()->currentIndex(), 0);
    EXPECT_TRUE(dlg->ListTypeBox()->isVisible());
    // The start-up worker's last step redoes the list-type box, which sets list type 0.
    EXPECT_EQ(dlg->ListTypeBox()->currentIndex(), 0);
    EXPECT_EQ(dlg->State().SiteKind, 16);
}

TEST_F(MainWindow, TemporaryFolderProposesTheDocumentsSubfolder)
{
    const QString tempApp = root.path() + QStringLiteral("/Temp/app");
    QDir().mkpath(tempApp);
    auto dlg = Make(tempApp);
    dlg->Create();
    EXPECT_EQ(dlg->SavePathBox()->currentText(), documents + QStringLiteral("/Lumbrack/"));
    EXPECT_TRUE(QDir(documents + QStringLiteral("/Lumbrack")).exists());
    // soft.dat still lives in the program folder.
    EXPECT_TRUE(QFile::exists(tempApp + QStringLiteral("/soft.dat")));
    WaitStarted(*dlg);
}

TEST_F(MainWindow, DataFolderAsProgramFolderProposesTheDocumentsSubfolder)
{
    CTamblinEnvironment env = Env(programFolder);
    env.programFolderIsDataFolder = true;
    CTamblinDlg dlg(env);
    dlg.SetMessageBox(&messages);
    dlg.Create();
    EXPECT_EQ(dlg.SavePathBox()->currentText(), documents + QStringLiteral("/Lumbrack/"));
    EXPECT_TRUE(QFile::exists(programFolder + QStringLiteral("/soft.dat")));
    WaitStarted(dlg);
}

TEST_F(MainWindow, SavePathHistoryWinsOverTheProposal)
{
    const QString tempApp = root.path() + QStringLiteral("/TEMP/app");
    QDir().mkpath(tempApp);
    SoftSettings s;
    s.arrSavePathHistory[0] = QStringLiteral("/data/pictures/");
    s.arrSavePathHistory[1] = QStringLiteral("/data/old/");
    s.arrUrlHistory[0] = QStringLiteral("https://item.jd.com/1.html");
    ASSERT_TRUE(SaveSettings(s, tempApp + QLatin1Char('/')));
    auto dlg = Make(tempApp);
    dlg->Create();
    EXPECT_EQ(dlg->SavePathBox()->currentText(), QStringLiteral("/data/pictures/"));
    EXPECT_EQ(dlg->SavePathBox()->Items(), (QStringList{QStringLiteral("/data/pictures/"), QStringLiteral("/data/old/")}));
    EXPECT_EQ(dlg->AddressBox()->Items(), (QStringList{QStringLiteral("https://item.jd.com/1.html")}));
    WaitStarted(*dlg);
}

TEST_F(MainWindow, OrdinaryFolderIsTheSavePath)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    EXPECT_EQ(dlg->SavePathBox()->currentText(), programFolder + QLatin1Char('/'));
    WaitStarted(*dlg);
}

TEST_F(MainWindow, SiteChoiceMovesTheAddressBox)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    const QRect listType = dlg->ListTypeBox()->geometry();
    const int right = dlg->AddressBox()->geometry().right();
    EXPECT_EQ(dlg->AddressBox()->geometry().left(), listType.left());

    dlg->SiteBox()->setCurrentIndex(0);
    emit dlg->SiteBox()->activated(0);
    EXPECT_TRUE(dlg->ListTypeBox()->isVisible());
    EXPECT_EQ(dlg->ListTypeBox()->count(), 3);
    EXPECT_EQ(dlg->ListTypeBox()->currentIndex(), 0);
    EXPECT_EQ(dlg->AddressBox()->geometry().left(), listType.right() + 1 + 3);
    EXPECT_EQ(dlg->AddressBox()->geometry().right(), right);
    EXPECT_EQ(dlg->State().SiteKind, 16);
    EXPECT_EQ(dlg->ListTypeChoice(), 0);

    dlg->SiteBox()->setCurrentIndex(5);
    emit dlg->SiteBox()->activated(5);
    EXPECT_FALSE(dlg->ListTypeBox()->isVisible());
    EXPECT_EQ(dlg->AddressBox()->geometry().left(), listType.left());
    EXPECT_EQ(dlg->State().SiteKind, 16);
    EXPECT_EQ(dlg->ListTypeChoice(), -1);
}

TEST_F(MainWindow, TypingAnAddressSelectsItsSite)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    dlg->AddressBox()->lineEdit()->setFocus();
    QTest::keyClicks(dlg->AddressBox()->lineEdit(), QStringLiteral("https://detail.tmall.com/x?jd.com"));
    EXPECT_EQ(dlg->SiteBox()->currentIndex(), 11);
    dlg->AddressBox()->lineEdit()->clear();
    QTest::keyClicks(dlg->AddressBox()->lineEdit(), QStringLiteral("weibo.com/without-scheme"));
    EXPECT_EQ(dlg->SiteBox()->currentIndex(), 11);
    dlg->AddressBox()->hidePopup();
}

TEST_F(MainWindow, MenuChecksFollowSoftDatAndTogglesAreSavedAtOnce)
{
    SoftSettings s;
    ApplyFirstRunDefaults(s);
    s.arrNaming[SITE_JD].wFlags = DescriptionPicturesOnly | SkipDownloaded;
    ASSERT_TRUE(SaveSettings(s, programFolder + QLatin1Char('/')));
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);

    QMenu *settings = dlg->MenuBar()->actions().at(1)->menu();
    dlg->UpdateMenuChecks(settings);
    EXPECT_TRUE(dlg->MenuAction(ID_DESCRIPTION_PICTURES_ONLY)->isChecked());
    EXPECT_TRUE(dlg->MenuAction(ID_SKIP_DOWNLOADED)->isChecked());
    EXPECT_FALSE(dlg->MenuAction(ID_MAIN_PICTURES_ONLY)->isChecked());
    EXPECT_FALSE(dlg->MenuAction(ID_YUPOO_BIG)->isEnabled());
    EXPECT_TRUE(dlg->MenuAction(ID_MAIN_PICTURES_ONLY)->isEnabled());

    dlg->MenuAction(ID_MAIN_PICTURES_ONLY)->trigger();
    EXPECT_EQ(ReadSoftDat(programFolder).arrNaming[SITE_JD].wFlags, MainPicturesOnly | SkipDownloaded);
    dlg->UpdateMenuChecks(settings);
    EXPECT_TRUE(dlg->MenuAction(ID_MAIN_PICTURES_ONLY)->isChecked());
    EXPECT_FALSE(dlg->MenuAction(ID_DESCRIPTION_PICTURES_ONLY)->isChecked());

    dlg->MenuAction(ID_FIX_FORMAT)->trigger();
    EXPECT_EQ(ReadSoftDat(programFolder).arrNaming[SITE_JD].wFlags, MainPicturesOnly | SkipDownloaded | FixFormat);
    // Other entries stay as they were.
    EXPECT_EQ(ReadSoftDat(programFolder).arrNaming[7].wFlags, s.arrNaming[7].wFlags);
}

TEST_F(MainWindow, LoginModeToggleIsNotSaved)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    const QByteArray before = [&] {
        QFile f(programFolder + QStringLiteral("/soft.dat"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QMenu *login = dlg->MenuBar()->actions().at(0)->menu();
    dlg->UpdateMenuChecks(login);
    EXPECT_TRUE(dlg->MenuAction(ID_LOGIN_MODE1)->isChecked());
    dlg->MenuAction(ID_LOGIN_MODE1)->trigger();
    EXPECT_FALSE(dlg->LoginMode1());
    dlg->UpdateMenuChecks(login);
    EXPECT_FALSE(dlg->MenuAction(ID_LOGIN_MODE1)->isChecked());
    QFile f(programFolder + QStringLiteral("/soft.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(MainWindow, LoginEntriesAskForTheirPage)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    dlg->SiteBox()->setCurrentIndex(0);
    emit dlg->SiteBox()->activated(0);
    dlg->AddressBox()->setEditText(QStringLiteral(" 123456 "));
    dlg->MenuAction(ID_LOGIN_QQ)->trigger();
    EXPECT_TRUE(dlg->LastLoginAddress().endsWith(QStringLiteral("123456")));
    dlg->MenuAction(ID_LOGIN_TAOBAO)->trigger();
    EXPECT_TRUE(dlg->LastLoginAddress().contains(QStringLiteral("taobao")));
}

TEST_F(MainWindow, DownloadSettingsOkIsSavedCancelIsNot)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    dlg->runModal = [](QDialog &d) {
        GetDlgItemAs<QLineEdit>(&d, IDC_DL_THREADS)->setText(QStringLiteral("12"));
        GetDlgItemAs<QLineEdit>(&d, IDC_DL_TIMEOUT)->setText(QStringLiteral("60"));
        GetDlgItemAs<QPushButton>(&d, IDC_SET_OK)->click();
        return d.result();
    };
    dlg->MenuAction(ID_DOWNLOAD_SETTINGS)->trigger();
    EXPECT_EQ(ReadSoftDat(programFolder).arrDownload[SITE_JD].wThreads, 12);
    EXPECT_EQ(ReadSoftDat(programFolder).arrDownload[SITE_JD].wTimeoutSec, 60);

    dlg->runModal = [](QDialog &d) {
        GetDlgItemAs<QLineEdit>(&d, IDC_DL_THREADS)->setText(QStringLiteral("3"));
        d.reject();
        return d.result();
    };
    dlg->MenuAction(ID_DOWNLOAD_SETTINGS)->trigger();
    EXPECT_EQ(ReadSoftDat(programFolder).arrDownload[SITE_JD].wThreads, 12);
    EXPECT_EQ(dlg->State().settings.arrDownload[SITE_JD].wThreads, 12);
}

TEST_F(MainWindow, NameSettingsOkIsSavedAndKeepsTheSwitches)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    const uint16_t flags = dlg->State().settings.arrNaming[SITE_JD].wFlags;
    dlg->runModal = [](QDialog &d) {
        GetDlgItemAs<QLineEdit>(&d, IDC_NAME_PREFIX)->setText(QStringLiteral("?9_"));
        GetDlgItemAs<QPushButton>(&d, IDC_SET_OK)->click();
        return d.result();
    };
    dlg->MenuAction(ID_NAME_SETTINGS)->trigger();
    const SoftSettings saved = ReadSoftDat(programFolder);
    EXPECT_EQ(saved.arrNaming[SITE_JD].strFilePrefix, QStringLiteral("?9_"));
    EXPECT_EQ(saved.arrNaming[SITE_JD].wFlags, flags);
}

TEST_F(MainWindow, AboutBoxShowsTheVersionFromTheMenuAndTheSystemEntry)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    QStringList seen;
    dlg->runModal = [&](QDialog &d) {
        seen << d.windowTitle() << GetDlgItemAs<QLabel>(&d, 1014)->text();
        return int(QDialog::Accepted);
    };
    dlg->MenuAction(ID_HELP_ABOUT)->trigger();
    dlg->MenuAction(IDM_ABOUTBOX)->trigger();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("关于"), QStringLiteral("版本号：15.10.21.01"), QStringLiteral("关于"),
                                 QStringLiteral("版本号：15.10.21.01")}));
}

TEST_F(MainWindow, InertEntriesDoNothing)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    const SoftSettings before = ReadSoftDat(programFolder);
    for (int id : {ID_IMPORT_AND_DOWNLOAD, ID_EXPORT_DOWNLOAD, ID_EXPORT_THUNDER, ID_FILE_TOOLS, ID_HELP_MANUAL,
                   ID_HELP_CONSULT, ID_HELP_FEEDBACK})
        dlg->MenuAction(id)->trigger();
    EXPECT_EQ(ReadSoftDat(programFolder), before);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(MainWindow, ClosingDuringStartupDoesNotHang)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    // The start-up worker is waiting for the GUI thread; the window goes away.
    dlg.reset();
    SUCCEED();
}

TEST_F(MainWindow, HostCallsFromAWorkerReachTheControls)
{
    auto dlg = Make(programFolder);
    dlg->Create();
    WaitStarted(*dlg);
    std::atomic<bool> done{false};
    QString address;
    std::thread worker([&] {
        dlg->ShowListRunningLook();
        dlg->SetStatus2(QStringLiteral("已下载1/2......"));
        address = dlg->AddressText();
        dlg->ShowMessage(QStringLiteral("notice"));
        done = true;
    });
    for (int i = 0; i < 500 && !done; ++i)
        QTest::qWait(10);
    worker.join();
    EXPECT_EQ(qobject_cast<QPushButton *>(dlg->Item(IDC_GETLIST))->text(), QStringLiteral("终止获取"));
    EXPECT_FALSE(dlg->Item(IDC_SITE)->isEnabled());
    EXPECT_TRUE(dlg->Item(IDC_NOTICE)->isHidden());
    EXPECT_EQ(qobject_cast<QLabel *>(dlg->Item(IDC_STATE2))->text(), QStringLiteral("已下载1/2......"));
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("notice")});
    dlg->ShowListIdleLook(0);
    EXPECT_FALSE(dlg->Item(IDC_DOWNLOAD)->isEnabled());
    EXPECT_TRUE(dlg->Item(IDC_SITE)->isEnabled());
    dlg->ShowListIdleLook(1);
    EXPECT_TRUE(dlg->Item(IDC_DOWNLOAD)->isEnabled());
    dlg->ShowDownloadRunningLook();
    EXPECT_EQ(qobject_cast<QPushButton *>(dlg->Item(IDC_DOWNLOAD))->text(), QStringLiteral("终止下载"));
    EXPECT_FALSE(dlg->Item(IDC_SAVEPATH)->isEnabled());
    EXPECT_TRUE(dlg->Item(IDC_OPENPATH)->isEnabled());
    dlg->ShowDownloadIdleLook();
    EXPECT_EQ(qobject_cast<QPushButton *>(dlg->Item(IDC_DOWNLOAD))->text(), QStringLiteral("下载"));
    EXPECT_TRUE(dlg->Item(IDC_SAVEPATH)->isEnabled());
}
