#pragma once

#include "grid/grid_cell.h"
#include "grid/grid_defs.h"
#include "grid/grid_platform.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class CGridImageList;
class QPainter;

enum class GridScroll { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom };

// Mouse modes of the grid.
enum : int {
    MouseNothing = 0,
    MouseSelectAll = 1,
    MouseSelectCol = 2,
    MouseSelectRow = 3,
    MouseSelectCells = 4,
    MouseOverRowDivide = 6,
    MouseSizingRow = 7,
    MouseOverColDivide = 8,
    MouseSizingCol = 9,
    MousePrepareDrag = 11,
    MouseDragging = 12,
};

// compare(cell A, cell B, user value) -> negative / zero / positive
using GridCompareFunc = int (*)(const CGridCellBase *pCell1, const CGridCellBase *pCell2, quintptr lParam);

// The grid without its window: cells, sizes, states, the selection, sorting,
// geometry, painting and the input logic.  Window services come through
// IGridPlatform; CGridCtrl puts the whole on a Qt widget.
class CGridModel
{
public:
    explicit CGridModel(IGridPlatform *pPlatform = nullptr);
    CGridModel(const CGridModel &) = delete;
    CGridModel &operator=(const CGridModel &) = delete;
    virtual ~CGridModel();

    // --- structure ---
    int RowCount() const { return m_nRows; }
    int ColumnCount() const { return m_nCols; }
    int FixedRowCount() const { return m_nFixedRows; }
    int FixedColumnCount() const { return m_nFixedCols; }
    bool ResizeRowCount(int nRows);
    bool ResizeColumnCount(int nCols);
    bool SetFixedRows(int nFixedRows);
    void ClearFixedColumns();
    int AppendRow();
    void ClearAll();
    bool IsValid(int nRow, int nCol) const { return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols; }

    // --- cells ---
    CGridCellBase *CellAt(int nRow, int nCol) const;
    bool SetCellText(int nRow, int nCol, const QString &text);
    // printf-style with Qt's rules: "%s" takes UTF-8 (qUtf8Printable(text)).
    bool SetCellTextFormatted(int nRow, int nCol, const char *format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(4, 5);
    bool SetCellTextAndFormat(int nRow, int nCol, int nTextFormat, const char *format, ...)
        Q_ATTRIBUTE_FORMAT_PRINTF(5, 6);
    bool SetCellImage(int nRow, int nCol, int nImage);
    bool SetCellData(int nRow, int nCol, quintptr data);
    quintptr CellData(int nRow, int nCol) const;
    bool SetCellState(int nRow, int nCol, unsigned nState);
    unsigned CellState(int nRow, int nCol) const;
    bool SetCell(const ST_GRIDITEM &item);
    QString CellText(int nRow, int nCol) const;

    // --- sizes ---
    int RowHeight(int nRow) const;
    int ColumnWidth(int nCol) const;
    bool ChangeRowHeight(int nRow, int nHeight);
    bool ChangeColumnWidth(int nCol, int nWidth);
    int FixedRowsHeight() const;
    int FixedColumnsWidth() const;
    int TotalHeight() const;
    int TotalWidth() const;
    bool FitRowHeight(int nRow, bool bResetScroll = true);
    bool FitColumnWidth(int nCol, int nScope = FitScopeDefault, bool bResetScroll = true);
    void FitAllRowHeights();
    void FitAllColumnWidths();

    // --- default cells and look ---
    CGridDefaultCell *DefaultCell(bool bFixedRow, bool bFixedCol);
    const CGridDefaultCell *DefaultCell(bool bFixedRow, bool bFixedCol) const;
    // Font of the whole grid: all four default cells take it.
    void SetGridFont(const QFont &font);
    const QFont &GridFont() const;
    void AttachImageList(const CGridImageList *pList) { m_pImageList = pList; }
    const CGridImageList *ImageList() const { return m_pImageList; }

    COLORREF GridLineColour() const { return m_crGridLine; }
    void SetGridLineColour(COLORREF cr) { m_crGridLine = cr; }
    COLORREF DefaultTextColour() const { return m_crText; }
    COLORREF DefaultBackColour() const { return m_crBack; }
    COLORREF FixedBackColour() const { return m_crFixedBack; }
    COLORREF ShadowColour() const { return m_crShadow; }
    COLORREF WindowBackColour() const { return m_crWindowBack; }
    void SetWindowBackColour(COLORREF cr) { m_crWindowBack = cr; }
    COLORREF FocusBackColour() const { return m_crFocusBack; }
    COLORREF FocusTextColour() const { return m_crFocusText; }
    COLORREF SelectedBackColour() const { return m_crSelBack; }
    COLORREF SelectedTextColour() const { return m_crSelText; }
    void SetFocusColours(COLORREF crBack, COLORREF crText) { m_crFocusBack = crBack; m_crFocusText = crText; }
    void SetSelectedColours(COLORREF crBack, COLORREF crText) { m_crSelBack = crBack; m_crSelText = crText; }
    COLORREF TitleTipBackColour() const { return m_crTTipBack; }
    COLORREF TitleTipTextColour() const { return m_crTTipText; }
    void SetTitleTipColours(COLORREF crBack, COLORREF crText) { m_crTTipBack = crBack; m_crTTipText = crText; }
    // The system colours changed: defaults that followed them take the new ones.
    void OnSysColourChange();

    // --- settings ---
    bool IsModified() const { return m_bModified; }
    void SetModified(bool b) { m_bModified = b; }
    // Drawing off/on; on again recomputes the scroll bars and redraws.
    void SetRedraw(bool bAllow);
    bool IsRedrawAllowed() const { return m_bAllowDraw.load(); }
    bool IsDrawComplete() const { return m_bDrawComplete.load(); }
    // Busy wait until no paint is under way (the window's close and re-layout handshake).
    void WaitForDrawComplete() const;
    bool IsEditable() const { return m_bEditable; }
    void SetEditable(bool b) { m_bEditable = b; }
    bool IsSelectable() const { return m_bEnableSelection; }
    void EnableSelection(bool b);
    bool FrameFocusCell() const { return m_bFrameFocus; }
    void SetFrameFocusCell(bool b) { m_bFrameFocus = b; }
    int GridLines() const { return m_nGridLines; }
    void SetGridLines(int n) { m_nGridLines = n; }
    int WheelScrollLines() const { return m_nRowsPerWheelNotch; }
    void SetWheelScrollLines(int n) { m_nRowsPerWheelNotch = n; }
    bool RowSelectMode() const { return m_bListMode; }
    void SetRowSelectMode(bool bOn);
    bool SingleRowSelection() const { return m_bSingleRowSelection; }
    void SetSingleRowSelection(bool b) { m_bSingleRowSelection = b; }
    bool SingleColSelection() const { return m_bSingleColSelection; }
    void SetSingleColSelection(bool b) { m_bSingleColSelection = b; }
    bool HeaderSort() const { return m_bSortOnClick; }
    void SetHeaderSort(bool b) { m_bSortOnClick = b; }
    bool RowNumberColumn() const { return m_bRowNumberColumn; }
    void SetRowNumberColumn(bool b) { m_bRowNumberColumn = b; }
    bool FixedRowSelection() const { return m_bFixedRowSelection; }
    void SetFixedRowSelection(bool b) { m_bFixedRowSelection = b; }
    bool FixedColumnSelection() const { return m_bFixedColumnSelection; }
    void SetFixedColumnSelection(bool b) { m_bFixedColumnSelection = b; }
    bool DragAndDrop() const { return m_bAllowDragAndDrop; }
    void SetDragAndDrop(bool b) { m_bAllowDragAndDrop = b; }
    void SetColumnResize(bool b) { m_bAllowColumnResize = b; }
    void SetRowResize(bool b) { m_bAllowRowResize = b; }
    void SetAllowColHide(bool b) { m_bAllowColHide = b; }
    void SetAllowRowHide(bool b) { m_bAllowRowHide = b; }
    bool TitleTips() const { return m_bTitleTips; }
    void EnableTitleTips(bool b) { m_bTitleTips = b; }
    bool DoubleBuffering() const { return m_bDoubleBuffer; }
    void SetDoubleBuffering(bool b) { m_bDoubleBuffer = b; }
    bool HighlightHeaders() const { return m_bHighlightHeaders; }
    void SetHighlightHeaders(bool b) { m_bHighlightHeaders = b; }
    // False: a cell without text or image is never selected (the empty
    // places after the last thumbnail).
    void SetEmptyCellsSelectable(bool b) { m_bSelectEmptyCells = b; }
    void SetTabMovesToNextControl(bool b) { m_bTabMovesToNext = b; }
    bool WantsTab() const { return m_bWantsTab; }
    int MouseMode() const { return m_nMouseMode; }

    // --- sorting ---
    void SetCompareFunction(GridCompareFunc pFunc) { m_pfnCompare = pFunc; }
    bool SortByText(int nCol, bool bAscending);
    bool SortWith(GridCompareFunc pFunc, int nCol, bool bAscending);
    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bAscending; }
    static int CompareByText(const CGridCellBase *pCell1, const CGridCellBase *pCell2, quintptr lParam);

    // --- redraw ---
    void RepaintAll();
    bool RepaintCell(int nRow, int nCol);

    // --- geometry and scrolling ---
    bool CellOrigin(int nRow, int nCol, QPoint &origin) const;
    bool CellRect(int nRow, int nCol, QRect &rect) const;
    CellId CellFromPoint(QPoint pt, bool bAllowFixed = true) const;
    CellId TopLeftNonFixedCell() const;
    CellRange VisibleNonFixedRange(QRect *pRect = nullptr) const;
    CellRange FullyVisibleNonFixedRange(QRect *pRect = nullptr) const;
    bool IsCellVisible(int nRow, int nCol) const;
    bool IsCellFullyVisible(int nRow, int nCol) const;
    void EnsureCellVisible(int nRow, int nCol);
    void ResetScrollBars();
    // nMax of each bar (0 when hidden) and which bars are shown (1 horizontal, 2 vertical).
    int ScrollMax(Qt::Orientation orient) const { return orient == Qt::Vertical ? m_nVScrollMax : m_nHScrollMax; }
    int ScrollPage(Qt::Orientation orient) const { return orient == Qt::Vertical ? m_nVScrollPage : m_nHScrollPage; }
    int BarState() const { return m_nBarState; }
    void OnScroll(Qt::Orientation orient, GridScroll code, int nTrackPos = 0);
    // nDelta in wheel units (120 a notch, smooth wheels send parts of one);
    // nPixels, when the device sends it, scrolls by pixels instead.
    void OnMouseWheel(int nDelta, int nPixels = 0);
    void OnSize();
    // The scroll position changed from outside (a bar moved it).
    void OnScrollPosChanged();

    // --- painting ---
    void OnDraw(QPainter &painter);

    // --- selection ---
    CellId SetFocusCell(int nRow, int nCol);
    CellId FocusCell() const { return m_idCurrentCell; }
    void SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, bool bForceRepaint = false,
                          bool bSelectCells = true);
    void SetSelectedRange(const CellRange &range, bool bForceRepaint = false, bool bSelectCells = true);
    void SelectAllCells();
    void SelectColumns(CellId currentCell, bool bForceRedraw = false, bool bSelectCells = true);
    void SelectRows(CellId currentCell, bool bForceRedraw = false, bool bSelectCells = true);
    void SelectCells(CellId currentCell, bool bForceRedraw = false, bool bSelectCells = true);
    void ClearSelection();
    bool IsCellSelected(int nRow, int nCol) const;
    CellRange SelectedRange() const;
    int SelectedCount() const { return static_cast<int>(m_SelectedCellMap.size()); }
    int NextSelectedRow(int nRow) const;
    void SelectRowAndScroll(int nRow);

    // --- mouse and keys (window coordinates of the client area) ---
    void OnLButtonDown(QPoint pt, bool bShift, bool bControl);
    void OnMouseMove(QPoint pt, bool bButtonDown);
    void OnLButtonUp(QPoint pt);
    void OnLButtonDblClk(QPoint pt);
    void OnRButtonUp(QPoint pt);
    // Key codes are Qt::Key values.  False when the key was not used.
    bool OnKeyDown(int nKey, bool bShift, bool bControl);
    void OnAutoScrollTimer();
    // The mouse went elsewhere while held (focus or activation lost, a release
    // the grid never saw): the press ends without a click.
    void OnCaptureLost();
    void OnMouseLeave();

    // --- clipboard and drag ---
    // Tab-separated text of the selection; nothing without a complete selection.
    std::optional<QString> SelectionAsText() const;
    void CopySelection();
    void BeginDragOut();

    IGridPlatform *Platform() const { return m_pPlatform; }

protected:
    void AttachPlatform(IGridPlatform *pPlatform);
    // Whether drawing reaches a window now.
    bool CanRedraw() const { return m_pPlatform && m_pPlatform->HasWindow() && m_bAllowDraw.load(); }

private:
    using Row = std::vector<std::unique_ptr<CGridCellBase>>;
    static quint64 CellKey(int nRow, int nCol)
    {
        return (static_cast<quint64>(static_cast<unsigned>(nCol)) << 32) | static_cast<unsigned>(nRow);
    }

    std::unique_ptr<CGridCellBase> CreateCell(int nRow, int nCol);
    void MarkModified(int nRow, int nCol, CGridCellBase *pCell);
    void ClearSortIndicator(int nCol);
    void InvalidateTopLeft(bool bSizesChanged);
    void QuickSort(GridCompareFunc pFunc, int nCol, int lo, int hi, bool bAscending);
    void SwapRows(int nRow1, int nRow2);
    void Renumber();
    void HeaderClick(CellId cell);
    void DeselectAll();
    void DrawCell(QPainter &painter, int nRow, int nCol, const QRect &rect);
    void RedrawCellNow(int nRow, int nCol);
    void RedrawFocusHeaders(CellId cell, bool bRowChanged, bool bColChanged);
    CellRange VisibleRange(QRect *pRect, bool bFully) const;
    int ScrollPos(Qt::Orientation orient) const;
    void SetScrollPos(Qt::Orientation orient, int nPos);
    int ScrollLimit(Qt::Orientation orient) const;
    bool MouseOverColumnResizeArea(QPoint pt) const;
    bool MouseOverRowResizeArea(QPoint pt) const;
    int DividerIndex(CellId cell, QPoint pt, Qt::Orientation orient, bool bSkipHidden) const;
    void ShowTipFor(CellId cell);
    void MoveFocusByKey(CellId next, bool bShift, bool bWrapTab, int nKey);
    void ApplySelectionForMove(CellId cell, bool bShift);
    void ScrollUntilEndVisible(Qt::Orientation orient, int nRow, int nCol);
    int FirstRowWithHeight(int nFrom, int nStep, int nLimit) const;
    int FirstColWithWidth(int nFrom, int nStep, int nLimit) const;

    IGridPlatform *m_pPlatform = nullptr;

    std::vector<Row> m_arRows;
    std::vector<int> m_arRowHeights;
    int m_nTotalHeight = 0; // sum of m_arRowHeights, kept so adding a row costs no pass over all rows
    std::vector<int> m_arColWidths;
    std::vector<int> m_arColOrder;
    int m_nRows = 0;
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;

    CGridDefaultCell m_cellDefault;
    CGridDefaultCell m_cellFixedColDef;
    CGridDefaultCell m_cellFixedRowDef;
    CGridDefaultCell m_cellFixedRowColDef;

    CellId m_idCurrentCell;
    CellId m_SelectionStartCell;
    CellId m_LeftClickDownCell;
    QPoint m_LeftClickDownPoint;
    QPoint m_LastMousePoint;
    std::unordered_map<quint64, CellId> m_SelectedCellMap;
    std::unordered_map<quint64, CellId> m_PrevSelectedCellMap;

    int m_nSortColumn = -1;
    bool m_bAscending = true;
    GridCompareFunc m_pfnCompare = nullptr;

    const CGridImageList *m_pImageList = nullptr;

    COLORREF m_crGridLine = 0x00C0C0C0;
    COLORREF m_crText = 0;
    COLORREF m_crBack = 0x00FFFFFF;
    COLORREF m_crFixedBack = 0x00C0C0C0;
    COLORREF m_crShadow = 0x00808080;
    COLORREF m_crWindowBack = 0x00808080;
    COLORREF m_crFocusBack = 0x00800000;
    COLORREF m_crFocusText = 0x00FFFFFF;
    COLORREF m_crSelBack = 0x00800000;
    COLORREF m_crSelText = 0x00FFFFFF;
    COLORREF m_crTTipBack = ColourDefault;
    COLORREF m_crTTipText = ColourDefault;

    bool m_bModified = false;
    std::atomic<bool> m_bAllowDraw{true};
    std::atomic<bool> m_bDrawComplete{true};
    bool m_bEditable = true;
    bool m_bListMode = false;
    bool m_bEnableSelection = true;
    bool m_bFrameFocus = true;
    int m_nGridLines = GridLinesBoth;
    int m_nRowsPerWheelNotch = 3;
    bool m_bSingleRowSelection = false;
    bool m_bSingleColSelection = false;
    bool m_bSortOnClick = false;
    bool m_bRowNumberColumn = true;
    bool m_bFixedRowSelection = true;
    bool m_bFixedColumnSelection = true;
    bool m_bAllowSelectFixed = false;
    bool m_bAllowColumnResize = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColHide = true;
    bool m_bAllowRowHide = true;
    bool m_bHiddenColUnhide = true;
    bool m_bHiddenRowUnhide = true;
    int m_nResizeCaptureRange = 3;
    bool m_bHighlightHeaders = true;
    bool m_bSelectEmptyCells = true;
    bool m_bTitleTips = true;
    bool m_bTabMovesToNext = false;
    bool m_bWantsTab = true;
    bool m_bAllowDragAndDrop = false;
    bool m_bDoubleBuffer = true;
    int m_nFitScope = FitScopeAll;

    int m_nMouseMode = MouseNothing;
    bool m_bLMouseButtonDown = false;
    bool m_bMouseMoved = false;
    int m_nResizeIndex = -1;
    int m_nResizeOrigin = 0;
    CellId m_idHoverCell;
    QRect m_rectTipHover; // cell of the title tip last asked for; empty when none
    int m_nWheelRest = 0; // part of a wheel step not yet scrolled

    // Top-left non-fixed cell and the summed sizes before it; the row and
    // column stay usable as a starting point while only the scroll position moves.
    mutable CellId m_idTopLeft;
    mutable bool m_bTopLeftValid = false;
    mutable bool m_bTopLeftHintValid = false;
    mutable int m_nTopRowOffset = 0;
    mutable int m_nLeftColOffset = 0;

    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;
    int m_nVScrollPage = 0;
    int m_nHScrollPage = 0;
    int m_nBarState = 0;
};
