// The album list in the main window: a list job fills the grid, the choice of
// albums is the grid selection, the thumbnail switch, find, filter, export,
// dropped files, the splash's fade-in and the close.
#include "main_window_fixture.h"

#include "engine/fake_shop.h"
#include "engine/notices.h"
#include "engine/proxy_env.h"
#include "engine/shop_pages.h"
#include "grid/my_grid_ctrl.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/dlg_find.h"
#include "util/codepage.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <thread>

namespace {

const std::string kProduct = "http://item.jd.com/100.html";

class FixedExportDialog : public IExportFileDialog
{
public:
    QString path;
    QString AskSaveFileName(QWidget *, const QString &, const QString &) override { return path; }
};

class WindowAlbumList : public MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        MakeQuietStarted(dlg);
    }
    void TearDown() override { dlg.reset(); }

    template <class T>
    T *Ctl(int id) const
    {
        return qobject_cast<T *>(dlg->Item(id));
    }
    CMyGridCtrl &Grid() const { return *dlg->Grid(); }
    void Link(int id) { emit Ctl<QLabel>(id)->linkActivated(QStringLiteral("#")); }

    void AddAlbums(const QStringList &names)
    {
        for (const QString &name : names) {
            ST_PERLISTRECORD rec;
            rec.strName = name;
            const int i = dlg->State().albums.AddAlbum(rec) - 1;
            dlg->AddAlbumRow(i);
        }
    }

    void WaitJobsIdle()
    {
        WaitUntil([this] {
            return dlg->State().ListJobState == JOB_IDLE && dlg->State().DownloadJobState == JOB_IDLE;
        });
    }
    void WaitRebuilt()
    {
        WaitUntil([this] { return dlg->AlbumList().ThumbJobState == 0; });
    }

    std::unique_ptr<CTamblinDlg> dlg;
};

class WindowWithShop : public WindowAlbumList
{
protected:
    void PutProduct(int delayMs = 0)
    {
        std::vector<std::string> thumbs;
        for (int i = 1; i <= 2; ++i) {
            thumbs.push_back("'//img.jd.com/n5/p" + std::to_string(i) + ".jpg'");
            shopServer.PutPicture("http://img.jd.com/n12/p" + std::to_string(i) + ".jpg",
                                  shop::Jpeg("p" + std::to_string(i)));
        }
        shopServer.PutPage(kProduct, shop::ProductPage("保温杯", {}, thumbs), delayMs);
        dlg->AddressBox()->setEditText(QString::fromStdString(kProduct));
    }
    int PictureRequests() const { return shopServer.CountStartingWith("http://img.jd.com/"); }

    FakeShop shopServer;
    ProxyEnv proxy{shopServer.ProxyUrl()};
};

} // namespace

TEST_F(WindowWithShop, ListJobShowsTheAlbumAndDownloadTakesTheSelection)
{
    PutProduct();
    Ctl<QPushButton>(IDC_GETLIST)->click();
    WaitJobsIdle();
    ASSERT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Grid().CellText(1, 0), QStringLiteral("0001"));
    EXPECT_EQ(Grid().CellText(1, 1), QStringLiteral("保温杯"));
    EXPECT_EQ(PictureRequests(), 2);
    EXPECT_TRUE(QFile::exists(programFolder + QStringLiteral("/京东/保温杯/主图_1.jpg")));

    // The automatic download chose every row; 全选 on and off clears the choice.
    auto *selectAll = Ctl<QCheckBox>(IDC_SELECTALL);
    EXPECT_EQ(dlg->ChosenAlbums(), std::vector<int>{0});
    selectAll->click();
    selectAll->click();
    EXPECT_TRUE(dlg->ChosenAlbums().empty());
    Ctl<QPushButton>(IDC_DOWNLOAD)->click();
    WaitJobsIdle();
    EXPECT_EQ(messages.Texts(), QStringList{notice::NoAlbumChosen()});
    EXPECT_EQ(PictureRequests(), 2);

    selectAll->click();
    Ctl<QPushButton>(IDC_DOWNLOAD)->click();
    WaitJobsIdle();
    EXPECT_EQ(PictureRequests(), 4);
    EXPECT_EQ(messages.Texts().size(), 1);
}

TEST_F(WindowWithShop, CloseAsksTheRunningListJobToStop)
{
    PutProduct(1500);
    Ctl<QPushButton>(IDC_GETLIST)->click();
    WaitUntil([this] { return !shopServer.Requests().empty(); });
    dlg->close();
    EXPECT_EQ(dlg->State().ListJobState, LIST_STOP_REQUESTED);
    QElapsedTimer t;
    t.start();
    // The stop aborts the page load (the shop answers only after 1.5 s).
    EXPECT_TRUE(dlg->StopAndWaitForThreads(1000));
    EXPECT_LT(t.elapsed(), 1000);
    dlg.reset();
    EXPECT_EQ(PictureRequests(), 0);
}

TEST_F(WindowAlbumList, ThumbnailSwitchRebuildsOnItsThreadAndAsksDuringIt)
{
    std::atomic<bool> release{false};
    std::atomic<int> downloads{0};
    dlg->downloadToFile = [&](const QString &, const QString &) {
        ++downloads;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return false;
    };
    QStringList names;
    for (int i = 1; i <= 7; ++i)
        names << QStringLiteral("album %1").arg(i);
    AddAlbums(names);
    QStringList asked;
    bool answer = false;
    dlg->askYesNo = [&](const QString &text, const QString &caption) {
        asked << caption + QLatin1Char(':') + text;
        return answer;
    };

    auto *thumbs = Ctl<QCheckBox>(IDC_THUMBS);
    thumbs->click();
    WaitUntil([&] { return downloads > 0; });
    thumbs->click();  // No: the rebuild goes on, the box stays checked
    EXPECT_EQ(asked, QStringList{QStringLiteral("提示:模式转换未完成,是否中断?")});
    EXPECT_TRUE(thumbs->isChecked());
    EXPECT_EQ(dlg->AlbumList().ThumbJobState, 1);
    EXPECT_FALSE(dlg->Item(IDC_FIND)->isEnabled());
    release = true;
    WaitRebuilt();
    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(downloads, 7);

    Grid().SetSelectedRange(0, 0, 1, 0);
    EXPECT_EQ(dlg->ChosenAlbums(), (std::vector<int>{0, 6}));

    thumbs->click();
    WaitRebuilt();
    EXPECT_FALSE(thumbs->isChecked());
    EXPECT_EQ(Grid().RowCount(), 8);
    EXPECT_TRUE(dlg->Item(IDC_FIND)->isEnabled());
    EXPECT_TRUE(dlg->Item(IDC_FILTER)->isEnabled());
}

TEST_F(WindowAlbumList, FilterKeepsMatchingAlbumsUntilTheNextRebuild)
{
    AddAlbums({QStringLiteral("红色杯子"), QStringLiteral("蓝色杯子"), QStringLiteral("红色盘子")});
    dlg->runModal = [](QDialog &d) {
        GetDlgItemAs<QLineEdit>(&d, IDC_FIND_KEYWORD)->setText(QStringLiteral(" 杯子 "));
        GetDlgItemAs<QPushButton>(&d, IDC_FIND_NEXT)->click();
        return d.result();
    };
    Link(IDC_FILTER);
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Grid().CellText(2, 1), QStringLiteral("蓝色杯子"));
    EXPECT_EQ(Grid().CellData(2, 0), 1u);

    Link(IDC_FIND);
    ASSERT_NE(dlg->FindWindow(), nullptr);
    EXPECT_TRUE(dlg->FindWindow()->isVisible());
    EXPECT_TRUE(dlg->FindWindow()->FindMode());
    EXPECT_TRUE(Grid().SingleRowSelection());

    // Thumbnails hide the find window; back to the list, every album is there.
    Ctl<QCheckBox>(IDC_THUMBS)->click();
    WaitRebuilt();
    EXPECT_FALSE(dlg->FindWindow()->isVisible());
    EXPECT_FALSE(Grid().SingleRowSelection());
    Ctl<QCheckBox>(IDC_THUMBS)->click();
    WaitRebuilt();
    EXPECT_EQ(Grid().RowCount(), 4);
}

TEST_F(WindowAlbumList, SortLinkReordersTheRowsWithoutRepeatingThem)
{
    AddAlbums({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    for (int i = 0; i < 3; ++i)
        dlg->State().albums.UpdateAlbum(i, [i](ST_PERLISTRECORD &a) { a.nSpare4 = i == 1 ? 9 : i; });
    Link(IDC_SORT1);
    EXPECT_EQ(LinkText(dlg->Item(IDC_SORT1)), QStringLiteral("<a>好评↑</a>"));
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Grid().CellText(1, 1), QStringLiteral("b"));
    Link(IDC_SORT3);
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Grid().CellText(1, 1), QStringLiteral("a"));
}

TEST_F(WindowAlbumList, ExportWritesTheListAsCsv)
{
    AddAlbums({QStringLiteral("a,b")});
    FixedExportDialog file;
    file.path = root.path() + QStringLiteral("/list.csv");
    dlg->SetExportDialog(&file);
    Link(IDC_EXPORT);
    QFile csv(file.path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), WideToGbk(QStringLiteral("序号,名称,数量,备注,,\r\n0001,\"a,b\",未知,,,\r\n")));
}

TEST_F(WindowAlbumList, DroppedFileSetsTheSavePathAndItsHistory)
{
    const QString folder = root.path() + QStringLiteral("/pics");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(folder + QStringLiteral("/a.jpg"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &drop);
    EXPECT_EQ(dlg->SavePathBox()->currentText(), folder + QLatin1Char('/'));
    EXPECT_EQ(ReadSoftDat(programFolder).arrSavePathHistory[0], folder + QLatin1Char('/'));
    EXPECT_TRUE(dlg->SavePathBox()->Items().contains(folder + QLatin1Char('/')));
}

TEST_F(MainWindow, SplashStaysUpForItsFadeIn)
{
    CTamblinEnvironment env = Env(programFolder);
    env.showSplash = true;
    CTamblinDlg dlg(env);
    dlg.SetMessageBox(&messages);
    QElapsedTimer t;
    t.start();
    dlg.Create();
    ASSERT_NE(dlg.Splash(), nullptr);
    EXPECT_TRUE(dlg.Splash()->isVisible());
    WaitStarted(dlg);
    EXPECT_GE(t.elapsed(), 450);
    EXPECT_EQ(dlg.Splash(), nullptr);
}
