// Work on several albums in the window: pasted and imported address lists,
// the albums' states in the grid, the end of a job with failures, Escape and
// the close during a download, and a window that grows.
#include "main_window_fixture.h"

#include "engine/bulk_texts.h"
#include "engine/fake_shop.h"
#include "engine/numbered_products.h"
#include "engine/proxy_env.h"
#include "engine/shop_pages.h"
#include "grid/my_grid_ctrl.h"
#include "ui/combo_box2.h"
#include "ui/control_ids.h"
#include "ui/menu_model.h"
#include "util/codepage.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

class WindowBulk : public MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        MakeQuietStarted(dlg);
    }
    void TearDown() override { dlg.reset(); }

    static QString Product(int sku) { return shop::ProductAddress(sku); }
    void PutProduct(int sku, const std::string &title, int n) { shop::PutNumberedProduct(shopServer, sku, title, n); }
    QStringList Pictures(const QString &title) const
    {
        return QDir(programFolder + QStringLiteral("/京东/") + title).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    }
    template <class T>
    T *Ctl(int id) const
    {
        return qobject_cast<T *>(dlg->Item(id));
    }
    CMyGridCtrl &Grid() const { return *dlg->Grid(); }
    void WaitJobsIdle()
    {
        WaitUntil([this] {
            return dlg->State().ListJobState == JOB_IDLE && dlg->State().DownloadJobState == JOB_IDLE;
        });
    }
    void SelectAllAndDownload()
    {
        auto *all = Ctl<QCheckBox>(IDC_SELECTALL);
        if (all->isChecked())
            all->click();
        all->click();
        Ctl<QPushButton>(IDC_DOWNLOAD)->click();
        WaitJobsIdle();
        // The job's last calls reach the window after its state is idle.
        WaitUntil([this] { return Ctl<QPushButton>(IDC_DOWNLOAD)->text() == QStringLiteral("下载"); });
        QTest::qWait(20);
    }

    std::unique_ptr<CTamblinDlg> dlg;
    FakeShop shopServer;
    ProxyEnv proxy{shopServer.ProxyUrl()};
};

} // namespace

TEST_F(WindowBulk, PastedAddressesGiveAlbumsThatDownloadTogether)
{
    PutProduct(1, "杯子", 2);
    PutProduct(2, "水壶", 1);
    PutProduct(3, "茶盘", 3);
    dlg->AddressBox()->setEditText(Product(1) + u'\n' + Product(2) + u'\n' + Product(3));
    Ctl<QPushButton>(IDC_GETLIST)->click();
    WaitJobsIdle();
    ASSERT_EQ(Grid().RowCount(), 4);
    EXPECT_EQ(Grid().CellText(3, 1), QStringLiteral("茶盘"));
    EXPECT_EQ(shopServer.CountStartingWith("http://img.jd.com/"), 0);
    EXPECT_EQ(dlg->AddressBox()->Items().size(), 0);

    // 全选 follows the selection: one row clicked off, and back on.
    auto *all = Ctl<QCheckBox>(IDC_SELECTALL);
    all->click();
    EXPECT_TRUE(all->isChecked());
    const auto clickRow = [this](int row) {
        QRect rect;
        ASSERT_TRUE(Grid().CellRect(row, 1, rect));
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    };
    clickRow(2);
    EXPECT_FALSE(all->isChecked());
    EXPECT_EQ(dlg->ChosenAlbums(), (std::vector<int>{0, 2}));
    clickRow(2);
    EXPECT_TRUE(all->isChecked());

    // A save path typed by hand is kept once a download ran with it.
    const QString typed = root.path() + QStringLiteral("/typed");
    dlg->SavePathBox()->setEditText(typed);
    SelectAllAndDownload();
    EXPECT_EQ(ReadSoftDat(programFolder).arrSavePathHistory[0], typed + u'/');
    EXPECT_EQ(QDir(typed + QStringLiteral("/京东/茶盘")).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 3);
    dlg->SavePathBox()->setEditText(programFolder);
    SelectAllAndDownload();
    EXPECT_EQ(Pictures(QStringLiteral("杯子")).size(), 2);
    EXPECT_EQ(Pictures(QStringLiteral("水壶")).size(), 1);
    EXPECT_EQ(Pictures(QStringLiteral("茶盘")).size(), 3);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(Grid().CellText(row, 3), bulktext::Complete()) << row;
    EXPECT_EQ(Grid().CellText(3, 2), QStringLiteral("   3"));
    WaitUntil([this] { return Ctl<QLabel>(IDC_STATE1)->text() == bulktext::JobEnd(false, 6, 0, 0); });
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
}

TEST_F(WindowBulk, ImportedListAndAnAlbumWithAFailure)
{
    PutProduct(1, "杯子", 1);
    PutProduct(2, "水壶", 2);
    shopServer.Put("http://img.jd.com/n12/q2_2.jpg", {"<h1>Not Found</h1>", "text/html", 404});
    const QString list = root.path() + QStringLiteral("/list.txt");
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WideToGbk(QStringLiteral("# 杯子和水壶\n") + Product(1) + u'\n' + Product(2) + u'\n'));
    f.close();
    dlg->chooseListFile = [list] { return list; };
    dlg->MenuAction(ID_IMPORT_ADDRESS_LIST)->trigger();
    WaitJobsIdle();
    ASSERT_EQ(Grid().RowCount(), 3);

    SelectAllAndDownload();
    EXPECT_EQ(Grid().CellText(1, 3), bulktext::Complete());
    EXPECT_EQ(Grid().CellText(2, 3), bulktext::Failed(1));
    EXPECT_EQ(messages.Texts(),
              QStringList{bulktext::AlbumsWithFailures({bulktext::AlbumFailureLine(QStringLiteral("水壶"), 1)})});
    WaitUntil([this] { return Ctl<QLabel>(IDC_STATE1)->text() == bulktext::JobEnd(false, 2, 1, 0); });
    EXPECT_EQ(dlg->FailedAlbums(), std::vector<int>{1});

    // 重试失败 fetches the one missing picture, without "不下载以前下载过的图片".
    shopServer.PutPicture("http://img.jd.com/n12/q2_2.jpg", shop::Jpeg("q2_2"));
    shopServer.ResetLog();
    dlg->MenuAction(ID_RETRY_FAILED)->trigger();
    WaitJobsIdle();
    WaitUntil([this] { return Ctl<QLabel>(IDC_STATE1)->text() == bulktext::JobEnd(false, 1, 0, 1); });
    EXPECT_EQ(shopServer.CountStartingWith("http://img.jd.com/"), 1);
    EXPECT_EQ(Pictures(QStringLiteral("水壶")), (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("主图_2.jpg")}));
    EXPECT_EQ(Grid().CellText(2, 3), bulktext::Complete());
    EXPECT_FALSE(dlg->State().bOnlyMissing.load());
    EXPECT_TRUE(dlg->FailedAlbums().empty());
}

TEST_F(WindowBulk, EscapeNeverClosesAndCloseAsksDuringADownload)
{
    QSignalSpy finished(dlg.get(), &QDialog::finished);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(finished.count(), 0);

    QStringList asked;
    bool answer = false;
    dlg->askYesNo = [&](const QString &text, const QString &) {
        asked.append(text);
        return answer;
    };
    dlg->State().DownloadJobState = JOB_RUNNING; // as a download job sets it
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(asked, QStringList{QStringLiteral("正在下载，确定退出？")});
    answer = true;
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(finished.count(), 1);
    dlg->State().DownloadJobState = JOB_IDLE;
}

TEST_F(WindowBulk, TheGridGrowsWithTheWindowAndTheSizeIsKept)
{
    const QSize first = dlg->size();
    const QRect grid = Grid().geometry();
    const QRect getList = Ctl<QPushButton>(IDC_GETLIST)->geometry();
    const QRect bottom = dlg->Item(IDC_BOTTOMTEXT)->geometry();
    EXPECT_LT(dlg->minimumSize().width(), dlg->maximumSize().width());
    const auto resizeTo = [this](QSize size) {
        dlg->resize(size);
        WaitUntil([&] { return dlg->size() == size.expandedTo(dlg->minimumSize()); });
    };
    resizeTo(first + QSize(200, 150));
    EXPECT_EQ(Grid().geometry(), grid.adjusted(0, 0, 200, 150));
    EXPECT_EQ(Ctl<QPushButton>(IDC_GETLIST)->geometry(), getList);
    EXPECT_EQ(dlg->Item(IDC_BOTTOMTEXT)->geometry(), bottom.translated(0, 150));
    // Smaller than the first size the layout does not go.
    resizeTo(first - QSize(100, 100));
    EXPECT_EQ(Grid().geometry(), grid);
    resizeTo(first + QSize(40, 30));
    dlg->close();

    auto again = Make(programFolder);
    again->Create();
    WaitStarted(*again);
    WaitUntil([&] { return again->size() == first + QSize(40, 30); });
    EXPECT_EQ(again->Grid()->geometry(), grid.adjusted(0, 0, 40, 30));
}
