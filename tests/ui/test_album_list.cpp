// The album list operations on a bare album grid, and the find dialog.
#include "grid/grid_image_list.h"
#include "grid/my_grid_ctrl.h"
#include "ui/album_list_ops.h"
#include "ui/control_ids.h"
#include "ui/dlg_find.h"
#include "ui_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Covers come from a picture written on the spot; addresses are counted.
class FakeAlbumPlatform : public IAlbumListPlatform
{
public:
    bool DownloadToFile(const QString &url, const QString &file) override
    {
        downloads << url;
        if (url.isEmpty())
            return false;
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        return picture.save(file, "JPG");
    }
    void ShowMessage(const QString &text) override { messages << text; }

    QStringList downloads;
    QStringList messages;
};

class AlbumListOps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        grid.resize(900, 400);
        ops.SetProgramFolder(tmp.path() + QLatin1Char('/'));
        grid.AttachImageList(&images);
        grid.SetMessageBox(&messages);
        ops.ResetAlbumList();
    }

    void AddAlbums(int n, const QString &coverPrefix = {})
    {
        for (int i = 0; i < n; ++i) {
            ST_PERLISTRECORD rec;
            rec.strName = QStringLiteral("album %1").arg(i + 1);
            rec.nPicCount = i;
            if (!coverPrefix.isEmpty())
                rec.strCoverUrl = coverPrefix + QString::number(i);
            albums.AddAlbum(rec);
        }
    }

    void Rebuild(bool thumbnails)
    {
        ops.SetThumbnailMode(thumbnails);
        ops.ApplyLayout();
        ops.RebuildAlbumGrid();
    }

    QTemporaryDir tmp;
    CMyGridCtrl grid;
    CAlbumList albums;
    CGridImageList images{QSize(CAlbumListOps::kThumbWidth, CAlbumListOps::kThumbHeight)};
    FakeAlbumPlatform platform;
    CRecordingMessageBox messages;
    CAlbumListOps ops{grid, albums, images, platform, [](std::function<void()> fn) {
                          fn();
                          return true;
                      }};
};

} // namespace

TEST_F(AlbumListOps, RowsShowNumberNameCountAndRemark)
{
    ST_PERLISTRECORD rec;
    rec.strName = QString(81, QChar(u'名'));
    rec.nPicCount = 12;
    rec.nAttrib = int32_t(0x80000000u | 1234u);
    albums.AddAlbum(rec);
    rec.strName = QStringLiteral("second");
    rec.nPicCount = -1;
    rec.nAttrib = 2;
    albums.AddAlbum(rec);
    ops.AddAlbumRow(0);
    ops.AddAlbumRow(1);

    EXPECT_EQ(albums.GetAlbum(0).strName.size(), 80);
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("0001"));
    EXPECT_EQ(grid.CellText(1, 1), QString(80, QChar(u'名')));
    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("  12"));
    EXPECT_EQ(grid.CellText(1, 3), QStringLiteral("00001234"));
    EXPECT_EQ(grid.CellText(2, 2), QStringLiteral("未知"));
    EXPECT_EQ(grid.CellText(2, 3), QStringLiteral("私密相册"));
    EXPECT_EQ(grid.CellData(2, 0), 1u);
    EXPECT_TRUE(platform.downloads.isEmpty());  // no covers in the list layout
}

TEST_F(AlbumListOps, FilterAppliesToOneRebuildOnly)
{
    AddAlbums(3);
    albums.UpdateAlbum(1, [](ST_PERLISTRECORD &a) { a.strName = QStringLiteral("杯子"); });
    ops.SetFilterKeyword(QStringLiteral("杯"));
    Rebuild(false);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("杯子"));
    EXPECT_EQ(grid.CellData(1, 0), 1u);
    EXPECT_TRUE(ops.FilterKeyword().isEmpty());

    ops.SetFilterKeyword(QStringLiteral("nothing"));
    Rebuild(false);
    EXPECT_EQ(grid.RowCount(), 1);
    Rebuild(false);
    EXPECT_EQ(grid.RowCount(), 4);
}

TEST_F(AlbumListOps, SevenThumbnailsGiveTwoRowsAndAreFetchedOnce)
{
    AddAlbums(7, QStringLiteral("http://img.test/c"));
    Rebuild(true);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.ColumnCount(), 6);
    EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("7.album 7"));
    EXPECT_EQ(grid.CellData(1, 0), 6u);
    EXPECT_TRUE(grid.CellText(1, 1).isEmpty());
    EXPECT_EQ(images.ImageCount(), 7);
    EXPECT_EQ(images.Image(0).size(), QSize(113, 120));
    EXPECT_EQ(albums.GetAlbum(6).nThumbIndex, 6);
    EXPECT_EQ(grid.CellAt(0, 2)->Image(), 2);
    EXPECT_TRUE(QFile::exists(tmp.path() + QStringLiteral("/tmp/6.jpg")));
    EXPECT_GE(grid.RowHeight(0), 120);

    Rebuild(false);
    Rebuild(true);
    EXPECT_EQ(platform.downloads.size(), 7);  // kept from the first time
    ops.ResetAlbumList();
    EXPECT_EQ(images.ImageCount(), 0);
    EXPECT_EQ(albums.Count(), 0);
}

TEST_F(AlbumListOps, ChosenAlbumsAreTheSelectionInBothLayouts)
{
    AddAlbums(8);
    for (const bool thumbnails : {false, true}) {
        SCOPED_TRACE(thumbnails);
        Rebuild(thumbnails);
        EXPECT_TRUE(ops.ChosenAlbums().empty());
        ops.SelectAll(true);
        EXPECT_EQ(ops.ChosenAlbums(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        ops.SelectAll(false);
        EXPECT_TRUE(ops.ChosenAlbums().empty());
        EXPECT_FALSE(grid.FocusCell().IsValid());
    }
    // Thumbnails: cells past the last album (row 1, columns 2 ... 5) count for nothing.
    grid.SetSelectedRange(1, 0, 1, 5);
    EXPECT_EQ(ops.ChosenAlbums(), (std::vector<int>{6, 7}));
    Rebuild(false);
    grid.SelectRowAndScroll(3);
    EXPECT_EQ(ops.ChosenAlbums(), std::vector<int>{2});
}

TEST(AlbumListOpsDrop, DroppedItemGivesTheSavePath)
{
    const struct
    {
        const char *dropped;
        const char *savePath;
    } cases[] = {
        {"/pics/a.jpg", "/pics/"},
        {"/pics", "/pics/"},
        {"/pics/", "/pics/"},
        {"/no/such/my.pics", "/no/such/"},  // not on disk: a dotted name is taken for a file
        {"/my.dir/pics", "/my.dir/pics/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CAlbumListOps::SavePathForDrop(QString::fromUtf8(c.dropped)), QString::fromUtf8(c.savePath))
            << c.dropped;
    // On disk, a folder is a folder whatever its name, a file a file.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("v1.2")));
    QFile file(dir.filePath(QStringLiteral("notes")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(CAlbumListOps::SavePathForDrop(dir.filePath(QStringLiteral("v1.2"))), dir.filePath(QStringLiteral("v1.2/")));
    EXPECT_EQ(CAlbumListOps::SavePathForDrop(dir.filePath(QStringLiteral("notes"))), dir.path() + u'/');
    EXPECT_EQ(CAlbumListOps::SavePathForDrop(QStringLiteral("/") + QString(600, u'x')).size(), 513);
}

// --- the find dialog -----------------------------------------------------------

namespace {

class FindDialog : public AlbumListOps
{
protected:
    void SetUp() override
    {
        AlbumListOps::SetUp();
        AddAlbums(6);
        // Rows 2, 4 and 6 hold "cup" in some letter case.
        for (int i : {1, 3, 5})
            albums.UpdateAlbum(i, [i](ST_PERLISTRECORD &a) { a.strName = i == 3 ? QStringLiteral("CUP") : QStringLiteral("big cup"); });
        Rebuild(false);
        grid.SetSingleRowSelection(true);
        dlg.SetGrid(&grid);
        dlg.ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("  cup "));
    }

    int SelectedRow() const { return grid.SelectedRange().nMinRow; }

    CDlgFind dlg;
};

} // namespace

TEST_F(FindDialog, NextAndPreviousWrapAround)
{
    dlg.OnNext();  // nothing selected: from the top
    EXPECT_EQ(SelectedRow(), 2);
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 4);
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 6);
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 2);
    dlg.OnPrevious();
    EXPECT_EQ(SelectedRow(), 6);
    EXPECT_EQ(grid.SelectedCount(), grid.ColumnCount());  // one row alone
}

TEST_F(FindDialog, MatchCaseAndWholeText)
{
    dlg.ItemAs<QCheckBox>(IDC_FIND_MATCHCASE)->setChecked(true);
    dlg.ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("CUP"));
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 4);
    dlg.ItemAs<QCheckBox>(IDC_FIND_MATCHCASE)->setChecked(false);
    dlg.ItemAs<QCheckBox>(IDC_FIND_WHOLE)->setChecked(true);
    dlg.ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("cup"));
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 4);  // "big cup" is not the whole text
    EXPECT_TRUE(messages.Texts().isEmpty());
    dlg.ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("nothing"));
    dlg.OnNext();
    EXPECT_EQ(SelectedRow(), 4);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("未找到“nothing”。")});
}

TEST_F(FindDialog, EmptyKeywordIsRefused)
{
    dlg.ItemAs<QLineEdit>(IDC_FIND_KEYWORD)->setText(QStringLiteral("   "));
    dlg.OnNext();
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("关键字不能为空")});
    EXPECT_EQ(grid.SelectedCount(), 0);
}

TEST_F(FindDialog, CloseHidesAndEndsSingleRowSelection)
{
    dlg.show();
    dlg.OnCloseButton();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(grid.SingleRowSelection());
}

TEST_F(FindDialog, FilterModeAsksForAKeywordOnly)
{
    dlg.SetFindMode(false);
    for (int id : {IDC_FIND_MATCHCASE, IDC_FIND_WHOLE, IDC_FIND_PREV})
        EXPECT_TRUE(dlg.Item(id)->isHidden()) << id;
    EXPECT_EQ(dlg.ItemAs<QPushButton>(IDC_FIND_NEXT)->text(), QStringLiteral("筛选"));
    dlg.OnNext();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Keyword(), QStringLiteral("cup"));
    EXPECT_EQ(grid.SelectedCount(), 0);  // no search in filter mode
    dlg.SetFindMode(true);
    EXPECT_FALSE(dlg.Item(IDC_FIND_PREV)->isHidden());
    EXPECT_EQ(dlg.ItemAs<QPushButton>(IDC_FIND_NEXT)->text(), QStringLiteral("下一个"));
}
