// The album grid on a real X display, driven by real pointer input (xdotool).
#include "grid_widget_fixture.h"

#include "grid/title_tip.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// Runs xdotool with the arguments; false when it failed or took too long.
bool XDoTool(const QStringList &args)
{
    QProcess proc;
    proc.start(QStringLiteral("xdotool"), args);
    return proc.waitForFinished(5000) && proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
}

bool MovePointer(QPoint global)
{
    return XDoTool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
                    QString::number(global.y())});
}

bool Button(bool bDown)
{
    return XDoTool({bDown ? QStringLiteral("mousedown") : QStringLiteral("mouseup"), QStringLiteral("1")});
}

// Counts how often a widget is shown and hidden.
class ShowCounter : public QObject
{
public:
    int nShown = 0;
    int nHidden = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        nShown += e->type() == QEvent::Show;
        nHidden += e->type() == QEvent::Hide;
        return false;
    }
};

class GridDisplayTest : public AlbumGridWidgetTest
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (ctest -L display under xvfb-run)";
        AlbumGridWidgetTest::SetUp();
        grid->move(40, 40);
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    }

    void TearDown() override
    {
        if (grid)
            Button(false); // never leave the shared pointer held
    }

    QPoint Global(int nRow, int nCol, QPoint offset = {}) const
    {
        return grid->viewport()->mapToGlobal(CellCentre(nRow, nCol) + offset);
    }
};

TEST_F(GridDisplayTest, TitleTipStaysInsideTheCellAndGoesOutside)
{
    grid->AddListRow(0, QStringLiteral("short"), QString(), QString());
    grid->AddListRow(1, QString(200, QChar(0x540D)), QString(), QString());
    ASSERT_TRUE(MovePointer(Global(1, 1)));
    ASSERT_TRUE(MovePointer(Global(2, 1, {-40, 0})));
    QTRY_VERIFY_WITH_TIMEOUT(grid->TitleTip() && grid->TitleTip()->isVisible(), 2000);
    ShowCounter counter;
    const_cast<CTitleTip *>(grid->TitleTip())->installEventFilter(&counter);
    for (int i = 1; i <= 10; ++i) {
        ASSERT_TRUE(MovePointer(Global(2, 1, {-40 + 4 * i, i % 3 - 1})));
        QTest::qWait(30);
    }
    EXPECT_TRUE(grid->TitleTip()->isVisible());
    EXPECT_EQ(counter.nHidden, 0);
    EXPECT_EQ(counter.nShown, 0);
    ASSERT_TRUE(MovePointer(Global(1, 1))); // a cell whose text fits
    QTRY_VERIFY_WITH_TIMEOUT(!grid->TitleTip()->isVisible(), 2000);
}

TEST_F(GridDisplayTest, ReleaseWhileAModalBoxIsUpStopsAutoScroll)
{
    Fill(100);
    ASSERT_TRUE(MovePointer(Global(3, 1)));
    ASSERT_TRUE(Button(true));
    QTRY_COMPARE_WITH_TIMEOUT(grid->MouseMode(), static_cast<int>(MouseSelectRow), 2000);

    // A worker's notice opens while the button is held.
    QMessageBox box(QMessageBox::Information, QString(), QStringLiteral("notice"), QMessageBox::Ok, grid.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.move(grid->mapToGlobal(QPoint(0, grid->height() + 20)));
    box.show();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == &box, 2000);
    // The user drags below the grid, onto the box, and lets go there.
    ASSERT_TRUE(MovePointer(box.mapToGlobal(box.rect().center())));
    ASSERT_TRUE(Button(false));
    QTest::qWait(1000);

    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(grid->MouseMode(), static_cast<int>(MouseNothing));
    box.close();
}

TEST_F(GridDisplayTest, WheelDeltasBelowANotchScroll)
{
    Fill(100);
    QApplication::setWheelScrollLines(3);
    grid->SetWheelScrollLines(3);
    const auto wheel = [this](int nAngle, int nPixels) {
        const QPointF at(50, 50);
        QWheelEvent e(at, grid->viewport()->mapToGlobal(at), QPoint(0, nPixels), QPoint(0, nAngle), Qt::NoButton,
                      Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(grid->viewport(), &e);
    };
    const int nTop = grid->TopLeftNonFixedCell().row;
    for (int i = 0; i < 4; ++i)
        wheel(-15, 0);
    EXPECT_EQ(grid->TopLeftNonFixedCell().row, nTop + 1); // half a notch: one and a half lines
    for (int i = 0; i < 4; ++i)
        wheel(-15, 0);
    EXPECT_EQ(grid->TopLeftNonFixedCell().row, nTop + 3); // the whole notch
    wheel(15, 0);                                          // the other way starts afresh
    EXPECT_EQ(grid->TopLeftNonFixedCell().row, nTop + 3);

    const int nPos = grid->verticalScrollBar()->value();
    wheel(-10, -7); // a touch pad: its pixels count
    EXPECT_EQ(grid->verticalScrollBar()->value(), nPos + 7);
}

TEST_F(GridDisplayTest, DoubleClickTogglesARowOnce)
{
    Fill(3);
    ASSERT_TRUE(MovePointer(Global(2, 1)));
    ASSERT_TRUE(XDoTool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                         QStringLiteral("--delay"), QStringLiteral("50"), QStringLiteral("1")}));
    QTRY_COMPARE(grid->SelectedCount() > 0, true);
    QTest::qWait(200);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
}

} // namespace
