// The grid widget driven by simulated mouse and keys.
#include "grid_widget_fixture.h"

#include "grid/title_tip.h"

#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

using Rows = std::vector<int>;

TEST_F(AlbumGridWidgetTest, EveryClickAddsOrRemovesARow)
{
    Fill(10);
    ClickCell(3, 1);
    ClickCell(5, 1);
    ClickCell(7, 1);
    EXPECT_EQ(SelectedRows(), (Rows{3, 5, 7}));
    ClickCell(5, 1);
    EXPECT_EQ(SelectedRows(), (Rows{3, 7}));
    // Whole rows, including the hidden columns.
    EXPECT_TRUE(grid->IsCellSelected(3, 5));
}

TEST_F(AlbumGridWidgetTest, SingleRowSelectionKeepsOneRow)
{
    Fill(10);
    grid->SetSingleRowSelection(true);
    ClickCell(3, 1);
    ClickCell(5, 1);
    EXPECT_EQ(SelectedRows(), (Rows{5}));
    ClickCell(5, 1); // a press on the selected row prepares a drag; releasing unmoved clears
    EXPECT_EQ(SelectedRows(), Rows{});
}

TEST_F(AlbumGridWidgetTest, ShiftClickAddsTheRangeFromTheAnchor)
{
    Fill(10);
    ClickCell(1, 1);
    ClickCell(3, 1);
    ClickCell(6, 1, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (Rows{1, 3, 4, 5, 6}));
}

TEST_F(AlbumGridWidgetTest, HeaderClicksSortAndRenumber)
{
    grid->AddListRow(0, QStringLiteral("b"), QString(), QString());
    grid->AddListRow(1, QStringLiteral("c"), QString(), QString());
    grid->AddListRow(2, QStringLiteral("a"), QString(), QString());
    ClickCell(0, 0); // "序号" only renumbers
    EXPECT_EQ(grid->CellText(1, 1), QStringLiteral("b"));
    ClickCell(0, 1);
    EXPECT_EQ(grid->CellText(1, 1), QStringLiteral("a"));
    EXPECT_EQ(grid->CellText(3, 1), QStringLiteral("c"));
    EXPECT_EQ(grid->CellData(1, 0), 2u); // the album index moved with the row
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("0001"));
    EXPECT_EQ(grid->CellText(3, 0), QStringLiteral("0003"));
    EXPECT_TRUE(grid->SortAscending());
    ClickCell(0, 1);
    EXPECT_EQ(grid->CellText(1, 1), QStringLiteral("c"));
    EXPECT_EQ(grid->CellText(1, 0), QStringLiteral("0001"));
    EXPECT_FALSE(grid->SortAscending());
    EXPECT_EQ(SelectedRows(), Rows{});
}

TEST_F(AlbumGridWidgetTest, DraggingADividerResizesTheColumn)
{
    Fill(3);
    QRect rect;
    ASSERT_TRUE(grid->CellRect(0, 2, rect));
    QWidget *pView = grid->viewport();
    const QPoint divider(rect.right(), rect.center().y());
    QTest::mouseMove(pView, divider);
    QTest::mousePress(pView, Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(pView, QPoint(rect.left() + 5, divider.y()));
    QTest::mouseRelease(pView, Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + 5, divider.y()));
    EXPECT_EQ(grid->ColumnWidth(2), 5);

    ASSERT_TRUE(grid->CellRect(0, 3, rect));
    const QPoint divider3(rect.right(), rect.center().y());
    QTest::mouseMove(pView, divider3);
    QTest::mousePress(pView, Qt::LeftButton, Qt::NoModifier, divider3);
    QTest::mouseMove(pView, QPoint(rect.left() - 20, divider3.y()));
    QTest::mouseRelease(pView, Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() - 20, divider3.y()));
    EXPECT_EQ(grid->ColumnWidth(3), 0); // zero widths are allowed
    EXPECT_EQ(SelectedRows(), Rows{});
}

TEST_F(AlbumGridWidgetTest, CopyGivesTabbedLinesOfTheRange)
{
    Fill(5);
    ClickCell(2, 1);
    ClickCell(4, 1);
    Key(Qt::Key_C, Qt::ControlModifier);
    const QString expected = QStringLiteral("0002\talbum 2\t   1\t\t\r\n\t\t\t\t\r\n0004\talbum 4\t   3\t\t");
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    QApplication::clipboard()->clear();
    Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

TEST_F(AlbumGridWidgetTest, KeysMoveTheSelectedRow)
{
    Fill(30);
    ClickCell(1, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedRows(), (Rows{2}));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (Rows{2, 3}));
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->FocusCell().row, 30);
    EXPECT_TRUE(grid->IsCellVisible(30, 1));
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->FocusCell(), CellId(1, 0));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows().size(), 30u);
}

TEST_F(AlbumGridWidgetTest, ScrollingByKeyboardKeepsTheFocusVisible)
{
    Fill(100);
    ClickCell(1, 1);
    for (int i = 0; i < 40; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(grid->FocusCell().row, 41);
    EXPECT_TRUE(grid->IsCellFullyVisible(41, 1));
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    Key(Qt::Key_PageUp);
    EXPECT_LT(grid->FocusCell().row, 41);
}

TEST_F(AlbumGridWidgetTest, WheelScrollsTheRows)
{
    Fill(100);
    const int nTop = grid->TopLeftNonFixedCell().row;
    QWheelEvent wheel(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);
    EXPECT_EQ(grid->TopLeftNonFixedCell().row, nTop + QApplication::wheelScrollLines());
}

TEST_F(AlbumGridWidgetTest, NotifiesClicksAndSelectionChanges)
{
    Fill(3);
    QSignalSpy notify(grid.get(), &CGridCtrl::GridNotify);
    QSignalSpy command(grid.get(), &CGridCtrl::GridCommand);
    ClickCell(2, 1);
    QList<int> codes;
    for (const QList<QVariant> &args : notify)
        codes << args.at(0).toInt();
    EXPECT_EQ(codes, (QList<int>{GridNotifySelChanging, GridNotifySelChanged, GridNotifyClick}));
    EXPECT_EQ(notify.last().at(1).toInt(), 2);
    EXPECT_TRUE(command.wait(1000));
    EXPECT_EQ(command.first().at(0).toInt(), 1003);
}

TEST_F(AlbumGridWidgetTest, TitleTipOnlyForTextThatDoesNotFit)
{
    grid->AddListRow(0, QStringLiteral("short"), QString(), QString());
    grid->AddListRow(1, QString(200, QChar(0x540D)), QString(), QString());
    QWidget *pView = grid->viewport();
    QTest::mouseMove(pView, CellCentre(1, 1));
    const CTitleTip *pTip = grid->TitleTip();
    EXPECT_TRUE(pTip == nullptr || !pTip->isVisible());
    QTest::mouseMove(pView, CellCentre(2, 1));
    pTip = grid->TitleTip();
    ASSERT_NE(pTip, nullptr);
    EXPECT_TRUE(pTip->isVisible());
    EXPECT_EQ(pTip->TipText().trimmed(), QString(200, QChar(0x540D)));
    QTest::mouseMove(pView, CellCentre(1, 1)); // off the cell
    EXPECT_FALSE(pTip->isVisible());
}

TEST_F(AlbumGridWidgetTest, AcceptsNoDrop)
{
    EXPECT_FALSE(grid->acceptDrops());
}

TEST(GridWidget, HomeSkipsAZeroWidthColumn)
{
    TestApp();
    CGridCtrl grid;
    grid.resize(400, 300);
    grid.ResizeColumnCount(4);
    grid.SetFixedRows(1);
    grid.ResizeRowCount(5);
    grid.ChangeColumnWidth(0, 0);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.SetFocusCell(3, 2);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(grid.FocusCell(), CellId(3, 1));
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.FocusCell(), CellId(1, 1));
    QTest::keyClick(&grid, Qt::Key_Left); // nothing with a width on the left
    EXPECT_EQ(grid.FocusCell(), CellId(1, 1));
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(grid.FocusCell(), CellId(1, 2));
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(grid.FocusCell(), CellId(1, 3));
    QTest::keyClick(&grid, Qt::Key_Tab); // wraps into the next row
    EXPECT_EQ(grid.FocusCell(), CellId(2, 1));
}

TEST(GridWidget, CellClicksSelectCellsOutsideRowMode)
{
    TestApp();
    CGridCtrl grid;
    grid.resize(400, 300);
    grid.ResizeColumnCount(3);
    grid.ResizeRowCount(3);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QRect rect;
    grid.CellRect(1, 1, rect);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_TRUE(grid.IsCellSelected(1, 1));
    EXPECT_FALSE(grid.IsCellSelected(1, 0));
    grid.CellRect(2, 2, rect);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_EQ(grid.SelectedCount(), 2);
}

} // namespace
