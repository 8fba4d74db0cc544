#include "grid/grid_model.h"

#include "grid/grid_text.h"

#include <QPainter>

#include <algorithm>

// ---------------------------------------------------------------- geometry

CellId CGridModel::TopLeftNonFixedCell() const
{
    if (m_bTopLeftValid)
        return m_idTopLeft;

    const int nVPos = ScrollPos(Qt::Vertical);
    const int nHPos = ScrollPos(Qt::Horizontal);

    // Start from the last known top-left cell while the sizes are unchanged,
    // so scrolling costs the distance moved, not the number of rows.
    const bool bHint = m_bTopLeftHintValid;
    int r = bHint ? m_idTopLeft.row : m_nFixedRows;
    int nTop = bHint ? m_nTopRowOffset : 0;
    while (nTop < nVPos && r < m_nRows - 1)
        nTop += RowHeight(r++);
    while (r > m_nFixedRows && nTop - RowHeight(r - 1) >= nVPos)
        nTop -= RowHeight(--r);

    int c = bHint ? m_idTopLeft.col : m_nFixedCols;
    int nLeft = bHint ? m_nLeftColOffset : 0;
    while (nLeft < nHPos && c < m_nCols - 1)
        nLeft += ColumnWidth(c++);
    while (c > m_nFixedCols && nLeft - ColumnWidth(c - 1) >= nHPos)
        nLeft -= ColumnWidth(--c);

    m_idTopLeft = CellId(r, c);
    m_nTopRowOffset = nTop;
    m_nLeftColOffset = nLeft;
    m_bTopLeftValid = true;
    m_bTopLeftHintValid = true;
    return m_idTopLeft;
}

bool CGridModel::CellOrigin(int nRow, int nCol, QPoint &origin) const
{
    if (!IsValid(nRow, nCol))
        return false;
    const CellId topLeft = TopLeftNonFixedCell();

    int x = 0;
    if (nCol < m_nFixedCols) {
        for (int c = 0; c < nCol; ++c)
            x += ColumnWidth(c);
    } else {
        x = FixedColumnsWidth();
        if (nCol >= topLeft.col) {
            for (int c = topLeft.col; c < nCol; ++c)
                x += ColumnWidth(c);
        } else {
            for (int c = nCol; c < topLeft.col; ++c)
                x -= ColumnWidth(c);
        }
    }

    int y = 0;
    if (nRow < m_nFixedRows) {
        for (int r = 0; r < nRow; ++r)
            y += RowHeight(r);
    } else {
        y = FixedRowsHeight();
        if (nRow >= topLeft.row) {
            for (int r = topLeft.row; r < nRow; ++r)
                y += RowHeight(r);
        } else {
            for (int r = nRow; r < topLeft.row; ++r)
                y -= RowHeight(r);
        }
    }
    origin = QPoint(x, y);
    return true;
}

bool CGridModel::CellRect(int nRow, int nCol, QRect &rect) const
{
    QPoint origin;
    if (!CellOrigin(nRow, nCol, origin))
        return false;
    rect = QRect(origin, QSize(ColumnWidth(nCol), RowHeight(nRow)));
    return true;
}

CellId CGridModel::CellFromPoint(QPoint pt, bool bAllowFixed) const
{
    if (pt.x() < 0 || pt.y() < 0)
        return {};
    const CellId topLeft = TopLeftNonFixedCell();

    int col = -1;
    int x = 0;
    for (int c = 0; c < m_nFixedCols; ++c) {
        x += ColumnWidth(c);
        if (x > pt.x()) {
            col = c;
            break;
        }
    }
    if (col < 0) {
        for (int c = topLeft.col; c < m_nCols; ++c) {
            x += ColumnWidth(c);
            if (x > pt.x()) {
                col = c;
                break;
            }
        }
    }

    int row = -1;
    int y = 0;
    for (int r = 0; r < m_nFixedRows; ++r) {
        y += RowHeight(r);
        if (y > pt.y()) {
            row = r;
            break;
        }
    }
    if (row < 0) {
        for (int r = topLeft.row; r < m_nRows; ++r) {
            y += RowHeight(r);
            if (y > pt.y()) {
                row = r;
                break;
            }
        }
    }
    if (row < 0 || col < 0)
        return {};
    if (!bAllowFixed && (row < m_nFixedRows || col < m_nFixedCols))
        return {};
    return {row, col};
}

namespace {

// Last index reached from `nFirst` whose start lies before `nLimit`
// (partly visible) or whose end does not pass it (fully visible).
template <typename SizeOf>
int LastVisible(int nFirst, int nCount, int nStart, int nLimit, bool bFully, SizeOf sizeOf, int &nEnd)
{
    int nLast = nFirst - 1;
    int pos = nStart;
    for (int i = nFirst; i < nCount && pos < nLimit; ++i) {
        const int nNext = pos + sizeOf(i);
        if (bFully && nNext > nLimit)
            break;
        nLast = i;
        pos = nNext;
    }
    nEnd = std::min(pos, nLimit);
    return nLast;
}

} // namespace

CellRange CGridModel::VisibleRange(QRect *pRect, bool bFully) const
{
    const QSize client = m_pPlatform ? m_pPlatform->ClientSize() : QSize();
    const CellId topLeft = TopLeftNonFixedCell();
    const int nFixedW = FixedColumnsWidth();
    const int nFixedH = FixedRowsHeight();
    int nRight = 0;
    int nBottom = 0;
    const int nMaxCol = LastVisible(topLeft.col, m_nCols, nFixedW, client.width(), bFully,
                                    [this](int c) { return ColumnWidth(c); }, nRight);
    const int nMaxRow = LastVisible(topLeft.row, m_nRows, nFixedH, client.height(), bFully,
                                    [this](int r) { return RowHeight(r); }, nBottom);
    if (pRect)
        *pRect = QRect(nFixedW, nFixedH, std::max(nRight - nFixedW, 0), std::max(nBottom - nFixedH, 0));
    return {topLeft.row, topLeft.col, nMaxRow, nMaxCol};
}

CellRange CGridModel::VisibleNonFixedRange(QRect *pRect) const
{
    return VisibleRange(pRect, false);
}

CellRange CGridModel::FullyVisibleNonFixedRange(QRect *pRect) const
{
    return VisibleRange(pRect, true);
}

bool CGridModel::IsCellVisible(int nRow, int nCol) const
{
    if (!IsValid(nRow, nCol))
        return false;
    // Against the visible range, so asking for far-away cells costs nothing.
    const CellRange visible = VisibleNonFixedRange();
    const QSize client = m_pPlatform ? m_pPlatform->ClientSize() : QSize();
    bool bRowVisible = nRow >= visible.nMinRow && nRow <= visible.nMaxRow;
    if (nRow < m_nFixedRows) {
        int y = 0;
        for (int r = 0; r < nRow; ++r)
            y += RowHeight(r);
        bRowVisible = y < client.height();
    }
    bool bColVisible = nCol >= visible.nMinCol && nCol <= visible.nMaxCol;
    if (nCol < m_nFixedCols) {
        int x = 0;
        for (int c = 0; c < nCol; ++c)
            x += ColumnWidth(c);
        bColVisible = x < client.width();
    }
    return bRowVisible && bColVisible;
}

bool CGridModel::IsCellFullyVisible(int nRow, int nCol) const
{
    if (!IsCellVisible(nRow, nCol))
        return false;
    QRect rect;
    CellRect(nRow, nCol, rect);
    const QSize client = m_pPlatform ? m_pPlatform->ClientSize() : QSize();
    return rect.left() + rect.width() <= client.width() && rect.top() + rect.height() <= client.height();
}

void CGridModel::EnsureCellVisible(int nRow, int nCol)
{
    if (!m_bAllowDraw.load() || !IsValid(nRow, nCol) || !m_pPlatform)
        return;
    const CellRange visible = VisibleNonFixedRange();

    if (nCol >= m_nFixedCols) {
        if (nCol > visible.nMaxCol) {
            for (int c = std::max(visible.nMaxCol + 1, m_nFixedCols); c <= nCol; ++c)
                if (ColumnWidth(c) > 0)
                    OnScroll(Qt::Horizontal, GridScroll::LineDown);
        } else if (nCol < visible.nMinCol) {
            for (int c = nCol; c < visible.nMinCol; ++c)
                if (ColumnWidth(c) > 0)
                    OnScroll(Qt::Horizontal, GridScroll::LineUp);
        }
    }
    if (nRow >= m_nFixedRows) {
        if (nRow > visible.nMaxRow) {
            for (int r = std::max(visible.nMaxRow + 1, m_nFixedRows); r <= nRow; ++r)
                if (RowHeight(r) > 0)
                    OnScroll(Qt::Vertical, GridScroll::LineDown);
        } else if (nRow < visible.nMinRow) {
            for (int r = nRow; r < visible.nMinRow; ++r)
                if (RowHeight(r) > 0)
                    OnScroll(Qt::Vertical, GridScroll::LineUp);
        }
    }

    if (nCol >= m_nFixedCols)
        ScrollUntilEndVisible(Qt::Horizontal, nRow, nCol);
    if (nRow >= m_nFixedRows)
        ScrollUntilEndVisible(Qt::Vertical, nRow, nCol);
}

void CGridModel::ScrollUntilEndVisible(Qt::Orientation orient, int nRow, int nCol)
{
    // Partly hidden at the right (bottom) edge: one more column (row) at a time,
    // but never past the cell's own start: a cell wider than the view shows its left part.
    const bool bVert = orient == Qt::Vertical;
    const int nBar = bVert ? 2 : 1;
    const int nFixed = bVert ? FixedRowsHeight() : FixedColumnsWidth();
    QRect rect;
    while ((m_nBarState & nBar) && CellRect(nRow, nCol, rect)) {
        const QSize client = m_pPlatform->ClientSize();
        const int nStart = bVert ? rect.top() : rect.left();
        const int nEnd = bVert ? rect.bottom() + 1 : rect.right() + 1;
        // A line step scrolls by the first non-empty row (column) at the top (left).
        const CellId topLeft = TopLeftNonFixedCell();
        int nStep = 0;
        for (int i = bVert ? topLeft.row : topLeft.col; nStep == 0 && i < (bVert ? m_nRows : m_nCols); ++i)
            nStep = bVert ? RowHeight(i) : ColumnWidth(i);
        if (nEnd <= (bVert ? client.height() : client.width()) || nStart - nStep < nFixed)
            break;
        const int nOld = ScrollPos(orient);
        OnScroll(orient, GridScroll::LineDown);
        if (ScrollPos(orient) == nOld)
            break;
    }
}

// ---------------------------------------------------------------- fitting

bool CGridModel::FitRowHeight(int nRow, bool bResetScroll)
{
    if (nRow < 0 || nRow >= m_nRows || RowHeight(nRow) <= 0)
        return false;
    int nHeight = 0;
    for (int c = 0; c < m_nCols; ++c)
        if (const CGridCellBase *pCell = CellAt(nRow, c))
            nHeight = std::max(nHeight, pCell->MeasureCell(c).height());
    m_nTotalHeight += nHeight - m_arRowHeights[static_cast<size_t>(nRow)];
    m_arRowHeights[static_cast<size_t>(nRow)] = nHeight;
    InvalidateTopLeft(true);
    if (bResetScroll)
        ResetScrollBars();
    return true;
}

bool CGridModel::FitColumnWidth(int nCol, int nScope, bool bResetScroll)
{
    if (nCol < 0 || nCol >= m_nCols || ColumnWidth(nCol) <= 0)
        return false;
    if (nScope == FitScopeDefault)
        nScope = m_nFitScope;
    const int nStart = (nScope & FitScopeFixed) ? 0 : m_nFixedRows;
    const int nEnd = (nScope & FitScopeNonFixed) ? m_nRows - 1 : m_nFixedRows - 1;
    int nWidth = 0;
    for (int r = nStart; r <= nEnd; ++r) {
        if (const CGridCellBase *pCell = CellAt(r, nCol)) {
            const int nMeasure = pCell->MeasureCell(-1).width();
            if (nMeasure > nWidth)
                nWidth = nMeasure + 1;
        }
    }
    m_arColWidths[static_cast<size_t>(nCol)] = nWidth;
    InvalidateTopLeft(true);
    if (bResetScroll)
        ResetScrollBars();
    return true;
}

void CGridModel::FitAllRowHeights()
{
    for (int r = 0; r < m_nRows; ++r)
        FitRowHeight(r, false);
    ResetScrollBars();
    RepaintAll();
}

void CGridModel::FitAllColumnWidths()
{
    for (int c = 0; c < m_nCols; ++c)
        FitColumnWidth(c, FitScopeDefault, false);
    ResetScrollBars();
    RepaintAll();
}

// ---------------------------------------------------------------- scrolling

int CGridModel::ScrollPos(Qt::Orientation orient) const
{
    return m_pPlatform ? m_pPlatform->ScrollPos(orient) : 0;
}

int CGridModel::ScrollLimit(Qt::Orientation orient) const
{
    return std::max(0, ScrollMax(orient) - ScrollPage(orient) + 1);
}

void CGridModel::SetScrollPos(Qt::Orientation orient, int nPos)
{
    if (!m_pPlatform)
        return;
    m_pPlatform->SetScrollPos(orient, std::clamp(nPos, 0, ScrollLimit(orient)));
    InvalidateTopLeft(false);
}

void CGridModel::ResetScrollBars()
{
    if (!m_pPlatform || !m_pPlatform->HasWindow() || !m_bAllowDraw.load())
        return;
    InvalidateTopLeft(false);
    const QSize full = m_pPlatform->FullAreaSize();
    const int nFixedW = FixedColumnsWidth();
    const int nFixedH = FixedRowsHeight();
    int nVisibleW = full.width() - nFixedW;
    int nVisibleH = full.height() - nFixedH;
    if (nVisibleW <= 0 || nVisibleH <= 0) {
        m_nVScrollMax = m_nHScrollMax = m_nVScrollPage = m_nHScrollPage = 0;
        m_nBarState = 0;
        m_pPlatform->SetScrollBar(Qt::Vertical, false, 0, 0);
        m_pPlatform->SetScrollBar(Qt::Horizontal, false, 0, 0);
        return;
    }
    const int nVirtualW = TotalWidth() - nFixedW;
    const int nVirtualH = TotalHeight() - nFixedH;
    const int nBar = m_pPlatform->ScrollBarExtent();
    bool bV = nVirtualH > nVisibleH;
    if (bV)
        nVisibleW -= nBar;
    const bool bH = nVirtualW > nVisibleW;
    if (bH)
        nVisibleH -= nBar;
    // The horizontal bar can take the room that made the rows fit.
    if (!bV && nVirtualH > nVisibleH) {
        bV = true;
        nVisibleW -= nBar;
    }

    m_nVScrollMax = bV ? nVirtualH - 1 : 0;
    m_nVScrollPage = bV ? nVisibleH : 0;
    m_nHScrollMax = bH ? nVirtualW - 1 : 0;
    m_nHScrollPage = bH ? nVisibleW : 0;
    m_nBarState = (bH ? 1 : 0) | (bV ? 2 : 0);
    m_pPlatform->SetScrollBar(Qt::Vertical, bV, m_nVScrollMax, m_nVScrollPage);
    m_pPlatform->SetScrollBar(Qt::Horizontal, bH, m_nHScrollMax, m_nHScrollPage);
    InvalidateTopLeft(false);
}

void CGridModel::OnScroll(Qt::Orientation orient, GridScroll code, int nTrackPos)
{
    if (!m_pPlatform)
        return;
    m_pPlatform->HideTitleTip();
    const bool bVert = orient == Qt::Vertical;
    const int nPos = ScrollPos(orient);
    const int nLimit = ScrollLimit(orient);
    const CellId topLeft = TopLeftNonFixedCell();
    const int nFirst = bVert ? topLeft.row : topLeft.col;
    const int nFixed = bVert ? m_nFixedRows : m_nFixedCols;
    const int nCount = bVert ? m_nRows : m_nCols;
    const auto sizeOf = [this, bVert](int i) { return bVert ? RowHeight(i) : ColumnWidth(i); };
    const QSize client = m_pPlatform->ClientSize();
    const int nPage = std::max(bVert ? client.height() - FixedRowsHeight() : client.width() - FixedColumnsWidth(), 1);

    switch (code) {
    case GridScroll::LineDown:
        if (nPos < nLimit) {
            int i = nFirst;
            while (i < nCount && sizeOf(i) == 0)
                ++i;
            if (i < nCount)
                SetScrollPos(orient, nPos + sizeOf(i));
        }
        break;
    case GridScroll::LineUp:
        if (nPos > 0 && nFirst > nFixed) {
            int i = nFirst - 1;
            while (i > nFixed && sizeOf(i) == 0)
                --i;
            SetScrollPos(orient, std::max(0, nPos - sizeOf(i)));
        }
        break;
    case GridScroll::PageDown:
        SetScrollPos(orient, std::min(nPos + nPage, nLimit));
        break;
    case GridScroll::PageUp:
        SetScrollPos(orient, std::max(nPos - nPage, 0));
        break;
    case GridScroll::ThumbPosition:
    case GridScroll::ThumbTrack: {
        SetScrollPos(orient, nTrackPos);
        if (TopLeftNonFixedCell() != topLeft)
            RepaintAll();
        return;
    }
    case GridScroll::Top:
        SetScrollPos(orient, 0);
        RepaintAll();
        return;
    case GridScroll::Bottom:
        SetScrollPos(orient, nLimit);
        RepaintAll();
        return;
    }
    if (ScrollPos(orient) != nPos)
        RepaintAll();
}

void CGridModel::OnScrollPosChanged()
{
    InvalidateTopLeft(false);
}

void CGridModel::OnMouseWheel(int nDelta, int nPixels)
{
    if (nPixels != 0) {
        m_nWheelRest = 0;
        OnScroll(Qt::Vertical, GridScroll::ThumbPosition, ScrollPos(Qt::Vertical) - nPixels);
        return;
    }
    // Smooth wheels and touch pads send a notch in parts: the rest waits for
    // the next event, and turning the other way starts afresh.
    if (nDelta == 0)
        return;
    if ((m_nWheelRest < 0) != (nDelta < 0))
        m_nWheelRest = 0;
    if (m_nRowsPerWheelNotch == -1) {
        m_nWheelRest += nDelta;
        const int nPages = m_nWheelRest / 120;
        m_nWheelRest -= nPages * 120;
        for (int n = nPages; n > 0; --n)
            OnScroll(Qt::Vertical, GridScroll::PageUp);
        for (int n = nPages; n < 0; ++n)
            OnScroll(Qt::Vertical, GridScroll::PageDown);
        return;
    }
    m_nWheelRest += m_nRowsPerWheelNotch * nDelta;
    const int nLines = m_nWheelRest / -120;
    m_nWheelRest += nLines * 120;
    for (int n = 0; n < nLines; ++n)
        OnScroll(Qt::Vertical, GridScroll::LineDown);
    for (int n = 0; n > nLines; --n)
        OnScroll(Qt::Vertical, GridScroll::LineUp);
}

void CGridModel::OnSize()
{
    InvalidateTopLeft(false);
    ResetScrollBars();
}

// ---------------------------------------------------------------- painting

void CGridModel::DrawCell(QPainter &painter, int nRow, int nCol, const QRect &rect)
{
    if (CGridCellBase *pCell = CellAt(nRow, nCol))
        pCell->Draw(&painter, nRow, nCol, rect, false);
}

void CGridModel::OnDraw(QPainter &painter)
{
    m_bDrawComplete.store(false);
    const auto done = qScopeGuard([this] { m_bDrawComplete.store(true); });
    if (!m_bAllowDraw.load() || !m_pPlatform)
        return;
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect()
                                             : QRect(QPoint(0, 0), m_pPlatform->ClientSize());
    if (clip.isEmpty())
        return;

    const QSize client = m_pPlatform->ClientSize();
    const int nFixedW = FixedColumnsWidth();
    const int nFixedH = FixedRowsHeight();
    QRect visRect;
    const CellRange visible = VisibleNonFixedRange(&visRect);
    const int nRight = std::min(visRect.right() + 1, client.width());
    const int nBottom = std::min(visRect.bottom() + 1, client.height());
    const int nRightEdge = std::max(nRight, std::min(nFixedW, client.width()));
    const int nBottomEdge = std::max(nBottom, std::min(nFixedH, client.height()));

    painter.fillRect(QRect(0, 0, nFixedW, nFixedH), ToQColor(m_cellFixedRowColDef.BackColour()));
    painter.fillRect(QRect(nFixedW, 0, nRight - nFixedW, nFixedH), ToQColor(m_cellFixedRowDef.BackColour()));
    painter.fillRect(QRect(0, nFixedH, nFixedW, nBottom - nFixedH), ToQColor(m_cellFixedColDef.BackColour()));
    painter.fillRect(visRect, ToQColor(m_cellDefault.BackColour()));
    painter.fillRect(QRect(nRightEdge, 0, client.width() - nRightEdge, client.height()), ToQColor(m_crWindowBack));
    painter.fillRect(QRect(0, nBottomEdge, nRightEdge, client.height() - nBottomEdge), ToQColor(m_crWindowBack));

    // One block of cells: rows r1..r2 from y, columns c1..c2 from x; zero sizes
    // are skipped.  The second pass takes only the cells that fill their
    // background: a cell that does not would get its text drawn twice, bolder.
    bool bOverLines = false;
    const auto drawBlock = [&](int r1, int r2, int y, int c1, int c2, int x0) {
        for (int r = r1; r <= r2; ++r) {
            const int h = RowHeight(r);
            if (h <= 0)
                continue;
            if (y <= clip.bottom() && y + h > clip.top()) {
                int x = x0;
                for (int c = c1; c <= c2; ++c) {
                    const int w = ColumnWidth(c);
                    if (w <= 0)
                        continue;
                    const QRect rect(x, y, w, h);
                    const CGridCellBase *pCell = bOverLines ? CellAt(r, c) : nullptr;
                    const bool bFilled = pCell && (pCell->IsSelected() || pCell->IsFocused() ||
                                                   pCell->IsDropTargetHighlighted());
                    if (rect.intersects(clip) && (!bOverLines || bFilled))
                        DrawCell(painter, r, c, rect);
                    x += w;
                }
            }
            y += h;
        }
    };
    // The corner, the fixed columns of the visible rows, the fixed rows of the
    // visible columns, then the visible non-fixed cells row by row.
    const auto drawCells = [&] {
        drawBlock(0, m_nFixedRows - 1, 0, 0, m_nFixedCols - 1, 0);
        drawBlock(visible.nMinRow, visible.nMaxRow, nFixedH, 0, m_nFixedCols - 1, 0);
        drawBlock(0, m_nFixedRows - 1, 0, visible.nMinCol, visible.nMaxCol, nFixedW);
        drawBlock(visible.nMinRow, visible.nMaxRow, nFixedH, visible.nMinCol, visible.nMaxCol, nFixedW);
    };

    drawCells();

    if (m_nGridLines != GridLinesNone) {
        painter.setPen(QPen(ToQColor(m_crGridLine), 1));
        if (m_nGridLines == GridLinesVert || m_nGridLines == GridLinesBoth) {
            int x = nFixedW;
            for (int c = visible.nMinCol; c <= visible.nMaxCol; ++c) {
                const int w = ColumnWidth(c);
                if (w <= 0)
                    continue;
                x += w;
                painter.drawLine(x - 1, nFixedH, x - 1, nBottom - 1);
            }
        }
        if (m_nGridLines == GridLinesHorz || m_nGridLines == GridLinesBoth) {
            int y = nFixedH;
            for (int r = visible.nMinRow; r <= visible.nMaxRow; ++r) {
                const int h = RowHeight(r);
                if (h <= 0)
                    continue;
                y += h;
                painter.drawLine(nFixedW, y - 1, nRight - 1, y - 1);
            }
        }
    }

    // Focused and selected cells fill their grid-line pixels: they go over the lines.
    bOverLines = true;
    drawCells();
}
