#include "grid/grid_model.h"

#include "grid/grid_log.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstdarg>
#include <new>
#include <utility>

Q_LOGGING_CATEGORY(lcGrid, "ostrel.grid", QtWarningMsg)

CGridModel::CGridModel(IGridPlatform *pPlatform)
{
    for (CGridDefaultCell *pDef : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
        pDef->SetGrid(this);
    AttachPlatform(pPlatform);
}

CGridModel::~CGridModel() = default;

void CGridModel::AttachPlatform(IGridPlatform *pPlatform)
{
    m_pPlatform = pPlatform;
    if (m_pPlatform) {
        m_crText = m_pPlatform->SysColour(GridSysColour::WindowText);
        m_crBack = m_pPlatform->SysColour(GridSysColour::Window);
        m_crFixedBack = m_pPlatform->SysColour(GridSysColour::ButtonFace);
        m_crShadow = m_pPlatform->SysColour(GridSysColour::ButtonShadow);
        m_crWindowBack = m_crShadow;
        m_crFocusBack = m_crSelBack = m_pPlatform->SysColour(GridSysColour::Highlight);
        m_crFocusText = m_crSelText = m_pPlatform->SysColour(GridSysColour::HighlightText);
        m_nRowsPerWheelNotch = m_pPlatform->WheelScrollLines();
    }
    for (CGridDefaultCell *pDef : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
        pDef->SetTextColour(m_crText);
    m_cellDefault.SetBackColour(m_crBack);
    m_cellFixedColDef.SetBackColour(m_crFixedBack);
    m_cellFixedRowDef.SetBackColour(m_crFixedBack);
    m_cellFixedRowColDef.SetBackColour(m_crFixedBack);

    const QFont font = m_pPlatform ? m_pPlatform->MessageFont() : QFont();
    for (CGridDefaultCell *pDef : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
        pDef->SetFont(&font);
}

// ---------------------------------------------------------------- structure

std::unique_ptr<CGridCellBase> CGridModel::CreateCell(int nRow, int nCol)
{
    auto pCell = std::make_unique<CGridCell>();
    pCell->SetGrid(this);
    unsigned nState = 0;
    if (nCol < m_nFixedCols)
        nState |= CellFixed | CellFixedColumn;
    if (nRow < m_nFixedRows)
        nState |= CellFixed | CellFixedRow;
    pCell->SetState(nState);
    if (const CGridDefaultCell *pDef = pCell->DefaultsCell())
        pCell->SetFormat(pDef->Format());
    return pCell;
}

void CGridModel::InvalidateTopLeft(bool bSizesChanged)
{
    m_bTopLeftValid = false;
    if (bSizesChanged)
        m_bTopLeftHintValid = false;
}

bool CGridModel::ResizeRowCount(int nRows)
{
    if (nRows < 0) {
        qCWarning(lcGrid, "ResizeRowCount: negative count %d refused", nRows);
        return false;
    }
    if (nRows == m_nRows)
        return true;
    if (nRows < m_nFixedRows)
        m_nFixedRows = nRows;
    if (m_idCurrentCell.row >= nRows)
        m_idCurrentCell = CellId();
    InvalidateTopLeft(true);

    bool bResult = true;
    const bool bGrowing = nRows > m_nRows;
    if (!bGrowing) {
        for (int r = nRows; r < m_nRows; ++r) {
            for (int c = 0; c < m_nCols; ++c) {
                m_SelectedCellMap.erase(CellKey(r, c));
                m_PrevSelectedCellMap.erase(CellKey(r, c));
            }
        }
        m_arRows.resize(static_cast<size_t>(nRows));
        m_arRowHeights.resize(static_cast<size_t>(nRows));
        m_nRows = nRows;
    } else {
        try {
            m_arRows.reserve(static_cast<size_t>(nRows));
            m_arRowHeights.reserve(static_cast<size_t>(nRows));
            while (m_nRows < nRows) {
                Row row;
                row.reserve(static_cast<size_t>(m_nCols));
                for (int c = 0; c < m_nCols; ++c)
                    row.push_back(CreateCell(m_nRows, c));
                m_arRows.push_back(std::move(row));
                m_arRowHeights.push_back(m_cellDefault.Height());
                ++m_nRows;
            }
        } catch (const std::bad_alloc &) {
            m_arRows.resize(static_cast<size_t>(m_nRows));
            m_arRowHeights.resize(static_cast<size_t>(m_nRows));
            bResult = false;
        }
        // New rows are not in order any more.
        ClearSortIndicator(m_nSortColumn);
    }
    m_nTotalHeight = 0;
    for (const int h : m_arRowHeights)
        m_nTotalHeight += h;
    m_bModified = true;
    ResetScrollBars();
    RepaintAll();
    return bResult;
}

bool CGridModel::ResizeColumnCount(int nCols)
{
    if (nCols < 0) {
        qCWarning(lcGrid, "ResizeColumnCount: negative count %d refused", nCols);
        return false;
    }
    if (nCols == m_nCols)
        return true;
    if (nCols < m_nFixedCols)
        m_nFixedCols = nCols;
    if (m_idCurrentCell.col >= nCols)
        m_idCurrentCell = CellId();
    InvalidateTopLeft(true);

    bool bResult = true;
    if (nCols < m_nCols) {
        for (int r = 0; r < m_nRows; ++r) {
            for (int c = nCols; c < m_nCols; ++c) {
                m_SelectedCellMap.erase(CellKey(r, c));
                m_PrevSelectedCellMap.erase(CellKey(r, c));
            }
            m_arRows[static_cast<size_t>(r)].resize(static_cast<size_t>(nCols));
        }
        m_arColWidths.resize(static_cast<size_t>(nCols));
        m_nCols = nCols;
    } else {
        const int nOld = m_nCols;
        try {
            m_arColWidths.reserve(static_cast<size_t>(nCols));
            for (int r = 0; r < m_nRows; ++r) {
                Row &row = m_arRows[static_cast<size_t>(r)];
                row.reserve(static_cast<size_t>(nCols));
                for (int c = nOld; c < nCols; ++c)
                    row.push_back(CreateCell(r, c));
            }
            while (static_cast<int>(m_arColWidths.size()) < nCols)
                m_arColWidths.push_back(m_cellFixedColDef.Width());
            m_nCols = nCols;
        } catch (const std::bad_alloc &) {
            for (Row &row : m_arRows)
                row.resize(static_cast<size_t>(nOld));
            m_arColWidths.resize(static_cast<size_t>(nOld));
            bResult = false;
        }
        ClearSortIndicator(m_nSortColumn);
    }
    m_arColOrder.resize(static_cast<size_t>(m_nCols));
    for (int c = 0; c < m_nCols; ++c)
        m_arColOrder[static_cast<size_t>(c)] = c;
    m_bModified = true;
    ResetScrollBars();
    RepaintAll();
    return bResult;
}

bool CGridModel::SetFixedRows(int nFixedRows)
{
    if (nFixedRows < 0)
        return false;
    if (nFixedRows == m_nFixedRows)
        return true;
    ClearSelection();
    if (m_nRows < nFixedRows && !ResizeRowCount(nFixedRows))
        return false;
    if (m_idCurrentCell.row < nFixedRows)
        SetFocusCell(-1, -1);

    if (nFixedRows > m_nFixedRows) {
        for (int r = m_nFixedRows; r < nFixedRows; ++r)
            for (int c = 0; c < m_nCols; ++c)
                if (CGridCellBase *pCell = CellAt(r, c))
                    pCell->SetState(pCell->State() | CellFixed | CellFixedRow);
    } else {
        for (int r = nFixedRows; r < m_nFixedRows; ++r) {
            for (int c = 0; c < m_nCols; ++c) {
                CGridCellBase *pCell = CellAt(r, c);
                if (!pCell)
                    continue;
                if (c < m_nFixedCols)
                    pCell->SetState(pCell->State() & ~CellFixedRow);
                else
                    pCell->SetState(pCell->State() & ~(CellFixed | CellFixedRow));
            }
        }
    }
    m_nFixedRows = nFixedRows;
    InvalidateTopLeft(true);
    ResetScrollBars();
    RepaintAll();
    return true;
}

void CGridModel::ClearFixedColumns()
{
    if (m_nFixedCols == 0)
        return;
    ClearSelection();
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nFixedCols; ++c) {
            CGridCellBase *pCell = CellAt(r, c);
            if (!pCell)
                continue;
            if (r < m_nFixedRows) {
                pCell->SetState(pCell->State() & ~CellFixedColumn);
            } else {
                pCell->SetState(pCell->State() & ~(CellFixed | CellFixedColumn));
                pCell->SetTextColour(ColourDefault);
                pCell->SetBackColour(ColourDefault);
            }
        }
    }
    m_nFixedCols = 0;
    InvalidateTopLeft(true);
    ResetScrollBars();
    RepaintAll();
}

int CGridModel::AppendRow()
{
    InvalidateTopLeft(true);
    ClearSelection();
    if (m_nCols == 0 && !ResizeColumnCount(1))
        return -1;
    try {
        Row row;
        row.reserve(static_cast<size_t>(m_nCols));
        for (int c = 0; c < m_nCols; ++c)
            row.push_back(CreateCell(m_nRows, c));
        m_arRowHeights.push_back(m_cellFixedRowDef.Height());
        try {
            m_arRows.push_back(std::move(row));
        } catch (const std::bad_alloc &) {
            m_arRowHeights.pop_back();
            throw;
        }
    } catch (const std::bad_alloc &) {
        return -1;
    }
    const int nRow = m_nRows++;
    m_nTotalHeight += m_arRowHeights.back();
    SetCellText(nRow, 0, QString());
    ResetScrollBars();
    ClearSortIndicator(m_nSortColumn);
    m_bModified = true;
    return nRow;
}

void CGridModel::ClearAll()
{
    ClearSelection();
    m_arColWidths.clear();
    m_arRowHeights.clear();
    m_nTotalHeight = 0;
    m_arRows.clear();
    m_arColOrder.clear();
    m_SelectedCellMap.clear();
    m_PrevSelectedCellMap.clear();
    m_idCurrentCell = CellId();
    m_SelectionStartCell = CellId();
    m_LeftClickDownCell = CellId();
    m_idHoverCell = CellId();
    m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
    InvalidateTopLeft(true);
    ResetScrollBars();
    if (m_nSortColumn >= 0) {
        RepaintAll();
        m_nSortColumn = -1;
    }
    m_bModified = true;
}

// ---------------------------------------------------------------- cells

CGridCellBase *CGridModel::CellAt(int nRow, int nCol) const
{
    if (!IsValid(nRow, nCol))
        return nullptr;
    const Row &row = m_arRows[static_cast<size_t>(nRow)];
    return row[static_cast<size_t>(m_arColOrder[static_cast<size_t>(nCol)])].get();
}

void CGridModel::ClearSortIndicator(int nCol)
{
    if (nCol >= 0 && nCol == m_nSortColumn) {
        m_nSortColumn = -1;
        RepaintCell(0, nCol);
    }
}

void CGridModel::MarkModified(int nRow, int nCol, CGridCellBase *pCell)
{
    Q_UNUSED(nRow);
    ClearSortIndicator(nCol);
    pCell->SetState(pCell->State() | CellModified);
    m_bModified = true;
}

bool CGridModel::SetCellText(int nRow, int nCol, const QString &text)
{
    CGridCellBase *pCell = CellAt(nRow, nCol);
    if (!pCell)
        return false;
    pCell->SetText(text);
    MarkModified(nRow, nCol, pCell);
    return true;
}

bool CGridModel::SetCellTextFormatted(int nRow, int nCol, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    const QString text = QString::vasprintf(format, args);
    va_end(args);
    return SetCellText(nRow, nCol, text);
}

bool CGridModel::SetCellTextAndFormat(int nRow, int nCol, int nTextFormat, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    ST_GRIDITEM item;
    item.strText = QString::vasprintf(format, args);
    va_end(args);
    item.row = nRow;
    item.col = nCol;
    item.nMask = GridItemText | GridItemFormat;
    item.nFormat = nTextFormat;
    return SetCell(item);
}

bool CGridModel::SetCellImage(int nRow, int nCol, int nImage)
{
    CGridCellBase *pCell = CellAt(nRow, nCol);
    if (!pCell)
        return false;
    pCell->SetImage(nImage);
    MarkModified(nRow, nCol, pCell);
    return true;
}

bool CGridModel::SetCellData(int nRow, int nCol, quintptr data)
{
    CGridCellBase *pCell = CellAt(nRow, nCol);
    if (!pCell)
        return false;
    pCell->SetData(data);
    return true;
}

quintptr CGridModel::CellData(int nRow, int nCol) const
{
    const CGridCellBase *pCell = CellAt(nRow, nCol);
    return pCell ? pCell->Data() : 0;
}

bool CGridModel::SetCellState(int nRow, int nCol, unsigned nState)
{
    CGridCellBase *pCell = CellAt(nRow, nCol);
    if (!pCell)
        return false;
    if (nState & CellSelected)
        m_SelectedCellMap[CellKey(nRow, nCol)] = CellId(nRow, nCol);
    else
        m_SelectedCellMap.erase(CellKey(nRow, nCol));
    pCell->SetState(nState);
    return true;
}

unsigned CGridModel::CellState(int nRow, int nCol) const
{
    const CGridCellBase *pCell = CellAt(nRow, nCol);
    return pCell ? pCell->State() : 0;
}

bool CGridModel::SetCell(const ST_GRIDITEM &item)
{
    CGridCellBase *pCell = CellAt(item.row, item.col);
    if (!pCell)
        return false;
    if (item.nMask & GridItemText)
        pCell->SetText(item.strText);
    if (item.nMask & GridItemImage)
        pCell->SetImage(item.iImage);
    if (item.nMask & GridItemData)
        pCell->SetData(item.lParam);
    if (item.nMask & GridItemState)
        SetCellState(item.row, item.col, item.nState);
    if (item.nMask & GridItemBackColour)
        pCell->SetBackColour(item.crBkClr);
    if (item.nMask & GridItemTextColour)
        pCell->SetTextColour(item.crFgClr);
    if (item.nMask & GridItemFormat)
        pCell->SetFormat(item.nFormat);
    if (item.nMask & GridItemFont)
        pCell->SetFont(item.font ? &*item.font : nullptr);
    if (item.nMask & GridItemMargin)
        pCell->SetMargin(item.nMargin);
    MarkModified(item.row, item.col, pCell);
    return true;
}

QString CGridModel::CellText(int nRow, int nCol) const
{
    const CGridCellBase *pCell = CellAt(nRow, nCol);
    return pCell ? pCell->Text() : QString();
}

// ---------------------------------------------------------------- sizes

int CGridModel::RowHeight(int nRow) const
{
    if (nRow < 0 || nRow >= m_nRows)
        return -1;
    return m_arRowHeights[static_cast<size_t>(nRow)];
}

int CGridModel::ColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= m_nCols)
        return -1;
    return m_arColWidths[static_cast<size_t>(nCol)];
}

bool CGridModel::ChangeRowHeight(int nRow, int nHeight)
{
    if (nHeight < 0 || nRow < 0 || nRow >= m_nRows)
        return false;
    m_nTotalHeight += nHeight - m_arRowHeights[static_cast<size_t>(nRow)];
    m_arRowHeights[static_cast<size_t>(nRow)] = nHeight;
    InvalidateTopLeft(true);
    ResetScrollBars();
    return true;
}

bool CGridModel::ChangeColumnWidth(int nCol, int nWidth)
{
    if (nWidth < 0 || nCol < 0 || nCol >= m_nCols)
        return false;
    m_arColWidths[static_cast<size_t>(nCol)] = nWidth;
    InvalidateTopLeft(true);
    ResetScrollBars();
    return true;
}

int CGridModel::FixedRowsHeight() const
{
    int n = 0;
    for (int r = 0; r < m_nFixedRows; ++r)
        n += RowHeight(r);
    return n;
}

int CGridModel::FixedColumnsWidth() const
{
    int n = 0;
    for (int c = 0; c < m_nFixedCols; ++c)
        n += ColumnWidth(c);
    return n;
}

int CGridModel::TotalHeight() const
{
    return m_nTotalHeight;
}

int CGridModel::TotalWidth() const
{
    int n = 0;
    for (const int w : m_arColWidths)
        n += w;
    return n;
}

// ---------------------------------------------------------------- defaults and look

CGridDefaultCell *CGridModel::DefaultCell(bool bFixedRow, bool bFixedCol)
{
    if (bFixedRow && bFixedCol)
        return &m_cellFixedRowColDef;
    if (bFixedRow)
        return &m_cellFixedRowDef;
    if (bFixedCol)
        return &m_cellFixedColDef;
    return &m_cellDefault;
}

const CGridDefaultCell *CGridModel::DefaultCell(bool bFixedRow, bool bFixedCol) const
{
    return const_cast<CGridModel *>(this)->DefaultCell(bFixedRow, bFixedCol);
}

void CGridModel::SetGridFont(const QFont &font)
{
    for (CGridDefaultCell *pDef : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
        pDef->SetFont(&font);
    RepaintAll();
}

const QFont &CGridModel::GridFont() const
{
    return *m_cellDefault.RealisedFont();
}

void CGridModel::OnSysColourChange()
{
    if (!m_pPlatform)
        return;
    const COLORREF crOldText = m_crText;
    const COLORREF crOldBack = m_crBack;
    const COLORREF crOldFixed = m_crFixedBack;
    const COLORREF crOldShadow = m_crShadow;
    m_crText = m_pPlatform->SysColour(GridSysColour::WindowText);
    m_crBack = m_pPlatform->SysColour(GridSysColour::Window);
    m_crFixedBack = m_pPlatform->SysColour(GridSysColour::ButtonFace);
    m_crShadow = m_pPlatform->SysColour(GridSysColour::ButtonShadow);
    for (CGridDefaultCell *pDef : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
        if (pDef->TextColour() == crOldText)
            pDef->SetTextColour(m_crText);
        if (pDef->BackColour() == crOldBack)
            pDef->SetBackColour(m_crBack);
        else if (pDef->BackColour() == crOldFixed)
            pDef->SetBackColour(m_crFixedBack);
    }
    if (m_crWindowBack == crOldShadow)
        m_crWindowBack = m_crShadow;
    RepaintAll();
}

// ---------------------------------------------------------------- settings

void CGridModel::SetRedraw(bool bAllow)
{
    m_bAllowDraw.store(bAllow);
    if (bAllow) {
        // Size changes made while drawing was off did not reach the bars.
        ResetScrollBars();
        RepaintAll();
    }
}

void CGridModel::WaitForDrawComplete() const
{
    while (!m_bDrawComplete.load())
        qCDebug(lcGrid, "SetRedraw Waite\n");
}

void CGridModel::EnableSelection(bool b)
{
    ClearSelection();
    m_bEnableSelection = b;
}

void CGridModel::SetRowSelectMode(bool bOn)
{
    ClearSelection();
    if (m_nSortColumn >= 0)
        RepaintCell(0, m_nSortColumn);
    m_bListMode = bOn;
    m_nSortColumn = -1;
    m_bFixedColumnSelection = false;
    RepaintAll();
}

// ---------------------------------------------------------------- sorting

int CGridModel::CompareByText(const CGridCellBase *pCell1, const CGridCellBase *pCell2, quintptr)
{
    if (!pCell1 || !pCell2)
        return 0;
    // Ordinal: UTF-16 code units as unsigned values, a shorter prefix first.
    const int n = pCell1->Text().compare(pCell2->Text(), Qt::CaseSensitive);
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

bool CGridModel::SortByText(int nCol, bool bAscending)
{
    return SortWith(m_pfnCompare ? m_pfnCompare : &CGridModel::CompareByText, nCol, bAscending);
}

bool CGridModel::SortWith(GridCompareFunc pFunc, int nCol, bool bAscending)
{
    if (!pFunc || nCol < 0 || nCol >= m_nCols)
        return false;
    if (m_nSortColumn >= 0)
        RepaintCell(0, m_nSortColumn);
    m_nSortColumn = nCol;
    m_bAscending = bAscending;
    RepaintCell(0, nCol);
    ClearSelection();

    const int lo = m_nFixedRows;
    const int hi = m_nRows - 1;
    if (hi - lo >= 1) {
        QuickSort(pFunc, nCol, lo, hi, bAscending);
        InvalidateTopLeft(true);
        RepaintAll();
    }
    return true;
}

void CGridModel::QuickSort(GridCompareFunc pFunc, int nCol, int lo, int hi, bool bAscending)
{
    // The second part is handled by the loop, the smaller one by recursion, so
    // the depth stays logarithmic; the order of the steps is the plain quicksort's.
    while (lo < hi) {
        const CGridCellBase *pPivot = CellAt((lo + hi) / 2, nCol);
        int i = lo;
        int j = hi;
        while (i <= j) {
            if (bAscending) {
                while (i < hi && pFunc(CellAt(i, nCol), pPivot, 0) < 0)
                    ++i;
                while (j > lo && pFunc(CellAt(j, nCol), pPivot, 0) > 0)
                    --j;
            } else {
                while (i < hi && pFunc(CellAt(i, nCol), pPivot, 0) > 0)
                    ++i;
                while (j > lo && pFunc(CellAt(j, nCol), pPivot, 0) < 0)
                    --j;
            }
            if (j < i)
                break;
            if (pFunc(CellAt(i, nCol), CellAt(j, nCol), 0) != 0)
                SwapRows(i, j);
            ++i;
            --j;
        }
        if (j - lo < hi - i) {
            if (lo < j)
                QuickSort(pFunc, nCol, lo, j, bAscending);
            lo = i;
        } else {
            if (i < hi)
                QuickSort(pFunc, nCol, i, hi, bAscending);
            hi = j;
        }
    }
}

void CGridModel::SwapRows(int nRow1, int nRow2)
{
    std::swap(m_arRows[static_cast<size_t>(nRow1)], m_arRows[static_cast<size_t>(nRow2)]);
    std::swap(m_arRowHeights[static_cast<size_t>(nRow1)], m_arRowHeights[static_cast<size_t>(nRow2)]);
}

void CGridModel::Renumber()
{
    int k = 1;
    for (int r = m_nFixedRows; r < m_nRows; ++r, ++k)
        SetCellTextFormatted(r, 0, "%04d", k);
}

// ---------------------------------------------------------------- redraw

void CGridModel::RepaintAll()
{
    if (CanRedraw())
        m_pPlatform->InvalidateAll();
}

bool CGridModel::RepaintCell(int nRow, int nCol)
{
    if (!CanRedraw() || !IsValid(nRow, nCol))
        return false;
    if (!IsCellVisible(nRow, nCol))
        return true;
    QRect rect;
    if (CellRect(nRow, nCol, rect))
        m_pPlatform->InvalidateRect(rect);
    return true;
}
