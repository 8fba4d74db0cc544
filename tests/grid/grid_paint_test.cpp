// What the grid paints: selection colours, hidden rows, the sort arrow, the redraw flag.
#include "grid_widget_fixture.h"

#include <QPainter>

namespace {

class GridPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        grid.resize(400, 300);
        grid.ResizeColumnCount(3);
        grid.SetFixedRows(1);
        grid.ResizeRowCount(6);
        for (int r = 0; r < 6; ++r)
            grid.ChangeRowHeight(r, 24);
        for (int c = 0; c < 3; ++c)
            grid.ChangeColumnWidth(c, 100);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    QImage Paint()
    {
        QImage image(grid.viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        grid.OnDraw(painter);
        return image;
    }

    static int CountColour(const QImage &image, const QRect &area, QColor colour)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.pixel(x, y) == colour.rgb() ? 1 : 0;
        return n;
    }

    QRect Cell(int r, int c) const
    {
        QRect rect;
        EXPECT_TRUE(grid.CellRect(r, c, rect));
        return rect;
    }

    CGridCtrl grid;
};

TEST_F(GridPaintTest, SelectedCellsTakeTheSelectionColours)
{
    grid.SetSelectedColours(MakeColour(255, 255, 255), MakeColour(0, 255, 0));
    QFont big = grid.GridFont();
    big.setPixelSize(18);
    grid.SetGridFont(big);
    grid.SetCellText(1, 0, QStringLiteral("MMMM"));
    grid.SetCellText(2, 0, QStringLiteral("MMMM"));
    grid.CellAt(1, 0)->SetTextColour(MakeColour(200, 0, 0));
    grid.CellAt(1, 0)->SetBackColour(MakeColour(200, 0, 0)); // own text = own background
    grid.CellAt(2, 0)->SetTextColour(MakeColour(0, 0, 255));
    grid.SetSelectedRange(1, 0, 2, 0);
    const QImage image = Paint();
    // The whole cell, grid-line pixels included, in the selection background.
    EXPECT_EQ(image.pixelColor(Cell(1, 0).bottomRight()), QColor(255, 255, 255));
    EXPECT_GT(CountColour(image, Cell(1, 0), QColor(0, 255, 0)), 0);
    EXPECT_EQ(CountColour(image, Cell(2, 0), QColor(0, 255, 0)), 0);
    EXPECT_GT(CountColour(image, Cell(2, 0), QColor(0, 0, 255)), 0);
}

TEST_F(GridPaintTest, RowsOfHeightZeroAreNotPainted)
{
    grid.CellAt(2, 0)->SetBackColour(MakeColour(255, 0, 0));
    grid.CellAt(3, 0)->SetBackColour(MakeColour(0, 0, 255));
    grid.ChangeRowHeight(2, 0);
    const QImage image = Paint();
    const QRect row3 = Cell(3, 0);
    EXPECT_EQ(row3.top(), 48);
    EXPECT_EQ(CountColour(image, QRect(0, 0, 300, 200), QColor(255, 0, 0)), 0);
    EXPECT_EQ(image.pixelColor(row3.center()), QColor(0, 0, 255));
}

TEST_F(GridPaintTest, SortArrowOnlyWhereItFits)
{
    grid.ChangeColumnWidth(2, 8);
    const QColor shadow = grid.palette().color(QPalette::Dark);
    grid.SortByText(1, true);
    QImage image = Paint();
    const QRect header = Cell(0, 1).adjusted(2, 2, -3, -3);
    EXPECT_GT(CountColour(image, header, shadow), 0);
    grid.SortByText(2, true);
    image = Paint();
    EXPECT_EQ(CountColour(image, Cell(0, 2).adjusted(2, 2, -3, -3), shadow), 0);
    EXPECT_EQ(CountColour(image, header, shadow), 0); // the old column lost its arrow
}

TEST_F(GridPaintTest, BackgroundOutsideTheCells)
{
    grid.SetWindowBackColour(MakeColour(0, 128, 0));
    const QImage image = Paint();
    EXPECT_EQ(image.pixelColor(350, 10), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(10, 250), QColor(0, 128, 0));
    EXPECT_EQ(CountColour(image, image.rect(), QColor(Qt::magenta)), 0);
}

TEST_F(GridPaintTest, NothingIsPaintedWhileRedrawIsOff)
{
    grid.SetRedraw(false);
    const QImage image = Paint();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::magenta));
    EXPECT_TRUE(grid.IsDrawComplete());
    grid.SetRedraw(true);
    EXPECT_NE(Paint().pixelColor(10, 10), QColor(Qt::magenta));
    EXPECT_TRUE(grid.IsDrawComplete());
}

TEST_F(GridPaintTest, ResizeLineFollowsTheDividerDrag)
{
    const QRect rect = Cell(0, 0);
    QWidget *pView = grid.viewport();
    const QPoint divider(rect.right(), rect.center().y());
    QTest::mouseMove(pView, divider);
    QTest::mousePress(pView, Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_EQ(grid.MouseMode(), MouseSizingCol);
    QTest::mouseMove(pView, QPoint(150, divider.y()));
    QTest::mouseRelease(pView, Qt::LeftButton, Qt::NoModifier, QPoint(150, divider.y()));
    EXPECT_EQ(grid.ColumnWidth(0), 150);
    EXPECT_EQ(grid.MouseMode(), MouseNothing);
}

TEST_F(GridPaintTest, DoubleClickOnADividerFitsTheColumn)
{
    grid.SetCellText(1, 0, QStringLiteral("a fairly long text in the first column"));
    const QRect rect = Cell(0, 0);
    const QPoint divider(rect.right(), rect.center().y());
    QTest::mouseMove(grid.viewport(), divider);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, divider);
    EXPECT_EQ(grid.ColumnWidth(0), grid.CellAt(1, 0)->MeasureCell(-1).width() + 1);
}

} // namespace
