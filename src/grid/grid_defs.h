#pragma once

#include <QFont>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <optional>

// Colour reference as the grid stores it: 0x00BBGGRR.
using COLORREF = std::uint32_t;

// "Not set": the cell takes the colour of its default cell.
inline constexpr COLORREF ColourDefault = 0xFF000000u;

constexpr COLORREF MakeColour(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// Cell state flags.
enum : unsigned {
    CellFocused = 0x0001,
    CellSelected = 0x0002,
    CellDropHighlighted = 0x0004,
    CellReadOnly = 0x0008,
    CellFixed = 0x0010,
    CellFixedRow = 0x0020,
    CellFixedColumn = 0x0040,
    CellModified = 0x0080,
};

// Text format flags, in the DrawText encoding the cells store.
enum : int {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_WORD_ELLIPSIS = 0x40000,
};

// Format of a freshly made default cell: left, centred vertically, one line, "..." at the end.
inline constexpr int DefaultCellFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

// Mask bits of ST_GRIDITEM.
enum : unsigned {
    GridItemText = 0x01,
    GridItemImage = 0x02,
    GridItemData = 0x04,
    GridItemState = 0x08,
    GridItemBackColour = 0x10,
    GridItemTextColour = 0x20,
    GridItemFormat = 0x40,
    GridItemFont = 0x80,
    GridItemMargin = 0x100,
};

// Codes of the notifications the grid sends to its parent (list-view and common codes).
enum GridNotifyCode : int {
    GridNotifyClick = -2,
    GridNotifyDoubleClick = -3,
    GridNotifyRightClick = -5,
    GridNotifySelChanging = -100,
    GridNotifySelChanged = -101,
    GridNotifyBeginDrag = -109,
};

// Grid-line modes.
enum : int { GridLinesNone = 0, GridLinesHorz = 1, GridLinesVert = 2, GridLinesBoth = 3 };

// Scopes of column fitting; 0 = the grid's default scope.
enum : int { FitScopeDefault = 0, FitScopeFixed = 1, FitScopeNonFixed = 2, FitScopeAll = 3 };

struct CellId
{
    int row = -1;
    int col = -1;

    constexpr CellId() = default;
    constexpr CellId(int nRow, int nCol) : row(nRow), col(nCol) {}
    constexpr bool IsValid() const { return row >= 0 && col >= 0; }
    friend constexpr bool operator==(const CellId &, const CellId &) = default;
};

struct CellRange
{
    int nMinRow = -1;
    int nMinCol = -1;
    int nMaxRow = -1;
    int nMaxCol = -1;

    constexpr CellRange() = default;
    constexpr CellRange(int minRow, int minCol, int maxRow, int maxCol)
        : nMinRow(minRow), nMinCol(minCol), nMaxRow(maxRow), nMaxCol(maxCol)
    {
    }
    constexpr bool IsValid() const
    {
        return nMinRow >= 0 && nMinCol >= 0 && nMaxRow >= 0 && nMaxCol >= 0 && nMinRow <= nMaxRow
               && nMinCol <= nMaxCol;
    }
    constexpr bool Contains(int row, int col) const
    {
        return IsValid() && row >= nMinRow && row <= nMaxRow && col >= nMinCol && col <= nMaxCol;
    }
    friend constexpr bool operator==(const CellRange &, const CellRange &) = default;
};

// Several properties of one cell at once; `nMask` says which fields count.
struct ST_GRIDITEM
{
    int row = -1;
    int col = -1;
    unsigned nMask = 0;
    unsigned nState = 0;
    int nFormat = -1;
    int iImage = -1;
    COLORREF crBkClr = ColourDefault;
    COLORREF crFgClr = ColourDefault;
    quintptr lParam = 0;
    QString strText;
    std::optional<QFont> font;
    int nMargin = -1;
};
