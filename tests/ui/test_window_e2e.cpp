// The real window on a real X display, used as a user would: a product
// address, Enter, the album in the grid and its pictures on disk; 全选 and
// 下载 by hand; and the program closed while a page load hangs.
#include "main_window_fixture.h"

#include "engine/fake_shop.h"
#include "engine/notices.h"
#include "engine/numbered_products.h"
#include "engine/proxy_env.h"
#include "engine/shop_pages.h"
#include "grid/my_grid_ctrl.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace {

const std::string kProduct = "http://item.jd.com/100.html";

class WindowOnDisplay : public MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        std::vector<std::string> thumbs;
        for (int i = 1; i <= 2; ++i) {
            thumbs.push_back("'//img.jd.com/n5/p" + std::to_string(i) + ".jpg'");
            shopServer.PutPicture("http://img.jd.com/n12/p" + std::to_string(i) + ".jpg", shop::Jpeg("p"));
        }
        shopServer.PutPage(kProduct, shop::ProductPage("保温杯", {}, thumbs));
    }

    int PictureRequests() const { return shopServer.CountStartingWith("http://img.jd.com/"); }

    FakeShop shopServer;
    ProxyEnv proxy{shopServer.ProxyUrl()};
};

// Clicks a control in the middle, as the mouse would.
void Click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

} // namespace

TEST_F(WindowOnDisplay, AddressAndEnterDownloadThenByHandWithTheSelection)
{
    // The first run in a fresh folder opens the save folder at the end: a stand-in records it.
    const QString bin = root.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    opener.close();
    opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + oldPath);

    CTamblinEnvironment env = Env(programFolder);
    env.showSplash = true;
    CTamblinDlg dlg(env);
    dlg.SetMessageBox(&messages);
    dlg.Create();
    WaitStarted(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    QLineEdit *address = dlg.AddressBox()->lineEdit();
    address->setFocus();
    QTest::keyClicks(address, QString::fromStdString(kProduct));
    dlg.AddressBox()->hidePopup();
    QTest::keyClick(address, Qt::Key_Return);
    WaitUntil([&] { return PictureRequests() == 2 && dlg.State().DownloadJobState == JOB_IDLE; });
    ASSERT_EQ(dlg.Grid()->RowCount(), 2);
    EXPECT_EQ(dlg.Grid()->CellText(1, 1), QStringLiteral("保温杯"));
    const QString album = programFolder + QStringLiteral("/京东/保温杯/");
    EXPECT_TRUE(QFile::exists(album + QStringLiteral("主图_1.jpg")));
    EXPECT_TRUE(QFile::exists(album + QStringLiteral("主图_2.jpg")));

    auto *selectAll = qobject_cast<QCheckBox *>(dlg.Item(IDC_SELECTALL));
    auto *download = qobject_cast<QPushButton *>(dlg.Item(IDC_DOWNLOAD));
    Click(selectAll);
    Click(selectAll);
    EXPECT_FALSE(selectAll->isChecked());
    Click(download);
    WaitUntil([&] { return !messages.Texts().isEmpty() && dlg.State().DownloadJobState == JOB_IDLE; });
    EXPECT_EQ(messages.Texts(), QStringList{notice::NoAlbumChosen()});

    Click(selectAll);
    EXPECT_TRUE(selectAll->isChecked());
    Click(download);
    WaitUntil([&] { return PictureRequests() == 4 && dlg.State().DownloadJobState == JOB_IDLE; });
    EXPECT_EQ(messages.Texts().size(), 1);
    qputenv("PATH", oldPath);
}

TEST_F(WindowOnDisplay, ClosingDuringAHangingPageLoadEndsTheProcessWithinTwoSeconds)
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    shopServer.PutPage(kProduct, shop::ProductPage("保温杯", {}, {}), 4000);
    // The program puts the clipboard's address into its address box at start-up.
    QGuiApplication::clipboard()->setText(QString::fromStdString(kProduct));

    QProcess program;
    program.setWorkingDirectory(programFolder);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(OSTREL_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    QString window;
    WaitUntil([&] {
        QProcess search;
        search.start(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                               QStringLiteral("Ostrel")});
        search.waitForFinished(2000);
        window = QString::fromLatin1(search.readAllStandardOutput()).split(u'\n').value(0).trimmed();
        return !window.isEmpty();
    });
    const auto key = [&](const char *name) {
        QProcess::execute(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        QProcess::execute(xdotool, {QStringLiteral("key"), QString::fromLatin1(name)});
    };
    key("Return");
    WaitUntil([&] { return shopServer.Count(kProduct) > 0; });

    QElapsedTimer closing;
    closing.start();
    key("ctrl+q");
    const bool ended = program.waitForFinished(5000);
    const qint64 ms = closing.elapsed();
    if (!ended)
        program.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    RecordProperty("close_ms", int(ms));
    EXPECT_LT(ms, 2000);
}

TEST_F(WindowOnDisplay, PastedAddressesBecomeAlbumsThatDownloadAndTheWindowGrows)
{
    SoftSettings s;
    ApplyFirstRunDefaults(s);
    s.arrNaming[SITE_JD].wFlags = 0; // no file browser at the end
    ASSERT_TRUE(SaveSettings(s, programFolder + QLatin1Char('/')));
    shop::PutNumberedProduct(shopServer, 1, "杯子", 2);
    shop::PutNumberedProduct(shopServer, 2, "水壶", 1);
    shop::PutNumberedProduct(shopServer, 3, "茶盘", 3);
    CTamblinDlg dlg(Env(programFolder));
    dlg.SetMessageBox(&messages);
    dlg.Create();
    WaitStarted(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    // A column of links from a sheet, pasted.
    QGuiApplication::clipboard()->setText(shop::ProductAddress(1) + QStringLiteral("\r\n") + shop::ProductAddress(2) +
                                          QStringLiteral("\r\n") + shop::ProductAddress(3) + QStringLiteral("\r\n"));
    QLineEdit *address = dlg.AddressBox()->lineEdit();
    Click(address);
    QTest::keyClick(address, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(address, Qt::Key_Escape);
    ASSERT_TRUE(dlg.isVisible()); // Escape closes pop-ups, never the window
    Click(dlg.Item(IDC_GETLIST));
    WaitUntil([&] { return dlg.Grid()->RowCount() == 4 && dlg.State().ListJobState == JOB_IDLE; });
    EXPECT_EQ(PictureRequests(), 0);

    Click(dlg.Item(IDC_SELECTALL));
    Click(dlg.Item(IDC_DOWNLOAD));
    WaitUntil([&] { return PictureRequests() == 6 && dlg.State().DownloadJobState == JOB_IDLE; });
    for (const auto &[title, n] : {std::pair{"杯子", 2}, std::pair{"水壶", 1}, std::pair{"茶盘", 3}})
        EXPECT_EQ(QDir(programFolder + QStringLiteral("/京东/") + QString::fromUtf8(title))
                      .entryList({QStringLiteral("主图_*.jpg")}, QDir::Files)
                      .size(),
                  n)
            << title;
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();

    const QRect grid = dlg.Grid()->geometry();
    dlg.resize(dlg.size() + QSize(300, 200));
    WaitUntil([&] { return dlg.Grid()->geometry() == grid.adjusted(0, 0, 300, 200); });
}
