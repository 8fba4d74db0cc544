// Paint benchmark, not a test: fills an album grid with 10,000 rows, then
// scrolls and repaints it 100 times and prints the time per paint.
//   bench_grid_paint [rows] [paints]
#include "grid/my_grid_ctrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nRows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int nPaints = argc > 2 ? std::atoi(argv[2]) : 100;

    CMyGridCtrl grid;
    grid.resize(900, 600);
    grid.show();
    grid.ApplyListLayout();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < nRows; ++i)
        grid.AddListRow(i, QStringLiteral("商品 %1 Apple iPhone 15 Pro 256GB 原色钛金属").arg(i + 1),
                        QStringLiteral("%1").arg(i % 100, 4), QString());
    const double fillMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    grid.SelectRowAndScroll(-1);
    const double selectMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QApplication::processEvents();

    QScrollBar *pBar = grid.verticalScrollBar();
    const int nStep = std::max(1, pBar->maximum() / std::max(nPaints, 1));
    timer.restart();
    for (int i = 0; i < nPaints; ++i) {
        // Alternate line steps and long jumps over the whole list.
        if (i % 2 == 0)
            grid.OnScroll(Qt::Vertical, GridScroll::LineDown);
        else
            grid.OnScroll(Qt::Vertical, GridScroll::ThumbTrack, (i * nStep) % (pBar->maximum() + 1));
        grid.viewport()->repaint();
    }
    const double paintMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    std::printf("rows %d, fill %.1f ms, select all %.1f ms, %d paints while scrolling: %.3f ms per paint\n",
                grid.RowCount() - 1, fillMs, selectMs, nPaints, paintMs / nPaints);
    return 0;
}
