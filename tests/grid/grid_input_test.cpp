// Mouse and key logic of the grid model against the window stand-in.
#include "fake_grid_platform.h"
#include "grid/grid_model.h"

#include <gtest/gtest.h>

namespace {

// An album-like grid: one header row, 100 rows of 20 px, six columns (two hidden), row-select mode.
class GridInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.ResizeColumnCount(6);
        grid.SetFixedRows(1);
        grid.ResizeRowCount(101);
        for (int r = 0; r <= 100; ++r) {
            grid.ChangeRowHeight(r, 20);
            grid.SetCellTextFormatted(r, 1, "name %d", r);
        }
        for (int c = 0; c < 6; ++c)
            grid.ChangeColumnWidth(c, c < 4 ? 80 : 0);
        grid.SetRowSelectMode(true);
        grid.SetFixedRowSelection(false);
        grid.SetEditable(false);
    }

    QPoint At(int r, int c) const
    {
        QRect rect;
        EXPECT_TRUE(grid.CellRect(r, c, rect));
        return rect.center();
    }

    void Click(int r, int c, bool bShift = false)
    {
        grid.OnLButtonDown(At(r, c), bShift, false);
        grid.OnLButtonUp(At(r, c));
    }

    bool Notified(int nCode) const
    {
        for (const auto &[code, row, col] : platform.notifications)
            if (code == nCode)
                return true;
        return false;
    }

    CFakeGridPlatform platform;
    CGridModel grid{&platform};
};

TEST_F(GridInputTest, DraggingSelectedRowsOffersTheirText)
{
    grid.SetDragAndDrop(true);
    grid.SetSingleRowSelection(true);
    Click(3, 1);
    grid.OnLButtonDown(At(3, 1), false, false);
    EXPECT_EQ(grid.MouseMode(), MousePrepareDrag);
    grid.OnMouseMove(At(3, 1) + QPoint(10, 0), true);
    ASSERT_EQ(platform.dragged.size(), 1);
    EXPECT_EQ(platform.dragged.first(), QStringLiteral("\tname 3\t\t\t"));
    EXPECT_TRUE(Notified(GridNotifyBeginDrag));
    EXPECT_EQ(grid.CellText(3, 1), QStringLiteral("name 3")); // a move leaves a read-only grid as it was
    EXPECT_EQ(grid.MouseMode(), MouseNothing);
}

TEST_F(GridInputTest, NoDragWithoutTheSetting)
{
    grid.SetSingleRowSelection(true);
    Click(3, 1);
    grid.OnLButtonDown(At(3, 1), false, false);
    grid.OnMouseMove(At(5, 1), true);
    EXPECT_TRUE(platform.dragged.isEmpty());
    grid.OnLButtonUp(At(5, 1));
}

TEST_F(GridInputTest, AutoScrollExtendsTheSelectionDownwards)
{
    grid.OnLButtonDown(At(2, 1), false, false);
    EXPECT_TRUE(platform.bTimerRunning);
    const QSize client = platform.ClientSize();
    platform.cursor = QPoint(40, client.height() + 30); // below the window
    for (int i = 0; i < 5; ++i)
        grid.OnAutoScrollTimer();
    EXPECT_GT(platform.nVPos, 0);
    const CellRange range = grid.SelectedRange();
    EXPECT_EQ(range.nMinRow, 2);
    EXPECT_GE(range.nMaxRow, 10);
    grid.OnLButtonUp(platform.cursor);
    EXPECT_FALSE(platform.bTimerRunning);
    grid.OnAutoScrollTimer(); // button up: nothing more
    EXPECT_EQ(grid.SelectedRange(), range);
}

TEST_F(GridInputTest, AReleaseTheGridNeverSawEndsThePress)
{
    // The timer finds the button up (a modal box took the release).
    grid.OnLButtonDown(At(2, 1), false, false);
    platform.cursor = QPoint(40, platform.ClientSize().height() + 30);
    platform.bLeftButtonDown = false;
    grid.OnAutoScrollTimer();
    EXPECT_FALSE(platform.bTimerRunning);
    EXPECT_EQ(grid.MouseMode(), MouseNothing);
    EXPECT_EQ(platform.nVPos, 0);
    EXPECT_EQ(std::get<0>(platform.notifications.back()), GridNotifySelChanged);
    // A move without the button after a press ends it too; no click is reported.
    platform.bLeftButtonDown = true;
    grid.OnLButtonDown(At(4, 1), false, false);
    grid.OnMouseMove(At(8, 1), false);
    EXPECT_FALSE(platform.bTimerRunning);
    grid.OnLButtonUp(At(8, 1));
    EXPECT_EQ(grid.SelectedRange(), CellRange(2, 0, 4, 5));
    EXPECT_FALSE(Notified(GridNotifyClick));
}

TEST_F(GridInputTest, ShiftClickOnASelectedRowDeselectsOnlyThatRow)
{
    Click(3, 1);
    Click(7, 1, true);
    EXPECT_EQ(grid.SelectedRange(), CellRange(3, 0, 7, 5));
    Click(5, 1, true);
    for (int r = 3; r <= 7; ++r)
        EXPECT_EQ(grid.IsCellSelected(r, 0), r != 5) << "row " << r;
}

TEST_F(GridInputTest, DragSelectingAcrossRows)
{
    grid.OnLButtonDown(At(2, 1), false, false);
    grid.OnMouseMove(At(4, 2), true);
    grid.OnMouseMove(At(6, 0), true);
    grid.OnLButtonUp(At(6, 0));
    EXPECT_EQ(grid.SelectedRange(), CellRange(2, 0, 6, 5));
    EXPECT_EQ(grid.FocusCell(), CellId(6, 0));
    // With one row at a time (the find dialog open) only the row under the mouse stays.
    grid.SetSingleRowSelection(true);
    grid.OnLButtonDown(At(8, 1), false, false);
    grid.OnMouseMove(At(9, 1), true);
    grid.OnLButtonUp(At(9, 1));
    EXPECT_EQ(grid.SelectedRange(), CellRange(9, 0, 9, 5));
}

TEST_F(GridInputTest, RightClickMovesTheFocus)
{
    grid.OnRButtonUp(At(0, 2)); // header: raised to the first row
    EXPECT_EQ(grid.FocusCell(), CellId(1, 2));
    grid.OnRButtonUp(QPoint(390, 10)); // right of the columns
    EXPECT_EQ(std::get<1>(platform.notifications.back()), -1);
    EXPECT_EQ(std::get<0>(platform.notifications.back()), GridNotifyRightClick);
}

TEST_F(GridInputTest, ClicksPostTheCommandAndNotify)
{
    Click(4, 1);
    EXPECT_EQ(platform.nCommands, 1);
    EXPECT_TRUE(Notified(GridNotifySelChanging));
    EXPECT_TRUE(Notified(GridNotifyClick));
    grid.OnLButtonDown(QPoint(390, 150), false, false); // outside the cells
    grid.OnLButtonUp(QPoint(390, 150));
    EXPECT_EQ(platform.nCommands, 1);
}

TEST_F(GridInputTest, CopyAndSelectAllNeedNoFocusCell)
{
    grid.SelectRowAndScroll(-1);
    EXPECT_EQ(grid.FocusCell(), CellId());
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_C, false, true));
    ASSERT_EQ(platform.clipboard.size(), 1);
    EXPECT_TRUE(platform.clipboard.first().startsWith(QStringLiteral("\tname 1\t\t\t\r\n")));
    grid.ClearSelection();
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_A, false, true));
    EXPECT_EQ(grid.SelectedCount(), 600);
}

TEST_F(GridInputTest, EditingKeysDoNothingOnAReadOnlyGrid)
{
    Click(4, 1);
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_Delete, false, false));
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_V, false, true));
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_X, false, true));
    EXPECT_TRUE(grid.OnKeyDown(Qt::Key_F2, false, false));
    EXPECT_EQ(grid.CellText(4, 1), QStringLiteral("name 4"));
    EXPECT_FALSE(grid.OnKeyDown(Qt::Key_Q, false, false));
}

TEST_F(GridInputTest, PageKeysMoveByTheScrolledRows)
{
    Click(1, 1);
    grid.OnKeyDown(Qt::Key_PageDown, false, false);
    EXPECT_EQ(grid.FocusCell().row, 11);
    EXPECT_EQ(grid.TopLeftNonFixedCell().row, 11);
    grid.OnKeyDown(Qt::Key_End, false, true);
    EXPECT_EQ(grid.FocusCell().row, 100);
    grid.OnKeyDown(Qt::Key_PageDown, false, false); // the view cannot move: to the last row
    EXPECT_EQ(grid.FocusCell().row, 100);
    grid.OnKeyDown(Qt::Key_PageUp, false, false);
    EXPECT_EQ(grid.FocusCell().row, 90);
}

TEST_F(GridInputTest, TitleTipForHoveredText)
{
    grid.OnMouseMove(At(5, 1), false);
    ASSERT_EQ(platform.tips.size(), 1);
    EXPECT_EQ(platform.tips.first(), QStringLiteral("name 5"));
    grid.OnMouseMove(At(5, 2), false); // an empty cell offers nothing
    EXPECT_EQ(platform.tips.size(), 1);
    const int nHidden = platform.nTipsHidden;
    grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
    grid.OnKeyDown(Qt::Key_Down, false, false);
    EXPECT_GE(platform.nTipsHidden, nHidden + 2);
}

TEST_F(GridInputTest, DividerHoverAndRowResize)
{
    grid.ChangeColumnWidth(0, 80);
    // Column divider in the header row.
    grid.OnMouseMove(QPoint(79, 10), false);
    EXPECT_EQ(grid.MouseMode(), MouseOverColDivide);
    grid.OnMouseMove(QPoint(40, 10), false);
    EXPECT_EQ(grid.MouseMode(), MouseNothing);
    // The fourth column's right edge: the hidden columns after it are not taken.
    grid.OnMouseMove(QPoint(319, 10), false);
    grid.OnLButtonDown(QPoint(319, 10), false, false);
    grid.OnMouseMove(QPoint(300, 10), true);
    grid.OnLButtonUp(QPoint(300, 10));
    EXPECT_EQ(grid.ColumnWidth(3), 60);
    EXPECT_EQ(grid.ColumnWidth(4), 0);
}

} // namespace
