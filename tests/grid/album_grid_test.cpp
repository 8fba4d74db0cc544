// The album grid: set-up, layouts, row search and the CSV export.
#include "grid/grid_image_list.h"
#include "util/codepage.h"
#include "grid_widget_fixture.h"
#include "util/message_box.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class RecordingMessageBox : public IMessageBox
{
public:
    QStringList texts;
    void ShowMessage(const QString &text) override { texts << text; }
};

class FixedFileDialog : public IExportFileDialog
{
public:
    QString strPath;
    QString strFilter;
    QString strSuffix;
    QString AskSaveFileName(QWidget *, const QString &filter, const QString &suffix) override
    {
        strFilter = filter;
        strSuffix = suffix;
        return strPath;
    }
};

using AlbumGridTest = AlbumGridWidgetTest;

TEST_F(AlbumGridTest, ListLayoutHasTheSixColumns)
{
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRowCount(), 1);
    EXPECT_EQ(grid->ColumnCount(), 6);
    const QStringList headers{"序号", "名称", "数量", "备注", "", ""};
    const int widths[] = {50, 575, 50, 100, 0, 0};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid->CellText(0, c), headers[c]);
        if (c != 1) {
            EXPECT_EQ(grid->ColumnWidth(c), widths[c]);
        }
    }
    // 名称 takes what the others leave of the grid's width, 575 at least.
    EXPECT_EQ(grid->ColumnWidth(1), std::max(575, grid->Platform()->ClientSize().width() - 200));
    EXPECT_GT(grid->RowHeight(0), 0);
    EXPECT_TRUE(grid->RowSelectMode());
    EXPECT_TRUE(grid->HeaderSort());
    EXPECT_FALSE(grid->FixedRowSelection());
    EXPECT_FALSE(grid->IsEditable());
    EXPECT_TRUE(grid->DragAndDrop());
    EXPECT_FALSE(grid->FrameFocusCell());
    EXPECT_EQ(grid->SelectedBackColour(), 0x00E3E3C7u);
    EXPECT_EQ(grid->FocusTextColour(), 0u);
    EXPECT_EQ(grid->WindowBackColour(), 0x00FFFFFFu);
    EXPECT_EQ(grid->DefaultCell(false, false)->Margin(), 8);
    EXPECT_EQ(grid->DefaultCell(true, true)->Margin(), 8);
    EXPECT_EQ(grid->ControlId(), 1003);
}

TEST_F(AlbumGridTest, ListRowsCarryTheAlbumIndex)
{
    Fill(3);
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("0001"));
    EXPECT_EQ(grid->CellText(3, 1), QStringLiteral("album 3"));
    EXPECT_EQ(grid->CellData(3, 0), 2u);
    grid->SelectRowAndScroll(-1);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
    grid->ClearSelection();
    EXPECT_EQ(grid->FocusCell(), CellId());
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(AlbumGridTest, ThumbnailLayoutPlacesSevenAlbumsInTwoRows)
{
    CGridImageList images(QSize(113, 120));
    QImage picture(113, 120, QImage::Format_RGB32);
    picture.fill(Qt::red);
    images.Add(picture);
    grid->AttachImageList(&images);
    grid->ApplyThumbnailLayout(6, 113);
    EXPECT_EQ(grid->FixedRowCount(), 0);
    EXPECT_FALSE(grid->RowSelectMode());
    EXPECT_EQ(grid->ColumnWidth(0), 113 + 16);
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(grid->AddThumbnailCell(i, QStringLiteral("name%1").arg(i), i == 0 ? 0 : -1, 130));
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->RowHeight(1), 130);
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("7.name6"));
    EXPECT_EQ(grid->CellData(1, 0), 6u);
    EXPECT_EQ(grid->CellText(1, 1), QString());
    const CGridCellBase *pCell = grid->CellAt(0, 0);
    EXPECT_TRUE(pCell->ImageAboveText());
    EXPECT_EQ(pCell->Format(), DT_WORDBREAK | DT_END_ELLIPSIS);
    EXPECT_EQ(pCell->Image(), 0);
    // Image, caption and margins: the caption gets two lines below the picture,
    // and a rebuild keeps the height.
    const int nHeight = grid->RowHeight(0);
    grid->FitAllRowHeights();
    EXPECT_EQ(grid->RowHeight(0), nHeight);
    QRect text(0, 0, 113, grid->RowHeight(0) - 1);
    pCell->TextRect(text);
    EXPECT_GE(text.height(), 2 * QFontMetrics(grid->GridFont()).height());
    // Cells are picked one by one.
    ClickCell(0, 2);
    ClickCell(1, 0);
    EXPECT_TRUE(grid->IsCellSelected(0, 2));
    EXPECT_TRUE(grid->IsCellSelected(1, 0));
    EXPECT_FALSE(grid->IsCellSelected(0, 3));
    // Select all takes the seven albums, not the five empty places after them.
    grid->SelectAllCells();
    EXPECT_EQ(grid->SelectedCount(), 7);
    grid->AttachImageList(nullptr);
}

TEST_F(AlbumGridTest, FindSearchesForwardAndBackward)
{
    grid->AddListRow(0, QStringLiteral("xabcx"), QString(), QString());
    grid->AddListRow(1, QStringLiteral("other"), QString(), QString());
    grid->AddListRow(2, QStringLiteral("abc"), QString(), QString());
    grid->AddListRow(3, QStringLiteral("abcd"), QString(), QString());
    grid->SetSingleRowSelection(true);
    EXPECT_TRUE(grid->FindAlbumRow(0, QStringLiteral("abc"), true, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
    EXPECT_TRUE(grid->FindAlbumRow(1, QStringLiteral("abc"), true, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3}));
    EXPECT_TRUE(grid->FindAlbumRow(5, QStringLiteral("abc"), false, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{4}));
    EXPECT_TRUE(grid->FindAlbumRow(4, QStringLiteral("abc"), false, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3}));
    // Backward from the first album row finds nothing; the selection stays.
    EXPECT_FALSE(grid->FindAlbumRow(1, QStringLiteral("abc"), false, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3}));
}

TEST_F(AlbumGridTest, FindCaseAndWholeText)
{
    grid->AddListRow(0, QStringLiteral("abcd"), QString(), QString());
    grid->AddListRow(1, QStringLiteral("xxABCxx"), QString(), QString());
    grid->SetSingleRowSelection(true);
    EXPECT_FALSE(grid->FindAlbumRow(0, QStringLiteral("abc"), true, false, true));
    EXPECT_TRUE(grid->FindAlbumRow(0, QStringLiteral("ABC"), true, false, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(grid->FindAlbumRow(0, QStringLiteral("ABC"), true, true, false));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1}));
    EXPECT_TRUE(grid->FindAlbumRow(0, QStringLiteral("0002"), true, false, true)); // column 0 counts too
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
    // Nothing selected: the search starts at the row count and finds nothing forward.
    grid->ClearSelection();
    EXPECT_FALSE(grid->FindAlbumRow(grid->SelectedRange().nMinRow, QStringLiteral("abc"), true, true, false));
    EXPECT_FALSE(grid->FindAlbumRow(0, QStringLiteral("名称"), true, false, false)); // never the header
}

TEST_F(AlbumGridTest, EmptyKeywordIsReported)
{
    RecordingMessageBox box;
    grid->SetMessageBox(&box);
    Fill(2);
    EXPECT_TRUE(grid->FindAlbumRow(0, QString(), true, false, false));
    EXPECT_EQ(box.texts, QStringList{QStringLiteral("关键字不能为空")});
    EXPECT_TRUE(SelectedRows().empty());
}

TEST(AlbumCsv, FieldRule)
{
    const std::pair<const char *, const char *> cases[] = {
        {"a,b \"c\" 'd'", "\"a,b \"\"c\"\" 'd'\""}, {"", ""}, {"plain 名称", "plain 名称"}, {"two\nlines", "\"two\nlines\""}};
    for (const auto &[text, field] : cases)
        EXPECT_EQ(CMyGridCtrl::CsvField(QString::fromUtf8(text)), QString::fromUtf8(field)) << text;
}

TEST_F(AlbumGridTest, ExportWritesTheHeaderAndGbkLines)
{
    grid->AddListRow(0, QStringLiteral("a,b \"c\" 'd'"), QStringLiteral("  12"), QStringLiteral("加密相册"));
    grid->AddListRow(1, QStringLiteral("名称"), QStringLiteral("未知"), QString());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FixedFileDialog dialog;
    dialog.strPath = dir.filePath(QStringLiteral("list.csv"));
    grid->SetExportDialog(&dialog);
    ASSERT_TRUE(grid->ExportAlbumCsv());
    EXPECT_EQ(dialog.strSuffix, QStringLiteral("csv"));
    EXPECT_TRUE(dialog.strFilter.contains(QStringLiteral("*.csv")));

    QFile file(dialog.strPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected = WideToGbk(QStringLiteral("序号,名称,数量,备注,,\r\n")) +
                                QByteArray("0001,\"a,b \"\"c\"\" 'd'\",  12,\xBC\xD3\xC3\xDC\xCF\xE0\xB2\xE1,,\r\n") +
                                QByteArray("0002,\xC3\xFB\xB3\xC6,\xCE\xB4\xD6\xAA,,,\r\n");
    EXPECT_EQ(file.readAll(), expected);
}

TEST_F(AlbumGridTest, ExportOfAnEmptyListIsAnEmptyFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    ASSERT_TRUE(grid->ExportAlbumCsvTo(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST_F(AlbumGridTest, ExportCancelledOrUnwritable)
{
    FixedFileDialog dialog; // empty name: cancelled
    grid->SetExportDialog(&dialog);
    EXPECT_FALSE(grid->ExportAlbumCsv());
    QTemporaryDir dir;
    dialog.strPath = dir.filePath(QStringLiteral("no/such/folder/x.csv"));
    EXPECT_FALSE(grid->ExportAlbumCsv());
}

TEST_F(AlbumGridTest, ExportKeepsLongChineseNamesWhole)
{
    const QString name(100, QChar(0x540D));
    grid->AddListRow(0, name, QString(), QString());
    const QByteArray bytes = grid->AlbumCsvBytes();
    EXPECT_EQ(bytes.size(), WideToGbk(QStringLiteral("序号,名称,数量,备注,,\r\n")).size() + QByteArray("0001,").size() +
                                200 + QByteArray(",,,,\r\n").size());
}

TEST_F(AlbumGridTest, ThumbnailExportKeepsTheFirstRow)
{
    grid->ApplyThumbnailLayout(2, 113);
    grid->AddThumbnailCell(0, QStringLiteral("a"), -1, 130);
    grid->AddThumbnailCell(1, QStringLiteral("b"), -1, 130);
    EXPECT_EQ(grid->AlbumCsvBytes(), QByteArray("1.a,2.b\r\n"));
}

} // namespace
