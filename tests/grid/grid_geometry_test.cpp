// Geometry and scrolling of the grid model with the fake one-pixel font.
#include "fake_grid_platform.h"
#include "grid/grid_model.h"

#include <gtest/gtest.h>

namespace {

class GridGeometryTest : public ::testing::Test
{
protected:
    CFakeGridPlatform platform;
    CGridModel grid{&platform};

    // One fixed row of 20 px, n rows of 20 px, three columns of 50 px.
    void Build(int nRows, QSize area = {400, 220})
    {
        platform.full = area;
        grid.ResizeColumnCount(3);
        grid.SetFixedRows(1);
        grid.ResizeRowCount(nRows + 1);
        for (int r = 0; r <= nRows; ++r)
            grid.ChangeRowHeight(r, 20);
        for (int c = 0; c < 3; ++c)
            grid.ChangeColumnWidth(c, 50);
    }
};

TEST_F(GridGeometryTest, ScrollRangeForHundredRows)
{
    Build(100);
    EXPECT_EQ(grid.BarState(), 2);
    EXPECT_EQ(grid.ScrollMax(Qt::Vertical), 1999);
    EXPECT_EQ(grid.ScrollPage(Qt::Vertical), 200);
    EXPECT_EQ(grid.ScrollMax(Qt::Horizontal), 0);
    grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
    EXPECT_EQ(platform.nVPos, 20);
    EXPECT_EQ(grid.TopLeftNonFixedCell(), CellId(2, 0));
    grid.OnScroll(Qt::Vertical, GridScroll::LineUp);
    EXPECT_EQ(platform.nVPos, 0);
    grid.OnScroll(Qt::Vertical, GridScroll::PageDown);
    EXPECT_EQ(platform.nVPos, 200);
    grid.OnScroll(Qt::Vertical, GridScroll::Bottom);
    EXPECT_EQ(platform.nVPos, 1800);
    EXPECT_EQ(grid.VisibleNonFixedRange(), CellRange(91, 0, 100, 2));
    grid.OnScroll(Qt::Vertical, GridScroll::LineDown); // at the bottom: no move
    EXPECT_EQ(platform.nVPos, 1800);
    grid.OnScroll(Qt::Vertical, GridScroll::Top);
    EXPECT_EQ(platform.nVPos, 0);
}

TEST_F(GridGeometryTest, FixedRowsTallerThanTheWindowShowNoBars)
{
    Build(100);
    grid.ChangeRowHeight(0, 500);
    EXPECT_EQ(grid.BarState(), 0);
    EXPECT_EQ(grid.ScrollMax(Qt::Vertical), 0);
}

TEST_F(GridGeometryTest, WideColumnsBringTheHorizontalBar)
{
    Build(5);
    grid.ChangeColumnWidth(1, 600);
    EXPECT_EQ(grid.BarState() & 1, 1);
    EXPECT_EQ(grid.ScrollMax(Qt::Horizontal), 699);
    EXPECT_EQ(grid.ScrollPage(Qt::Horizontal), 400);
}

TEST_F(GridGeometryTest, OriginsAndHitTests)
{
    Build(100);
    QPoint origin;
    ASSERT_TRUE(grid.CellOrigin(0, 0, origin));
    EXPECT_EQ(origin, QPoint(0, 0));
    ASSERT_TRUE(grid.CellOrigin(3, 2, origin));
    EXPECT_EQ(origin, QPoint(100, 60));
    QRect rect;
    ASSERT_TRUE(grid.CellRect(3, 2, rect));
    EXPECT_EQ(rect.right(), 149);
    EXPECT_EQ(rect.bottom(), 79);
    EXPECT_FALSE(grid.CellOrigin(101, 0, origin));

    EXPECT_EQ(grid.CellFromPoint(QPoint(0, 0)), CellId(0, 0));
    EXPECT_EQ(grid.CellFromPoint(QPoint(149, 79)), CellId(3, 2));
    EXPECT_EQ(grid.CellFromPoint(QPoint(150, 79)), CellId()); // right of the last column
    EXPECT_EQ(grid.CellFromPoint(QPoint(10, 10), false), CellId());

    grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
    grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
    // Scrolled by two rows: row 3 is right below the header, row 1 is above it.
    ASSERT_TRUE(grid.CellOrigin(3, 0, origin));
    EXPECT_EQ(origin.y(), 20);
    ASSERT_TRUE(grid.CellOrigin(1, 0, origin));
    EXPECT_EQ(origin.y(), -20);
    EXPECT_EQ(grid.CellFromPoint(QPoint(5, 25)), CellId(3, 0));
    EXPECT_EQ(grid.CellFromPoint(QPoint(5, 5)), CellId(0, 0)); // header stays
    EXPECT_FALSE(grid.IsCellVisible(1, 0));
    EXPECT_TRUE(grid.IsCellVisible(3, 0));
}

TEST_F(GridGeometryTest, ZeroHeightRowsAreSkippedByLineScrolling)
{
    Build(100);
    grid.ChangeRowHeight(1, 0);
    grid.ChangeRowHeight(2, 0);
    grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
    EXPECT_EQ(platform.nVPos, 20); // by row 3, the first with a height
    EXPECT_EQ(grid.TopLeftNonFixedCell(), CellId(4, 0));
    grid.OnScroll(Qt::Vertical, GridScroll::LineUp);
    EXPECT_EQ(platform.nVPos, 0);
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 1);
}

TEST_F(GridGeometryTest, TopLeftCellFollowsLargeJumps)
{
    Build(10000, {400, 220});
    grid.OnScroll(Qt::Vertical, GridScroll::ThumbTrack, 150000);
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 7501);
    grid.OnScroll(Qt::Vertical, GridScroll::ThumbTrack, 20);
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 2);
    grid.OnScroll(Qt::Vertical, GridScroll::ThumbTrack, 190010); // between rows: the next row
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 9502);
    grid.ChangeRowHeight(5, 40); // sizes changed: computed afresh
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 9501);
}

TEST_F(GridGeometryTest, VisibleRanges)
{
    Build(100);
    QRect rect;
    EXPECT_EQ(grid.VisibleNonFixedRange(&rect), CellRange(1, 0, 10, 2));
    EXPECT_EQ(rect, QRect(0, 20, 150, 200));
    platform.full = QSize(400, 230); // row 11 half visible
    grid.OnSize();
    EXPECT_EQ(grid.VisibleNonFixedRange().nMaxRow, 11);
    EXPECT_EQ(grid.FullyVisibleNonFixedRange().nMaxRow, 10);
}

TEST_F(GridGeometryTest, EnsureCellVisibleScrollsDownAndBack)
{
    Build(100);
    grid.EnsureCellVisible(50, 0);
    EXPECT_TRUE(grid.IsCellFullyVisible(50, 0));
    grid.EnsureCellVisible(2, 0);
    EXPECT_TRUE(grid.IsCellVisible(2, 0));
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 2);
}

TEST_F(GridGeometryTest, EnsureCellVisibleKeepsTheLeftEdgeOfAWideColumn)
{
    // Columns 100 / 600 / 100 in a view 384 wide: the middle one never fits.
    Build(100);
    grid.ChangeColumnWidth(0, 100);
    grid.ChangeColumnWidth(1, 600);
    grid.ChangeColumnWidth(2, 100);
    ASSERT_EQ(platform.ClientSize().width(), 384);
    struct Case {
        int nFromPos, nCol, nLeft;
    };
    for (const Case &c : {Case{0, 1, 0}, Case{0, 2, 0}, Case{416, 1, 0}, Case{0, 0, 0}}) {
        grid.OnScroll(Qt::Horizontal, GridScroll::ThumbPosition, c.nFromPos);
        grid.EnsureCellVisible(5, c.nCol);
        QRect rect;
        ASSERT_TRUE(grid.CellRect(5, c.nCol, rect));
        EXPECT_EQ(rect.left(), c.nLeft) << "column " << c.nCol << " from " << c.nFromPos;
    }
    // Page Down with the focus in the wide column scrolls down, not it away.
    grid.OnScroll(Qt::Horizontal, GridScroll::Top);
    grid.SetFocusCell(1, 1);
    grid.OnKeyDown(Qt::Key_PageDown, false, false);
    QRect rect;
    ASSERT_TRUE(grid.CellRect(grid.FocusCell().row, 1, rect));
    EXPECT_GT(grid.FocusCell().row, 1);
    EXPECT_EQ(rect.left(), 0);
}

TEST_F(GridGeometryTest, WheelScrollsThreeLines)
{
    Build(100);
    grid.OnMouseWheel(-120);
    EXPECT_EQ(platform.nVPos, 60);
    grid.OnMouseWheel(120);
    EXPECT_EQ(platform.nVPos, 0);
    grid.SetWheelScrollLines(-1);
    grid.OnMouseWheel(-120);
    EXPECT_EQ(platform.nVPos, 200);
}

TEST_F(GridGeometryTest, FittingAColumnKeepsTheLargestMeasurePlusOne)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(3);
    // Cell width = text + 2 margins (1 px each) + 1: 40, 41, 40.
    grid.SetCellText(0, 0, QString(37, QLatin1Char('x')));
    grid.SetCellText(1, 0, QString(38, QLatin1Char('x')));
    grid.SetCellText(2, 0, QString(37, QLatin1Char('x')));
    ASSERT_EQ(grid.CellAt(1, 0)->MeasureCell(-1).width(), 41);
    ASSERT_EQ(grid.CellAt(0, 0)->MeasureCell(-1).width(), 40);
    ASSERT_TRUE(grid.FitColumnWidth(0));
    EXPECT_EQ(grid.ColumnWidth(0), 41); // 40 -> 41 stored; 41 does not exceed it
    grid.SetCellText(0, 0, QString(38, QLatin1Char('x')));
    grid.SetCellText(1, 0, QString(37, QLatin1Char('x')));
    ASSERT_TRUE(grid.FitColumnWidth(0));
    EXPECT_EQ(grid.ColumnWidth(0), 42); // 41 first
    grid.ChangeColumnWidth(0, 0);
    EXPECT_FALSE(grid.FitColumnWidth(0)); // hidden columns stay hidden
}

TEST_F(GridGeometryTest, FittingRowsMeasuresEveryCell)
{
    grid.ResizeColumnCount(2);
    grid.ResizeRowCount(2);
    grid.SetCellText(0, 1, QStringLiteral("text"));
    ASSERT_TRUE(grid.FitRowHeight(0));
    // The empty cell measures as its default cell: 15 high, + 1.
    EXPECT_EQ(grid.RowHeight(0), 16);
    grid.SetCellText(0, 0, QStringLiteral("x"));
    grid.SetCellText(0, 0, QString());
    grid.DefaultCell(false, false)->SetHeight(5);
    ASSERT_TRUE(grid.FitRowHeight(0));
    EXPECT_EQ(grid.RowHeight(0), 10 + 2 + 1);
    grid.CellAt(1, 0)->SetFormat(DT_WORDBREAK);
    grid.SetCellText(1, 0, QStringLiteral("ab\ncd\nef"));
    grid.FitAllRowHeights();
    EXPECT_EQ(grid.RowHeight(1), 30 + 2 + 1);
}

TEST_F(GridGeometryTest, ImageAboveTextMeasuresBoth)
{
    grid.ResizeColumnCount(1);
    grid.ResizeRowCount(1);
    CGridCellBase *pCell = grid.CellAt(0, 0);
    pCell->SetMargin(8);
    grid.SetCellText(0, 0, QStringLiteral("1.name"));
    EXPECT_EQ(pCell->MeasureCell(-1), QSize(6 + 16 + 1, 10 + 16 + 1));
}

} // namespace
