// The grid model without a window: structure, cells, defaults, sorting, selection.
#include "fake_grid_platform.h"
#include "grid/grid_model.h"

#include <gtest/gtest.h>

namespace {

class GridModelTest : public ::testing::Test
{
protected:
    CFakeGridPlatform platform;
    CGridModel grid{&platform};

    // Every invariant the model promises.
    void ExpectConsistent() const
    {
        EXPECT_LE(grid.FixedRowCount(), grid.RowCount());
        EXPECT_LE(grid.FixedColumnCount(), grid.ColumnCount());
        for (int r = 0; r < grid.RowCount(); ++r) {
            EXPECT_GE(grid.RowHeight(r), 0);
            for (int c = 0; c < grid.ColumnCount(); ++c) {
                const CGridCellBase *pCell = grid.CellAt(r, c);
                ASSERT_NE(pCell, nullptr) << r << "," << c;
                EXPECT_EQ(pCell->IsInFixedRow(), r < grid.FixedRowCount());
                EXPECT_EQ(pCell->IsFixed(), r < grid.FixedRowCount() || c < grid.FixedColumnCount());
            }
        }
        EXPECT_EQ(grid.CellAt(grid.RowCount(), 0), nullptr);
        EXPECT_EQ(grid.CellAt(0, grid.ColumnCount()), nullptr);
        EXPECT_EQ(grid.RowHeight(grid.RowCount()), -1);
        EXPECT_EQ(grid.ColumnWidth(grid.ColumnCount()), -1);
        int nSelected = 0;
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColumnCount(); ++c)
                nSelected += grid.CellAt(r, c)->IsSelected() ? 1 : 0;
        EXPECT_EQ(nSelected, grid.SelectedCount());
    }

    void FillColumn(int nCol, std::initializer_list<const char *> texts)
    {
        int r = grid.FixedRowCount();
        for (const char *text : texts)
            grid.SetCellText(r++, nCol, QString::fromUtf8(text));
    }

    QStringList Column(int nCol) const
    {
        QStringList out;
        for (int r = 0; r < grid.RowCount(); ++r)
            out << grid.CellText(r, nCol);
        return out;
    }
};

TEST_F(GridModelTest, StartsEmptyWithDefaults)
{
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.FocusCell(), CellId());
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_TRUE(grid.IsRedrawAllowed());
    EXPECT_TRUE(grid.IsDrawComplete());
    EXPECT_EQ(grid.GridLineColour(), 0x00C0C0C0u);
    EXPECT_EQ(grid.WindowBackColour(), grid.ShadowColour());
    EXPECT_EQ(grid.DefaultCell(false, false)->BackColour(), 0x00FFFFFFu);
    EXPECT_EQ(grid.DefaultCell(true, false)->BackColour(), 0x00F0F0F0u);
    EXPECT_EQ(grid.DefaultCell(true, true)->TextColour(), 0x00000000u);
    EXPECT_EQ(grid.DefaultCell(false, false)->Format(), 0x8824);
    EXPECT_TRUE(grid.DefaultCell(false, false)->IsReadOnly());
    ExpectConsistent();
}

TEST_F(GridModelTest, DefaultMetricsComeFromTheFont)
{
    // One pixel per character, ten high: " " = 1, " XXXXXXXXXXXX " = 14, height 10 * 3 / 2.
    const CGridDefaultCell *pDef = grid.DefaultCell(false, false);
    EXPECT_EQ(pDef->Margin(), 1);
    EXPECT_EQ(pDef->Width(), 14);
    EXPECT_EQ(pDef->Height(), 15);
}

TEST(GridModelNoWindow, MetricsFallBackWithoutDevice)
{
    CGridModel grid;
    EXPECT_EQ(grid.DefaultCell(false, false)->Margin(), 3);
    EXPECT_EQ(grid.DefaultCell(false, false)->Width(), 40);
    EXPECT_EQ(grid.DefaultCell(false, false)->Height(), 16);
    EXPECT_TRUE(grid.ResizeColumnCount(2));
    EXPECT_TRUE(grid.ResizeRowCount(3));
    EXPECT_TRUE(grid.SetCellText(2, 1, QStringLiteral("x")));
    EXPECT_EQ(grid.RowHeight(0), 16);
}

TEST_F(GridModelTest, ResizeKeepsArraysInStep)
{
    ASSERT_TRUE(grid.ResizeColumnCount(3));
    ASSERT_TRUE(grid.ResizeRowCount(5));
    EXPECT_EQ(grid.RowHeight(4), grid.DefaultCell(false, false)->Height());
    EXPECT_EQ(grid.ColumnWidth(2), grid.DefaultCell(false, true)->Width());
    grid.SetCellText(4, 2, QStringLiteral("last"));
    ASSERT_TRUE(grid.ResizeColumnCount(2));
    ASSERT_TRUE(grid.ResizeRowCount(2));
    EXPECT_EQ(grid.CellText(4, 2), QString());
    ExpectConsistent();
    EXPECT_FALSE(grid.ResizeRowCount(-1));
    EXPECT_FALSE(grid.ResizeColumnCount(-1));
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST_F(GridModelTest, ResizeToZeroRemovesFixedRowAndFocus)
{
    grid.ResizeColumnCount(2);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(3);
    grid.SetFocusCell(2, 1);
    ASSERT_EQ(grid.FocusCell(), CellId(2, 1));
    ASSERT_TRUE(grid.ResizeRowCount(0));
    EXPECT_EQ(grid.FixedRowCount(), 0);
    EXPECT_EQ(grid.FocusCell(), CellId());
    ExpectConsistent();
}

TEST_F(GridModelTest, FixedRowsCarryTheFixedFlags)
{
    grid.ResizeColumnCount(2);
    ASSERT_TRUE(grid.SetFixedRows(2));
    EXPECT_EQ(grid.RowCount(), 2); // grown to hold the fixed rows
    EXPECT_EQ(grid.CellState(0, 0) & 0x30u, 0x30u);
    grid.ResizeRowCount(4);
    EXPECT_EQ(grid.CellState(3, 1) & 0x70u, 0u); // made by the factory as a normal cell
    ASSERT_TRUE(grid.SetFixedRows(1));
    EXPECT_EQ(grid.CellState(1, 0) & 0x30u, 0u);
    EXPECT_EQ(grid.CellState(0, 1) & 0x30u, 0x30u);
    ExpectConsistent();
}

TEST_F(GridModelTest, FactoryCopiesTheDefaultFormat)
{
    grid.DefaultCell(true, false)->SetFormat(DT_CENTER | DT_SINGLELINE);
    grid.ResizeColumnCount(1);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(2);
    grid.ResizeColumnCount(2); // cells made for a fixed row take the fixed-row format
    EXPECT_EQ(grid.CellAt(0, 1)->Format(), DT_CENTER | DT_SINGLELINE);
    EXPECT_EQ(grid.CellAt(1, 1)->Format(), 0x8824);
    EXPECT_EQ(grid.CellState(0, 1) & 0x30u, 0x30u);
}

TEST_F(GridModelTest, AppendRowMakesAColumnAndUsesFixedRowHeight)
{
    grid.DefaultCell(true, false)->SetHeight(22);
    const int nRow = grid.AppendRow();
    EXPECT_EQ(nRow, 0);
    EXPECT_EQ(grid.ColumnCount(), 1);
    EXPECT_EQ(grid.RowHeight(0), 22);
    EXPECT_TRUE(grid.CellAt(0, 0)->IsModified());
    EXPECT_TRUE(grid.IsModified());
    EXPECT_EQ(grid.AppendRow(), 1);
    ExpectConsistent();
}

TEST_F(GridModelTest, ClearAllEmptiesEverything)
{
    grid.ResizeColumnCount(3);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(4);
    grid.SetSelectedRange(1, 0, 2, 2);
    grid.SortByText(1, true);
    grid.ClearAll();
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.FixedRowCount(), 0);
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_EQ(grid.SelectedCount(), 0);
    EXPECT_EQ(grid.TotalHeight(), 0);
    ExpectConsistent();
}

TEST_F(GridModelTest, CellsTakeUnsetValuesFromTheirDefault)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(1);
    const CGridCellBase *pCell = grid.CellAt(0, 0);
    CGridDefaultCell *pDef = grid.DefaultCell(false, false);
    EXPECT_EQ(pCell->DefaultsCell(), pDef);
    EXPECT_EQ(pCell->Margin(), pDef->Margin());
    EXPECT_EQ(pCell->Font(), pDef->Font());
    EXPECT_TRUE(pCell->UsesDefaultFont());
    EXPECT_EQ(pCell->TextColour(), ColourDefault);

    QFont bigger;
    bigger.setPixelSize(30);
    const int nOldWidth = pDef->Width();
    pDef->SetMargin(-1);
    pDef->SetFont(&bigger);
    EXPECT_EQ(pCell->Margin(), 1);
    EXPECT_EQ(pDef->Width(), nOldWidth); // the fake font ignores the size
    EXPECT_EQ(pCell->RealisedFont()->pixelSize(), 30);

    grid.CellAt(0, 0)->SetMargin(5);
    EXPECT_EQ(pCell->Margin(), 5);
}

TEST_F(GridModelTest, DefaultCellsRefuseDataAndState)
{
    CGridDefaultCell *pDef = grid.DefaultCell(false, false);
    pDef->SetData(42);
    pDef->SetState(CellSelected);
    pDef->SetFont(nullptr);
    EXPECT_EQ(pDef->Data(), 0u);
    EXPECT_EQ(pDef->State(), static_cast<unsigned>(CellReadOnly));
    EXPECT_NE(pDef->Font(), nullptr);
}

TEST_F(GridModelTest, DefaultsCellFollowsTheFlags)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(2);
    CGridCellBase *pCell = grid.CellAt(1, 1);
    pCell->SetState(CellFixed | CellFixedRow | CellFixedColumn);
    EXPECT_EQ(pCell->DefaultsCell(), grid.DefaultCell(true, true));
    pCell->SetState(CellFixed | CellFixedColumn);
    EXPECT_EQ(pCell->DefaultsCell(), grid.DefaultCell(false, true));
    CGridCell loose;
    EXPECT_EQ(loose.DefaultsCell(), nullptr);
    EXPECT_EQ(loose.Text(), QString());
}

TEST_F(GridModelTest, OutOfRangeSettersChangeNothing)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(2);
    EXPECT_FALSE(grid.SetCellText(2, 0, QStringLiteral("x")));
    EXPECT_FALSE(grid.SetCellText(0, -1, QStringLiteral("x")));
    EXPECT_FALSE(grid.SetCellImage(5, 5, 1));
    EXPECT_FALSE(grid.SetCellState(-1, 0, CellSelected));
    EXPECT_FALSE(grid.ChangeRowHeight(0, -3));
    EXPECT_FALSE(grid.ChangeColumnWidth(2, 10));
    EXPECT_EQ(grid.CellState(9, 9), 0u);
    EXPECT_EQ(grid.CellData(9, 9), 0u);
    EXPECT_EQ(grid.CellText(9, 9), QString());
    EXPECT_EQ(grid.SelectedCount(), 0);
}

TEST_F(GridModelTest, SetCellMaskSelectsProperties)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(1);
    ST_GRIDITEM item;
    item.row = 0;
    item.col = 0;
    item.nMask = GridItemText | GridItemData | GridItemMargin;
    item.strText = QStringLiteral("名称");
    item.lParam = 7;
    item.nMargin = 4;
    item.iImage = 3; // not in the mask
    ASSERT_TRUE(grid.SetCell(item));
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("名称"));
    EXPECT_EQ(grid.CellData(0, 0), 7u);
    EXPECT_EQ(grid.CellAt(0, 0)->Margin(), 4);
    EXPECT_EQ(grid.CellAt(0, 0)->Image(), -1);
    ASSERT_TRUE(grid.SetCellTextAndFormat(0, 0, 0, "%d.%s", 3, "abc"));
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("3.abc"));
    EXPECT_EQ(grid.CellAt(0, 0)->Format(), 0);
}

TEST_F(GridModelTest, SortsOrdinallyAndKeepsTheHeader)
{
    grid.ResizeColumnCount(2);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(4);
    grid.SetCellText(0, 0, QStringLiteral("header"));
    FillColumn(0, {"b", "a", "B"});
    FillColumn(1, {"1", "2", "3"});
    ASSERT_TRUE(grid.SortByText(0, true));
    EXPECT_EQ(Column(0), (QStringList{"header", "B", "a", "b"}));
    EXPECT_EQ(Column(1), (QStringList{"", "3", "2", "1"})); // whole rows move
    EXPECT_EQ(grid.SortColumn(), 0);
    ASSERT_TRUE(grid.SortByText(0, false));
    EXPECT_EQ(Column(0), (QStringList{"header", "b", "a", "B"}));
    EXPECT_FALSE(grid.SortByText(5, true));
}

TEST_F(GridModelTest, SortMovesRowHeightsWithTheRows)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(3);
    FillColumn(0, {"c", "a", "b"});
    grid.ChangeRowHeight(0, 31);
    grid.SortByText(0, true);
    EXPECT_EQ(Column(0), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(grid.RowHeight(2), 31);
}

TEST_F(GridModelTest, EqualRowsAreNeverSwapped)
{
    // Counts the swaps through the data of column 1: rows equal in column 0 keep their order
    // when every comparison against them is equal.
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(4);
    FillColumn(0, {"same", "same", "same", "same"});
    for (int r = 0; r < 4; ++r)
        grid.SetCellData(r, 1, static_cast<quintptr>(r));
    grid.SortByText(0, true);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(grid.CellData(r, 1), static_cast<quintptr>(r));
}

TEST_F(GridModelTest, SortWithACustomComparison)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(4);
    FillColumn(0, {"10", "9", "100", "1"});
    const GridCompareFunc numeric = [](const CGridCellBase *a, const CGridCellBase *b, quintptr) {
        const int x = a->Text().toInt();
        const int y = b->Text().toInt();
        return x < y ? -1 : (x > y ? 1 : 0);
    };
    grid.SortWith(numeric, 0, true);
    EXPECT_EQ(Column(0), (QStringList{"1", "9", "10", "100"}));
    grid.SetCompareFunction(numeric);
    grid.SortByText(0, false);
    EXPECT_EQ(Column(0), (QStringList{"100", "10", "9", "1"}));
}

TEST_F(GridModelTest, SortsManyRowsCorrectly)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(2000);
    for (int r = 0; r < 2000; ++r)
        grid.SetCellTextFormatted(r, 0, "%05d", (r * 7919) % 2000);
    grid.SortByText(0, true);
    for (int r = 1; r < 2000; ++r)
        ASSERT_LT(grid.CellText(r - 1, 0), grid.CellText(r, 0));
}

TEST_F(GridModelTest, ChangingTheSortColumnClearsTheIndicator)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(3);
    grid.SortByText(1, true);
    grid.SetCellText(1, 0, QStringLiteral("other column"));
    EXPECT_EQ(grid.SortColumn(), 1);
    grid.SetModified(false);
    grid.SetCellText(2, 1, QStringLiteral("sorted column"));
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_TRUE(grid.IsModified());
    EXPECT_TRUE(grid.CellAt(2, 1)->IsModified());
    grid.SortByText(1, true);
    grid.SetCellImage(0, 1, 0);
    EXPECT_EQ(grid.SortColumn(), -1);
}

TEST_F(GridModelTest, SelectionMapFollowsTheFlags)
{
    grid.ResizeColumnCount(3);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(5);
    grid.SetCellState(2, 1, CellSelected);
    EXPECT_TRUE(grid.IsCellSelected(2, 1));
    EXPECT_EQ(grid.SelectedCount(), 1);
    grid.SetCellState(2, 1, 0);
    EXPECT_EQ(grid.SelectedCount(), 0);
    grid.SetSelectedRange(1, 0, 3, 2);
    EXPECT_EQ(grid.SelectedCount(), 9);
    ExpectConsistent();
    grid.ResizeRowCount(3); // rows 3 and 4 go, their cells leave the map
    EXPECT_EQ(grid.SelectedCount(), 6);
    ExpectConsistent();
    grid.ClearSelection();
    EXPECT_EQ(grid.SelectedCount(), 0);
    ExpectConsistent();
}

TEST_F(GridModelTest, SelectedRangeAndNextSelectedRow)
{
    grid.ResizeColumnCount(3);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(8);
    EXPECT_EQ(grid.SelectedRange(), CellRange(8, 3, -1, -1));
    EXPECT_EQ(grid.NextSelectedRow(INT_MAX), -1);
    grid.SetRowSelectMode(true);
    grid.SetSelectedRange(2, 0, 2, 2);
    grid.SetCellState(5, 1, CellSelected);
    EXPECT_EQ(grid.SelectedRange(), CellRange(2, 0, 5, 2));
    EXPECT_EQ(grid.NextSelectedRow(INT_MAX), 2);
    EXPECT_EQ(grid.NextSelectedRow(2), 5);
    EXPECT_EQ(grid.NextSelectedRow(5), -1);
}

TEST_F(GridModelTest, SelectionRangesAreRaisedOutOfTheFixedRows)
{
    grid.ResizeColumnCount(2);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(3);
    grid.SetSelectedRange(0, 0, 2, 1);
    EXPECT_FALSE(grid.IsCellSelected(0, 0));
    EXPECT_TRUE(grid.IsCellSelected(1, 0));
    grid.EnableSelection(false);
    grid.SetSelectedRange(1, 0, 2, 1);
    EXPECT_EQ(grid.SelectedCount(), 0);
}

TEST_F(GridModelTest, SelectionAsTextSkipsHiddenColumnsAndUnselectedCells)
{
    grid.ResizeColumnCount(6);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(6);
    grid.ChangeColumnWidth(4, 0);
    grid.ChangeColumnWidth(5, 0);
    for (int r = 1; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            grid.SetCellTextFormatted(r, c, "r%dc%d", r, c);
    grid.SetRowSelectMode(true);
    grid.SetSelectedRange(2, 0, 2, 5);
    grid.SetSelectedRange(4, 0, 4, 5, false, true); // replaces: only row 4
    EXPECT_EQ(grid.SelectedCount(), 6);
    grid.SetSelectedRange(2, 0, 2, 5, false, true);
    // The previous-selection map is empty here, so build rows 2 and 4 directly.
    for (int c = 0; c < 6; ++c)
        grid.SetCellState(4, c, CellSelected);
    const std::optional<QString> text = grid.SelectionAsText();
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QStringLiteral("r2c0\tr2c1\tr2c2\tr2c3\t\r\n\t\t\t\t\r\nr4c0\tr4c1\tr4c2\tr4c3\t"));
    grid.ClearSelection();
    EXPECT_FALSE(grid.SelectionAsText().has_value());
    grid.CopySelection();
    EXPECT_TRUE(platform.clipboard.isEmpty());
}

TEST_F(GridModelTest, RowSelectModeResetsSortAndFixedColumnClicks)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(3);
    grid.SortByText(1, true);
    grid.SetSelectedRange(0, 0, 1, 1);
    grid.SetRowSelectMode(true);
    EXPECT_EQ(grid.SortColumn(), -1);
    EXPECT_EQ(grid.SelectedCount(), 0);
    EXPECT_FALSE(grid.FixedColumnSelection());
}

TEST_F(GridModelTest, RedrawFlagGatesInvalidation)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(3);
    grid.SetRedraw(false);
    const int nBefore = platform.nInvalidations;
    grid.RepaintAll();
    grid.SetCellText(0, 0, QStringLiteral("x"));
    EXPECT_EQ(platform.nInvalidations, nBefore);
    grid.SetRedraw(true);
    EXPECT_GT(platform.nInvalidations, nBefore);
    grid.WaitForDrawComplete(); // no paint under way: returns at once
}

} // namespace
