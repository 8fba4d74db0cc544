#include "grid/grid_model.h"

#include "grid/grid_log.h"

#include <QScopeGuard>

#include <algorithm>
#include <climits>
#include <utility>

// ---------------------------------------------------------------- focus and selection

void CGridModel::RedrawCellNow(int nRow, int nCol)
{
    RepaintCell(nRow, nCol);
}

void CGridModel::RedrawFocusHeaders(CellId cell, bool bRowChanged, bool bColChanged)
{
    if (!m_bHighlightHeaders || !IsValid(cell.row, cell.col))
        return;
    if (bColChanged)
        for (int r = 0; r < m_nFixedRows; ++r)
            RepaintCell(r, cell.col);
    if (bRowChanged)
        for (int c = 0; c < m_nFixedCols; ++c)
            RepaintCell(cell.row, c);
}

CellId CGridModel::SetFocusCell(int nRow, int nCol)
{
    CellId cell(nRow, nCol);
    const CellId prev = m_idCurrentCell;
    if (cell == prev)
        return prev;
    if (cell.row >= 0 && cell.row < m_nFixedRows)
        cell.row = m_nFixedRows;
    if (cell.col >= 0 && cell.col < m_nFixedCols)
        cell.col = m_nFixedCols;

    if (CGridCellBase *pOld = CellAt(prev.row, prev.col)) {
        pOld->SetState(pOld->State() & ~CellFocused);
        RedrawCellNow(prev.row, prev.col);
        RedrawFocusHeaders(prev, prev.row != cell.row, prev.col != cell.col);
    }
    m_idCurrentCell = cell;
    if (CGridCellBase *pNew = CellAt(cell.row, cell.col)) {
        pNew->SetState(pNew->State() | CellFocused);
        RedrawCellNow(cell.row, cell.col);
        RedrawFocusHeaders(cell, prev.row != cell.row, prev.col != cell.col);
    }
    return prev;
}

void CGridModel::DeselectAll()
{
    for (const auto &[key, id] : m_SelectedCellMap) {
        Q_UNUSED(key);
        if (CGridCellBase *pCell = CellAt(id.row, id.col)) {
            pCell->SetState(pCell->State() & ~CellSelected);
            RepaintCell(id.row, id.col);
        }
    }
    m_SelectedCellMap.clear();
}

void CGridModel::SetSelectedRange(const CellRange &range, bool bForceRepaint, bool bSelectCells)
{
    SetSelectedRange(range.nMinRow, range.nMinCol, range.nMaxRow, range.nMaxCol, bForceRepaint, bSelectCells);
}

void CGridModel::SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, bool bForceRepaint,
                                  bool bSelectCells)
{
    Q_UNUSED(bForceRepaint); // every change is painted on the next paint anyway
    if (!m_bEnableSelection)
        return;
    if (m_pPlatform)
        m_pPlatform->SetWaitCursor(true);
    const auto restore = qScopeGuard([this] {
        if (m_pPlatform)
            m_pPlatform->SetWaitCursor(false);
    });

    const int nFirstCol = m_bAllowSelectFixed ? 0 : m_nFixedCols;
    const auto raiseRow = [this](int r) { return (r >= 0 && r < m_nFixedRows) ? m_nFixedRows : r; };
    const auto raiseCol = [nFirstCol](int c) { return (c >= 0 && c < nFirstCol) ? nFirstCol : c; };
    nMinRow = raiseRow(nMinRow);
    nMaxRow = raiseRow(nMaxRow);
    nMinCol = raiseCol(nMinCol);
    nMaxCol = raiseCol(nMaxCol);

    const auto select = [this](int r, int c, bool bSelect) {
        CGridCellBase *pCell = CellAt(r, c);
        if (!pCell || pCell->IsSelected() == bSelect)
            return;
        if (bSelect && !m_bSelectEmptyCells && pCell->Text().isEmpty() && pCell->Image() < 0)
            return;
        if (bSelect) {
            pCell->SetState(pCell->State() | CellSelected);
            m_SelectedCellMap[CellKey(r, c)] = CellId(r, c);
        } else {
            pCell->SetState(pCell->State() & ~CellSelected);
            m_SelectedCellMap.erase(CellKey(r, c));
        }
        RepaintCell(r, c);
    };

    if (bSelectCells) {
        DeselectAll();
        if (!(m_bListMode && m_bSingleRowSelection)) {
            for (const auto &[key, id] : m_PrevSelectedCellMap) {
                Q_UNUSED(key);
                select(id.row, id.col, true);
            }
        }
    }

    if (nMinRow >= 0 && nMinCol >= 0 && nMaxRow >= 0 && nMaxCol >= 0 && nMaxRow < m_nRows && nMaxCol < m_nCols
        && nMaxCol >= nMinCol) {
        for (int r = nMinRow; r <= nMaxRow; ++r)
            for (int c = nMinCol; c <= nMaxCol; ++c)
                select(r, c, bSelectCells);
    }
}

void CGridModel::SelectAllCells()
{
    if (!m_bEnableSelection)
        return;
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridModel::SelectColumns(CellId currentCell, bool bForceRedraw, bool bSelectCells)
{
    if (!m_bEnableSelection || currentCell.col < m_nFixedCols || currentCell.col >= m_nCols)
        return;
    int nFrom = m_SelectionStartCell.col >= 0 && m_SelectionStartCell.col < m_nCols ? m_SelectionStartCell.col
                                                                                     : currentCell.col;
    if (m_bSingleColSelection)
        nFrom = currentCell.col;
    SetSelectedRange(m_nFixedRows, std::min(nFrom, currentCell.col), m_nRows - 1, std::max(nFrom, currentCell.col),
                     bForceRedraw, bSelectCells);
}

void CGridModel::SelectRows(CellId currentCell, bool bForceRedraw, bool bSelectCells)
{
    if (!m_bEnableSelection || currentCell.row < m_nFixedRows || !IsValid(currentCell.row, currentCell.col))
        return;
    const int nFirstCol = m_bAllowSelectFixed ? 0 : m_nFixedCols;
    int nFrom = m_SelectionStartCell.row >= m_nFixedRows && m_SelectionStartCell.row < m_nRows
                    ? m_SelectionStartCell.row
                    : currentCell.row;
    if (m_bListMode && m_bSingleRowSelection)
        nFrom = currentCell.row;
    SetSelectedRange(std::min(nFrom, currentCell.row), nFirstCol, std::max(nFrom, currentCell.row), m_nCols - 1,
                     bForceRedraw, bSelectCells);
}

void CGridModel::SelectCells(CellId currentCell, bool bForceRedraw, bool bSelectCells)
{
    if (!m_bEnableSelection || !IsValid(currentCell.row, currentCell.col) || currentCell.row < m_nFixedRows
        || currentCell.col < m_nFixedCols)
        return;
    const CellId anchor = IsValid(m_SelectionStartCell.row, m_SelectionStartCell.col) ? m_SelectionStartCell
                                                                                        : currentCell;
    SetSelectedRange(std::min(anchor.row, currentCell.row), std::min(anchor.col, currentCell.col),
                     std::max(anchor.row, currentCell.row), std::max(anchor.col, currentCell.col), bForceRedraw,
                     bSelectCells);
}

void CGridModel::ClearSelection()
{
    m_PrevSelectedCellMap.clear();
    DeselectAll();
    SetFocusCell(-1, -1);
}

bool CGridModel::IsCellSelected(int nRow, int nCol) const
{
    if (!m_bEnableSelection)
        return false;
    const CGridCellBase *pCell = CellAt(nRow, nCol);
    return pCell && pCell->IsSelected();
}

CellRange CGridModel::SelectedRange() const
{
    CellRange range(m_nRows, m_nCols, -1, -1);
    for (const auto &[key, id] : m_SelectedCellMap) {
        Q_UNUSED(key);
        range.nMinRow = std::min(range.nMinRow, id.row);
        range.nMinCol = std::min(range.nMinCol, id.col);
        range.nMaxRow = std::max(range.nMaxRow, id.row);
        range.nMaxCol = std::max(range.nMaxCol, id.col);
    }
    return range;
}

int CGridModel::NextSelectedRow(int nRow) const
{
    if (m_SelectedCellMap.empty())
        return -1;
    const int nStart = nRow == INT_MAX ? m_nFixedRows : std::max(nRow + 1, 0);
    for (int r = nStart; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (const CGridCellBase *pCell = CellAt(r, c); pCell && pCell->IsSelected())
                return r;
    return -1;
}

void CGridModel::SelectRowAndScroll(int nRow)
{
    if (nRow == -1) {
        SelectAllCells();
        return;
    }
    ClearSelection();
    if (nRow < m_nFixedRows || nRow >= m_nRows || m_nCols == 0)
        return;
    SelectRows(CellId(nRow, m_nFixedCols < m_nCols ? m_nFixedCols : 0));
    if (!(m_nBarState & 2))
        return;
    int y = 0;
    for (int r = m_nFixedRows; r < nRow; ++r)
        y += RowHeight(r);
    const int nOld = ScrollPos(Qt::Vertical);
    SetScrollPos(Qt::Vertical, y);
    if (ScrollPos(Qt::Vertical) != nOld)
        RepaintAll();
}

// ---------------------------------------------------------------- mouse

bool CGridModel::MouseOverColumnResizeArea(QPoint pt) const
{
    if (!m_bAllowColumnResize || pt.y() >= FixedRowsHeight())
        return false;
    const CellId cell = CellFromPoint(pt);
    QPoint origin;
    if (!cell.IsValid() || !CellOrigin(cell.row, cell.col, origin))
        return false;
    const int nEnd = origin.x() + ColumnWidth(cell.col);
    return (pt.x() - origin.x() < m_nResizeCaptureRange && cell.col != 0) || nEnd - pt.x() <= m_nResizeCaptureRange;
}

bool CGridModel::MouseOverRowResizeArea(QPoint pt) const
{
    if (!m_bAllowRowResize || pt.x() >= FixedColumnsWidth())
        return false;
    const CellId cell = CellFromPoint(pt);
    QPoint origin;
    if (!cell.IsValid() || !CellOrigin(cell.row, cell.col, origin))
        return false;
    const int nEnd = origin.y() + RowHeight(cell.row);
    return (pt.y() - origin.y() < m_nResizeCaptureRange && cell.row != 0) || nEnd - pt.y() <= m_nResizeCaptureRange;
}

int CGridModel::DividerIndex(CellId cell, QPoint pt, Qt::Orientation orient, bool bSkipHidden) const
{
    // The column (row) whose right (bottom) edge forms the divider under the point.
    const bool bCols = orient == Qt::Vertical;
    QPoint origin;
    CellOrigin(cell.row, cell.col, origin);
    int n = bCols ? cell.col : cell.row;
    const int nOffset = bCols ? pt.x() - origin.x() : pt.y() - origin.y();
    if (nOffset < m_nResizeCaptureRange && n > 0)
        --n;
    if (bSkipHidden)
        while (n > 0 && (bCols ? ColumnWidth(n) : RowHeight(n)) == 0)
            --n;
    return n;
}

void CGridModel::HeaderClick(CellId cell)
{
    if (m_bSortOnClick) {
        if (cell.col != 0 || !m_bRowNumberColumn) {
            if (m_pPlatform)
                m_pPlatform->SetWaitCursor(true);
            const bool bAscending = !(cell.col == m_nSortColumn && m_bAscending);
            SortByText(cell.col, bAscending);
            if (m_pPlatform)
                m_pPlatform->SetWaitCursor(false);
        }
        if (m_bRowNumberColumn)
            Renumber();
        RepaintAll();
    }
    if (m_bFixedRowSelection) {
        if (cell.col < m_nFixedCols) {
            SelectAllCells();
        } else {
            m_nMouseMode = MouseSelectCol;
            SelectColumns(cell);
            if (m_pPlatform)
                m_pPlatform->StartAutoScroll();
        }
    }
}

void CGridModel::OnLButtonDown(QPoint pt, bool bShift, bool bControl)
{
    if (!m_pPlatform)
        return;
    if (m_bLMouseButtonDown)
        OnCaptureLost(); // the last press never saw its release
    m_pPlatform->HideTitleTip();
    m_pPlatform->TakeKeyboardFocus();
    m_LeftClickDownPoint = pt;
    m_LastMousePoint = pt;
    m_bMouseMoved = false;
    m_LeftClickDownCell = CellFromPoint(pt, true);
    if (!IsValid(m_LeftClickDownCell.row, m_LeftClickDownCell.col))
        return;
    m_bLMouseButtonDown = true;
    const CellId click = m_LeftClickDownCell;

    // Every click adds or removes, as with Control, unless one row at a time is wanted.
    if (!(m_bListMode && m_bSingleRowSelection))
        bControl = true;

    if (bShift) {
        if (!IsValid(m_SelectionStartCell.row, m_SelectionStartCell.col))
            m_SelectionStartCell = m_idCurrentCell;
    } else {
        m_SelectionStartCell = click;
    }

    CGridCellBase *pCell = CellAt(click.row, click.col);
    QRect rect;
    CellRect(click.row, click.col, rect);
    pCell->LeftButtonPressed(pt - rect.topLeft());

    if (IsCellSelected(click.row, click.col)) {
        SetFocusCell(click.row, click.col);
        if (bControl) {
            // Only the clicked row (cell) goes, also with Shift: the anchor plays no part.
            const int nFirstCol = m_bListMode ? (m_bAllowSelectFixed ? 0 : m_nFixedCols) : click.col;
            SetSelectedRange(click.row, nFirstCol, click.row, m_bListMode ? m_nCols - 1 : click.col, true, false);
            return;
        }
        if (m_bAllowDragAndDrop)
            m_nMouseMode = MousePrepareDrag;
    } else if (m_nMouseMode != MouseOverColDivide && m_nMouseMode != MouseOverRowDivide) {
        if (click.row < m_nFixedRows || click.col < m_nFixedCols)
            SetFocusCell(-1, -1);
        else
            SetFocusCell(click.row, click.col);
    }

    m_pPlatform->CaptureMouse(true);
    if (m_nMouseMode == MouseNothing || m_nMouseMode == MouseOverColDivide || m_nMouseMode == MouseOverRowDivide) {
        if (MouseOverColumnResizeArea(pt)) {
            m_pPlatform->SetCursorShape(GridCursor::SizeWE);
            m_nMouseMode = MouseOverColDivide;
        } else if (MouseOverRowResizeArea(pt)) {
            m_pPlatform->SetCursorShape(GridCursor::SizeNS);
            m_nMouseMode = MouseOverRowDivide;
        } else {
            m_nMouseMode = MouseNothing;
        }
    }

    if (m_nMouseMode == MouseOverColDivide || m_nMouseMode == MouseOverRowDivide) {
        const Qt::Orientation orient = m_nMouseMode == MouseOverColDivide ? Qt::Vertical : Qt::Horizontal;
        const bool bCols = orient == Qt::Vertical;
        m_nMouseMode = bCols ? MouseSizingCol : MouseSizingRow;
        m_nResizeIndex = DividerIndex(click, pt, orient, !(bCols ? m_bHiddenColUnhide : m_bHiddenRowUnhide));
        QPoint origin;
        CellOrigin(bCols ? click.row : m_nResizeIndex, bCols ? m_nResizeIndex : click.col, origin);
        m_nResizeOrigin = bCols ? origin.x() : origin.y();
        m_pPlatform->ShowResizeLine(orient, bCols ? pt.x() : pt.y());
        return;
    }
    if (m_nMouseMode == MousePrepareDrag)
        return;

    m_pPlatform->Notify(GridNotifySelChanging, click.row, click.col);
    m_PrevSelectedCellMap.clear();
    if (bControl)
        m_PrevSelectedCellMap = m_SelectedCellMap;

    if (click.row < m_nFixedRows) {
        HeaderClick(click);
    } else if (click.col < m_nFixedCols) {
        if (m_bFixedColumnSelection) {
            m_nMouseMode = MouseSelectRow;
            SelectRows(click);
            m_pPlatform->StartAutoScroll();
        }
    } else {
        m_nMouseMode = m_bListMode ? MouseSelectRow : MouseSelectCells;
        if (m_bListMode)
            SelectRows(click);
        else
            SelectCells(click);
        m_pPlatform->StartAutoScroll();
    }
}

void CGridModel::ShowTipFor(CellId cell)
{
    const CGridCellBase *pCell = CellAt(cell.row, cell.col);
    if (!pCell || pCell->IsEditing() || pCell->TipText().isEmpty())
        return;
    QRect rect;
    if (!CellRect(cell.row, cell.col, rect))
        return;
    QRect textRect(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    if (pCell->IsFixed() && m_nGridLines != GridLinesNone)
        textRect.adjust(1, 1, -1, -1);
    const int nMargin = pCell->Margin();
    textRect.adjust(nMargin, 0, -nMargin, 0);
    if (!pCell->TipTextRect(textRect) || textRect.isEmpty())
        return;
    const QFont font = pCell->RealisedFont() ? *pCell->RealisedFont() : GridFont();
    // The tip belongs to the cell, one pixel wider and taller.
    m_rectTipHover = rect.adjusted(0, 0, 1, 1);
    m_pPlatform->ShowTitleTip(pCell->TipText(), font, m_crTTipText, m_crTTipBack, textRect, rect);
}

void CGridModel::OnMouseMove(QPoint pt, bool bButtonDown)
{
    if (!m_pPlatform)
        return;
    if (m_bLMouseButtonDown && !bButtonDown)
        OnCaptureLost(); // released where the grid could not see it
    if (!m_rectTipHover.isEmpty() && !m_rectTipHover.contains(pt)) {
        m_rectTipHover = QRect();
        m_pPlatform->HideTitleTip();
    }
    const QSize client = m_pPlatform->ClientSize();
    const bool bInside = pt.x() >= 0 && pt.y() >= 0 && pt.x() < client.width() && pt.y() < client.height();
    const bool bHeld = bButtonDown && m_bLMouseButtonDown;
    if (!bInside && !bHeld)
        return;

    if (!bHeld) {
        if (MouseOverColumnResizeArea(pt)) {
            if (m_nMouseMode != MouseOverColDivide) {
                m_pPlatform->SetCursorShape(GridCursor::SizeWE);
                m_nMouseMode = MouseOverColDivide;
            }
        } else if (MouseOverRowResizeArea(pt)) {
            if (m_nMouseMode != MouseOverRowDivide) {
                m_pPlatform->SetCursorShape(GridCursor::SizeNS);
                m_nMouseMode = MouseOverRowDivide;
            }
        } else if (m_nMouseMode != MouseNothing) {
            m_pPlatform->SetCursorShape(GridCursor::Arrow);
            m_nMouseMode = MouseNothing;
        }
        if (m_nMouseMode == MouseNothing) {
            const CellId cell = CellFromPoint(pt);
            if (cell != m_idHoverCell) {
                if (CGridCellBase *pOld = CellAt(m_idHoverCell.row, m_idHoverCell.col))
                    pOld->MouseLeft();
                if (CGridCellBase *pNew = CellAt(cell.row, cell.col))
                    pNew->MouseEntered();
                m_idHoverCell = cell;
            } else if (CGridCellBase *pCell = CellAt(cell.row, cell.col)) {
                pCell->MouseMovedOver();
            }
            if (m_bTitleTips && cell.IsValid())
                ShowTipFor(cell);
        }
        m_LastMousePoint = pt;
        return;
    }

    if (pt != m_LeftClickDownPoint)
        m_bMouseMoved = true;
    if (!IsValid(m_LeftClickDownCell.row, m_LeftClickDownCell.col)) {
        m_LastMousePoint = pt;
        return;
    }

    switch (m_nMouseMode) {
    case MouseSelectAll:
        break;
    case MouseSelectCol:
    case MouseSelectRow:
    case MouseSelectCells: {
        const CellId cell = CellFromPoint(pt);
        if (!IsValid(cell.row, cell.col) || cell == m_idCurrentCell)
            break;
        if (m_nMouseMode == MouseSelectCol)
            SelectColumns(cell);
        else if (m_nMouseMode == MouseSelectRow)
            SelectRows(cell);
        else
            SelectCells(cell);
        if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols)
            SetFocusCell(cell.row, cell.col);
        break;
    }
    case MouseSizingCol:
        m_pPlatform->ShowResizeLine(Qt::Vertical, pt.x());
        break;
    case MouseSizingRow:
        m_pPlatform->ShowResizeLine(Qt::Horizontal, pt.y());
        break;
    case MousePrepareDrag:
        BeginDragOut();
        break;
    default:
        break;
    }
    m_LastMousePoint = pt;
}

void CGridModel::OnLButtonUp(QPoint pt)
{
    if (!m_pPlatform)
        return;
    const bool bWasDown = m_bLMouseButtonDown;
    m_bLMouseButtonDown = false;
    m_pPlatform->CaptureMouse(false);
    m_pPlatform->StopAutoScroll();
    const CellId click = m_LeftClickDownCell;
    if (!bWasDown) {
        m_nMouseMode = m_nMouseMode == MouseOverColDivide || m_nMouseMode == MouseOverRowDivide ? m_nMouseMode
                                                                                               : MouseNothing;
        return;
    }

    if (m_nMouseMode == MousePrepareDrag) {
        if (CGridCellBase *pCell = CellAt(click.row, click.col)) {
            QRect rect;
            CellRect(click.row, click.col, rect);
            pCell->LeftButtonReleased(pt - rect.topLeft());
        }
        m_pPlatform->Notify(GridNotifyClick, click.row, click.col);
        m_pPlatform->Notify(GridNotifySelChanging, click.row, click.col);
        ClearSelection();
        m_pPlatform->Notify(GridNotifySelChanged, click.row, click.col);
    } else if (m_nMouseMode == MouseSizingCol) {
        m_pPlatform->ShowResizeLine(Qt::Vertical, -1);
        if (m_bMouseMoved && m_nResizeIndex >= 0) {
            const int nWidth = std::max(pt.x() - m_nResizeOrigin, m_bAllowColHide ? 0 : 1);
            ChangeColumnWidth(m_nResizeIndex, nWidth);
            ResetScrollBars();
            RepaintAll();
        }
    } else if (m_nMouseMode == MouseSizingRow) {
        m_pPlatform->ShowResizeLine(Qt::Horizontal, -1);
        if (m_bMouseMoved && m_nResizeIndex >= 0) {
            const int nHeight = std::max(pt.y() - m_nResizeOrigin, m_bAllowRowHide ? 0 : 1);
            ChangeRowHeight(m_nResizeIndex, nHeight);
            ResetScrollBars();
            RepaintAll();
        }
    } else {
        m_pPlatform->Notify(GridNotifySelChanged, m_idCurrentCell.row, m_idCurrentCell.col);
        if (CGridCellBase *pCell = CellAt(m_idCurrentCell.row, m_idCurrentCell.col)) {
            QRect rect;
            CellRect(m_idCurrentCell.row, m_idCurrentCell.col, rect);
            pCell->LeftButtonReleased(pt - rect.topLeft());
        }
        m_pPlatform->Notify(GridNotifyClick, click.row, click.col);
    }
    m_pPlatform->SetCursorShape(GridCursor::Arrow);
    m_nMouseMode = MouseNothing;
    m_nResizeIndex = -1;
    if (IsValid(click.row, click.col))
        m_pPlatform->PostCommand();
}

void CGridModel::OnLButtonDblClk(QPoint pt)
{
    qCDebug(lcGrid, "CGridCtrl::OnLButtonDblClk\n");
    if (!m_pPlatform)
        return;
    const CellId cell = CellFromPoint(pt);
    if (!IsValid(cell.row, cell.col))
        return;
    QPoint origin;
    CellOrigin(cell.row, cell.col, origin);
    if (MouseOverColumnResizeArea(pt)) {
        FitColumnWidth(DividerIndex(cell, pt, Qt::Vertical, true));
        RepaintAll();
    } else if (MouseOverRowResizeArea(pt)) {
        FitRowHeight(DividerIndex(cell, pt, Qt::Horizontal, true));
        RepaintAll();
    } else {
        if (CGridCellBase *pCell = CellAt(cell.row, cell.col))
            pCell->DoubleClicked(pt - origin);
        m_pPlatform->Notify(GridNotifyDoubleClick, cell.row, cell.col);
    }
}

void CGridModel::OnRButtonUp(QPoint pt)
{
    if (!m_pPlatform)
        return;
    const CellId cell = CellFromPoint(pt);
    if (!IsValid(cell.row, cell.col)) {
        m_pPlatform->Notify(GridNotifyRightClick, -1, -1);
        return;
    }
    SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
    if (CGridCellBase *pCell = CellAt(cell.row, cell.col)) {
        QPoint origin;
        CellOrigin(cell.row, cell.col, origin);
        pCell->RightClicked(pt - origin);
    }
    m_pPlatform->Notify(GridNotifyRightClick, cell.row, cell.col);
}

void CGridModel::OnAutoScrollTimer()
{
    if (!m_pPlatform)
        return;
    if (!m_bLMouseButtonDown) {
        m_pPlatform->StopAutoScroll();
        return;
    }
    if (!m_pPlatform->IsLeftButtonDown()) {
        OnCaptureLost();
        return;
    }
    const QPoint pt = m_pPlatform->CursorPos();
    const QSize client = m_pPlatform->ClientSize();
    const int nFixedW = FixedColumnsWidth();
    const int nFixedH = FixedRowsHeight();
    const int x = std::clamp(pt.x(), nFixedW, std::max(client.width() - 1, nFixedW));
    const int y = std::clamp(pt.y(), nFixedH, std::max(client.height() - 1, nFixedH));

    const auto extend = [this](QPoint at) {
        const CellId cell = CellFromPoint(at);
        if (!IsValid(cell.row, cell.col))
            return;
        if (m_nMouseMode == MouseSelectCol)
            SelectColumns(cell);
        else if (m_nMouseMode == MouseSelectRow)
            SelectRows(cell);
        else if (m_nMouseMode == MouseSelectCells)
            SelectCells(cell);
        if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols)
            SetFocusCell(cell.row, cell.col);
    };

    if (pt.y() >= client.height()) {
        OnKeyDown(Qt::Key_Down, false, false);
        extend(QPoint(x, client.height() - 1));
    } else if (pt.y() < nFixedH) {
        OnKeyDown(Qt::Key_Up, false, false);
        extend(QPoint(x, nFixedH + 1));
    } else if (pt.x() >= client.width()) {
        OnKeyDown(Qt::Key_Right, false, false);
        extend(QPoint(client.width() - 1, y));
    } else if (pt.x() < nFixedW) {
        OnKeyDown(Qt::Key_Left, false, false);
        extend(QPoint(nFixedW + 1, y));
    }
}

void CGridModel::OnCaptureLost()
{
    if (!m_pPlatform)
        return;
    m_pPlatform->StopAutoScroll();
    const bool bWasDown = std::exchange(m_bLMouseButtonDown, false);
    switch (m_nMouseMode) {
    case MouseDragging:
    case MousePrepareDrag:
        m_nMouseMode = MouseNothing;
        break;
    case MouseSizingCol:
    case MouseSizingRow:
        // The divider stays where it was.
        m_pPlatform->ShowResizeLine(m_nMouseMode == MouseSizingCol ? Qt::Vertical : Qt::Horizontal, -1);
        m_nResizeIndex = -1;
        m_nMouseMode = MouseNothing;
        break;
    case MouseSelectAll:
    case MouseSelectCol:
    case MouseSelectRow:
    case MouseSelectCells:
        // The press announced a change; the parent hears that it is over.
        m_nMouseMode = MouseNothing;
        if (bWasDown)
            m_pPlatform->Notify(GridNotifySelChanged, m_idCurrentCell.row, m_idCurrentCell.col);
        break;
    default:
        break;
    }
    if (bWasDown) {
        m_pPlatform->CaptureMouse(false);
        m_pPlatform->SetCursorShape(GridCursor::Arrow);
    }
}

void CGridModel::OnMouseLeave()
{
    if (m_pPlatform) {
        m_rectTipHover = QRect();
        m_pPlatform->HideTitleTip();
    }
    if (CGridCellBase *pOld = CellAt(m_idHoverCell.row, m_idHoverCell.col))
        pOld->MouseLeft();
    m_idHoverCell = CellId();
    if (!m_bLMouseButtonDown && (m_nMouseMode == MouseOverColDivide || m_nMouseMode == MouseOverRowDivide)) {
        m_nMouseMode = MouseNothing;
        if (m_pPlatform)
            m_pPlatform->SetCursorShape(GridCursor::Arrow);
    }
}

// ---------------------------------------------------------------- keys

int CGridModel::FirstRowWithHeight(int nFrom, int nStep, int nLimit) const
{
    for (int r = nFrom; nStep > 0 ? r <= nLimit : r >= nLimit; r += nStep)
        if (r >= 0 && r < m_nRows && RowHeight(r) > 0)
            return r;
    return -1;
}

int CGridModel::FirstColWithWidth(int nFrom, int nStep, int nLimit) const
{
    for (int c = nFrom; nStep > 0 ? c <= nLimit : c >= nLimit; c += nStep)
        if (c >= 0 && c < m_nCols && ColumnWidth(c) > 0)
            return c;
    return -1;
}

bool CGridModel::OnKeyDown(int nKey, bool bShift, bool bControl)
{
    if (!m_pPlatform)
        return false;
    m_pPlatform->HideTitleTip();

    if (bControl) {
        switch (nKey) {
        case Qt::Key_C:
        case Qt::Key_Insert:
            CopySelection();
            return true;
        case Qt::Key_X:
        case Qt::Key_V:
            return true; // cut and paste need an editable grid
        case Qt::Key_A:
            m_pPlatform->Notify(GridNotifySelChanging, m_idCurrentCell.row, m_idCurrentCell.col);
            SelectAllCells();
            m_pPlatform->Notify(GridNotifySelChanged, m_idCurrentCell.row, m_idCurrentCell.col);
            return true;
        case Qt::Key_Plus:
            FitAllColumnWidths();
            RepaintAll();
            return true;
        default:
            break;
        }
    }
    if (bShift && nKey == Qt::Key_Insert)
        return true;

    const CellId focus = m_idCurrentCell;
    if (!IsValid(focus.row, focus.col))
        return false;

    CellId next = focus;
    bool bWrap = false;
    switch (nKey) {
    case Qt::Key_Tab:
        if (m_bTabMovesToNext) {
            m_pPlatform->FocusNextControl(false);
            return true;
        }
        if (const int c = FirstColWithWidth(focus.col + 1, 1, m_nCols - 1); c >= 0) {
            next.col = c;
        } else if (const int r = FirstRowWithHeight(focus.row + 1, 1, m_nRows - 1); r >= 0) {
            const int c0 = FirstColWithWidth(m_nFixedCols, 1, m_nCols - 1);
            if (c0 >= 0) {
                next = CellId(r, c0);
                bWrap = true;
            }
        }
        break;
    case Qt::Key_Backtab:
        if (m_bTabMovesToNext) {
            m_pPlatform->FocusNextControl(true);
            return true;
        }
        if (const int c = FirstColWithWidth(focus.col - 1, -1, m_nFixedCols); c >= 0) {
            next.col = c;
        } else if (const int r = FirstRowWithHeight(focus.row - 1, -1, m_nFixedRows); r >= 0) {
            const int cLast = FirstColWithWidth(m_nCols - 1, -1, m_nFixedCols);
            if (cLast >= 0) {
                next = CellId(r, cLast);
                bWrap = true;
            }
        }
        break;
    case Qt::Key_Left:
        if (const int c = FirstColWithWidth(focus.col - 1, -1, m_nFixedCols); c >= 0)
            next.col = c;
        break;
    case Qt::Key_Right:
        if (const int c = FirstColWithWidth(focus.col + 1, 1, m_nCols - 1); c >= 0)
            next.col = c;
        break;
    case Qt::Key_Up:
        if (const int r = FirstRowWithHeight(focus.row - 1, -1, m_nFixedRows); r >= 0)
            next.row = r;
        break;
    case Qt::Key_Down:
        if (const int r = FirstRowWithHeight(focus.row + 1, 1, m_nRows - 1); r >= 0)
            next.row = r;
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const bool bDown = nKey == Qt::Key_PageDown;
        const int nOldTop = TopLeftNonFixedCell().row;
        OnScroll(Qt::Vertical, bDown ? GridScroll::PageDown : GridScroll::PageUp);
        const int nNewTop = TopLeftNonFixedCell().row;
        if (nNewTop != nOldTop)
            next.row = std::clamp(focus.row + nNewTop - nOldTop, m_nFixedRows, m_nRows - 1);
        else
            next.row = bDown ? m_nRows - 1 : m_nFixedRows;
        break;
    }
    case Qt::Key_Home: {
        OnScroll(Qt::Horizontal, GridScroll::Top);
        if (bControl) {
            OnScroll(Qt::Vertical, GridScroll::Top);
            next.row = m_nFixedRows;
        }
        if (const int c = FirstColWithWidth(m_nFixedCols, 1, m_nCols - 1); c >= 0)
            next.col = c;
        if (const int r = FirstRowWithHeight(next.row, 1, m_nRows - 1); r >= 0)
            next.row = r;
        break;
    }
    case Qt::Key_End: {
        OnScroll(Qt::Horizontal, GridScroll::Bottom);
        if (bControl) {
            OnScroll(Qt::Vertical, GridScroll::Bottom);
            next.row = m_nRows - 1;
        }
        if (const int c = FirstColWithWidth(m_nCols - 1, -1, m_nFixedCols); c >= 0)
            next.col = c;
        if (const int r = FirstRowWithHeight(next.row, -1, m_nFixedRows); r >= 0)
            next.row = r;
        break;
    }
    case Qt::Key_Delete:
    case Qt::Key_F2:
        return true; // editing keys; the grid is read-only
    default:
        return false;
    }

    if (next != focus && IsValid(next.row, next.col))
        MoveFocusByKey(next, bShift, bWrap || nKey == Qt::Key_Tab || nKey == Qt::Key_Backtab, nKey);
    return true;
}

void CGridModel::ApplySelectionForMove(CellId cell, bool bShift)
{
    m_PrevSelectedCellMap.clear();
    m_nMouseMode = m_bListMode ? MouseSelectRow : MouseSelectCells;
    if (!bShift)
        m_SelectionStartCell = cell;
    m_pPlatform->Notify(GridNotifySelChanging, cell.row, cell.col);
    if (m_bListMode)
        SelectRows(cell);
    else
        SelectCells(cell);
    m_pPlatform->Notify(GridNotifySelChanged, cell.row, cell.col);
    m_nMouseMode = MouseNothing;
}

void CGridModel::MoveFocusByKey(CellId next, bool bShift, bool bTab, int nKey)
{
    const CellId focus = m_idCurrentCell;
    if (m_nMouseMode == MouseNothing)
        ApplySelectionForMove(next, bShift && !bTab);
    SetFocusCell(next.row, next.col);
    if (IsCellFullyVisible(next.row, next.col))
        return;

    const bool bWrapped = bTab && next.row != focus.row;
    if (bWrapped) {
        const bool bForward = next.row > focus.row;
        OnScroll(Qt::Vertical, bForward ? GridScroll::LineDown : GridScroll::LineUp);
        OnScroll(Qt::Horizontal, bForward ? GridScroll::Top : GridScroll::Bottom);
    } else if (next.row > focus.row) {
        OnScroll(Qt::Vertical, GridScroll::LineDown);
    } else if (next.row < focus.row) {
        OnScroll(Qt::Vertical, GridScroll::LineUp);
    } else if (next.col > focus.col) {
        OnScroll(Qt::Horizontal, GridScroll::LineDown);
    } else if (next.col < focus.col) {
        OnScroll(Qt::Horizontal, GridScroll::LineUp);
    }
    // Page and Home/End moves can land further than one line.
    if (nKey != Qt::Key_Up && nKey != Qt::Key_Down && nKey != Qt::Key_Left && nKey != Qt::Key_Right && !bTab)
        EnsureCellVisible(next.row, next.col);
    RepaintAll();
}

// ---------------------------------------------------------------- clipboard and drag

std::optional<QString> CGridModel::SelectionAsText() const
{
    const CellRange range = SelectedRange();
    if (!range.IsValid())
        return std::nullopt;
    QString text;
    for (int r = range.nMinRow; r <= range.nMaxRow; ++r) {
        if (RowHeight(r) <= 0)
            continue;
        for (int c = range.nMinCol; c <= range.nMaxCol; ++c) {
            if (ColumnWidth(c) <= 0)
                continue;
            const CGridCellBase *pCell = CellAt(r, c);
            if (pCell && pCell->IsSelected())
                text += pCell->Text();
            if (c != range.nMaxCol)
                text += QLatin1Char('\t');
        }
        if (r != range.nMaxRow)
            text += QStringLiteral("\r\n");
    }
    return text;
}

void CGridModel::CopySelection()
{
    if (!m_pPlatform)
        return;
    if (const std::optional<QString> text = SelectionAsText())
        m_pPlatform->SetClipboardText(*text);
}

void CGridModel::BeginDragOut()
{
    if (!m_pPlatform)
        return;
    const std::optional<QString> text = SelectionAsText();
    if (!text)
        return;
    const CellRange range = SelectedRange();
    m_pPlatform->Notify(GridNotifyBeginDrag, range.nMinRow, range.nMinCol);
    m_nMouseMode = MouseDragging;
    m_pPlatform->StopAutoScroll();
    // A move would clear the dragged cells through the Delete path, which a read-only grid ignores.
    m_pPlatform->DragText(*text);
    // The modal drag took the button release.
    m_bLMouseButtonDown = false;
    m_pPlatform->CaptureMouse(false);
    m_nMouseMode = MouseNothing;
}
