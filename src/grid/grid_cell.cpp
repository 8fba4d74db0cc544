#include "grid/grid_cell.h"

#include "grid/grid_image_list.h"
#include "grid/grid_log.h"
#include "grid/grid_model.h"
#include "grid/grid_text.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

// ---------------------------------------------------------------- base

int CGridCellBase::Format() const
{
    const CGridDefaultCell *pDef = DefaultsCell();
    return pDef ? pDef->Format() : DefaultCellFormat;
}

const QFont *CGridCellBase::Font() const
{
    const CGridDefaultCell *pDef = DefaultsCell();
    return pDef ? pDef->Font() : nullptr;
}

const QFont *CGridCellBase::RealisedFont() const
{
    const CGridDefaultCell *pDef = DefaultsCell();
    return pDef ? pDef->RealisedFont() : nullptr;
}

int CGridCellBase::Margin() const
{
    const CGridDefaultCell *pDef = DefaultsCell();
    return pDef ? pDef->Margin() : 0;
}

const CGridDefaultCell *CGridCellBase::DefaultsCell() const
{
    const CGridModel *pGrid = Grid();
    if (!pGrid)
        return nullptr;
    return pGrid->DefaultCell(IsInFixedRow(), IsInFixedColumn());
}

void CGridCellBase::CopyFrom(const CGridCellBase &cell)
{
    SetText(cell.Text());
    SetImage(cell.Image());
    SetData(cell.Data());
    SetState(cell.State());
    SetFormat(cell.Format());
    SetTextColour(cell.TextColour());
    SetBackColour(cell.BackColour());
    SetFont(cell.UsesDefaultFont() ? nullptr : cell.Font());
    SetMargin(cell.Margin());
    m_bImageAboveText = cell.ImageAboveText();
}

void CGridCellBase::ResetToDefaults()
{
    m_nState = 0;
    m_bImageAboveText = false;
}

bool CGridCellBase::TextRect(QRect &rect) const
{
    const CGridModel *pGrid = Grid();
    if (!pGrid)
        return false;
    const CGridImageList *pList = pGrid->ImageList();
    if (pList && Image() >= 0) {
        const QSize image = pList->ImageSize();
        if (m_bImageAboveText)
            rect.setTop(rect.top() + Margin() + image.height() + 1);
        else
            rect.setLeft(rect.left() + Margin() + image.width() + 1);
    }
    return true;
}

QSize CGridCellBase::MeasureText(const QString &text, int nCol) const
{
    const CGridModel *pGrid = Grid();
    const CGridDefaultCell *pDef = DefaultsCell();
    if (!pGrid || !pDef)
        return {0, 0};
    if (text.isEmpty())
        return {pDef->Width(), pDef->Height()};
    const IGridPlatform *pPlatform = pGrid->Platform();
    if (!pPlatform || !pPlatform->CanMeasure())
        return {pDef->Width(), pDef->Height()};

    const QFont *pFont = RealisedFont();
    const QFont font = pFont ? *pFont : QFont();
    const int nFormat = Format();
    QSize size;
    if ((nFormat & DT_SINGLELINE) || !(nFormat & DT_WORDBREAK)) {
        size = pPlatform->TextExtent(font, text);
    } else {
        int nWidth = 0;
        if (nCol >= 0) {
            nWidth = std::max(pGrid->ColumnWidth(nCol) - 3, 1);
        } else {
            for (const QString &line : text.split(QLatin1Char('\n')))
                nWidth = std::max(nWidth, pPlatform->TextExtent(font, line).width());
        }
        size = QSize(nWidth, pPlatform->WrappedTextHeight(font, text, std::max(nWidth, 1)));
        // An elided caption takes two lines at most.
        if (nFormat & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
            size.setHeight(std::min(size.height(), 2 * pPlatform->TextExtent(font, QStringLiteral("M")).height()));
    }
    const int nMargin = Margin();
    return {size.width() + 2 * nMargin, size.height() + 2 * nMargin};
}

QSize CGridCellBase::MeasureCell(int nCol) const
{
    const CGridModel *pGrid = Grid();
    if (!pGrid)
        return {0, 0};
    const QSize text = MeasureText(Text(), nCol);
    const int nMargin = Margin();
    int nImageWidth = 0;
    int nImageHeight = 0;
    int nImageRawHeight = 0;
    const CGridImageList *pList = pGrid->ImageList();
    if (pList && Image() >= 0) {
        const QSize image = pList->ImageSize();
        nImageWidth = image.width();
        if (text.width() > 2 * nMargin)
            nImageWidth += nMargin;
        nImageRawHeight = image.height();
        nImageHeight = image.height() + 2 * nMargin;
    }
    QSize size(text.width() + nImageWidth + 1, 0);
    if (m_bImageAboveText && nImageRawHeight > 0)
        size.setHeight(text.height() + nImageRawHeight + 2 * nMargin + 1);
    else
        size.setHeight(std::max(text.height(), nImageHeight) + 1);
    if (IsFixed())
        size += QSize(1, 1);
    return size;
}

namespace {

void FillRect(QPainter &painter, const QRect &rect, COLORREF cr)
{
    painter.fillRect(rect, ToQColor(cr));
}

// One-pixel 3-D edge round `rect`: `crTopLeft` on the top and left, `crBottomRight` on the others.
void DrawEdge(QPainter &painter, const QRect &rect, COLORREF crTopLeft, COLORREF crBottomRight)
{
    painter.setPen(ToQColor(crTopLeft));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(ToQColor(crBottomRight));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void DrawSortArrow(QPainter &painter, const QRect &arrow, bool bAscending, COLORREF crLight, COLORREF crShadow)
{
    const int l = arrow.left();
    const int r = arrow.right();
    const int t = arrow.top();
    const int b = arrow.bottom();
    const int mid = (l + r) / 2;
    QPolygon tri;
    if (bAscending)
        tri << QPoint(l, b) << QPoint(r, b) << QPoint(mid, t);
    else
        tri << QPoint(l, t) << QPoint(r, t) << QPoint(mid, b);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(ToQColor(crLight));
    painter.drawPolygon(tri);
    painter.setPen(ToQColor(crShadow));
    painter.drawPolygon(tri.translated(-1, -1));
}

} // namespace

bool CGridCellBase::Draw(QPainter *pPainter, int nRow, int nCol, QRect rect, bool bEraseBkgnd)
{
    CGridModel *pGrid = Grid();
    if (!pGrid || !pPainter || rect.isEmpty())
        return false;
    const CGridDefaultCell *pDef = DefaultsCell();
    if (!pDef)
        return false;
    QPainter &painter = *pPainter;
    painter.save();

    COLORREF crText = TextColour() == ColourDefault ? pDef->TextColour() : TextColour();
    COLORREF crBack = BackColour() == ColourDefault ? pDef->BackColour() : BackColour();
    if (BackColour() != ColourDefault)
        bEraseBkgnd = true;

    const IGridPlatform *pPlatform = pGrid->Platform();
    const auto sys = [pPlatform](GridSysColour which, COLORREF fallback) {
        return pPlatform ? pPlatform->SysColour(which) : fallback;
    };

    if (IsFocused() || IsDropTargetHighlighted()) {
        if (IsSelected()) {
            crBack = pGrid->FocusBackColour();
            if (TextColour() == crBack)
                crText = pGrid->FocusTextColour();
        }
        FillRect(painter, rect, crBack);
        if (pGrid->FrameFocusCell()) {
            painter.setPen(ToQColor(crText));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
    } else if (IsSelected()) {
        FillRect(painter, rect, pGrid->SelectedBackColour());
        crText = TextColour() == BackColour() ? pGrid->SelectedTextColour() : crText;
    } else if (bEraseBkgnd) {
        FillRect(painter, rect, crBack);
    }

    // The right and bottom pixels belong to the grid lines.
    QRect inner(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    if (IsFixed() && pGrid->GridLines() != GridLinesNone && inner.width() > 1 && inner.height() > 1) {
        const CellId focus = pGrid->FocusCell();
        const bool bSunken = pGrid->HighlightHeaders() && focus.IsValid()
                             && (focus.row == nRow || focus.col == nCol);
        const COLORREF crLight = sys(GridSysColour::ButtonHighlight, 0x00FFFFFF);
        if (bSunken)
            DrawEdge(painter, inner, sys(GridSysColour::ButtonShadow, 0x00808080), crLight);
        else
            DrawEdge(painter, inner, crLight, sys(GridSysColour::DarkShadow, 0x00404040));
        inner.adjust(1, 1, -1, -1);
    }

    if (const QFont *pFont = RealisedFont())
        painter.setFont(*pFont);
    // The margin applies left and right only: rows are often not much taller than the text.
    const QRect content = inner;
    const int nMargin = Margin();
    inner.adjust(nMargin, 0, -nMargin, 0);

    // An image fits when it fits the cell with its margins as slack (a thumbnail
    // column is exactly image + two margins wide); above text it keeps the top margin.
    const CGridImageList *pList = pGrid->ImageList();
    if (pList && Image() >= 0) {
        const QImage image = pList->Image(Image());
        const QPoint at(inner.left(), m_bImageAboveText ? inner.top() + nMargin : inner.top());
        if (!image.isNull() && at.x() + image.width() <= content.right() + 1
            && at.y() + image.height() <= content.bottom() + 1)
            painter.drawImage(at, image);
    }

    if (nRow == 0 && nCol == pGrid->SortColumn() && pPlatform && pPlatform->CanMeasure()) {
        const QFont font = RealisedFont() ? *RealisedFont() : QFont();
        const int nSize = std::min(pPlatform->TextExtent(font, QStringLiteral("M")).height() - 4,
                                   inner.height() - 4);
        if (nSize > 0 && inner.width() > nSize) {
            const int nTop = inner.top() + (inner.height() - nSize) / 2;
            const QRect arrow(inner.right() - nSize + 1, nTop, nSize, nSize);
            DrawSortArrow(painter, arrow, pGrid->SortAscending(), sys(GridSysColour::ButtonHighlight, 0x00FFFFFF),
                          sys(GridSysColour::ButtonShadow, 0x00808080));
            inner.setRight(inner.right() - nSize);
        }
    }

    QRect textRect = inner;
    if (TextRect(textRect)) {
        painter.setPen(ToQColor(crText));
        DrawFormattedText(painter, textRect, Text(), Format() | DT_NOPREFIX);
    }
    painter.restore();
    return true;
}

void CGridCellBase::MouseEntered()
{
    qCDebug(lcGrid, "Mouse entered cell\n");
}

void CGridCellBase::MouseLeft()
{
    qCDebug(lcGrid, "Mouse left cell\n");
}

void CGridCellBase::LeftButtonReleased(QPoint pt)
{
    qCDebug(lcGrid, "Mouse Left btn up in cell at x=%i y=%i\n", pt.x(), pt.y());
}

void CGridCellBase::LeftButtonPressed(QPoint pt)
{
    qCDebug(lcGrid, "Mouse Left btn down in cell at x=%i y=%i\n", pt.x(), pt.y());
}

void CGridCellBase::RightClicked(QPoint pt)
{
    qCDebug(lcGrid, "Mouse right-clicked in cell at x=%i y=%i\n", pt.x(), pt.y());
}

void CGridCellBase::DoubleClicked(QPoint pt)
{
    qCDebug(lcGrid, "Mouse double-clicked in cell at x=%i y=%i\n", pt.x(), pt.y());
}

// ---------------------------------------------------------------- CGridCell

void CGridCell::SetFont(const QFont *pFont)
{
    if (pFont)
        m_font = *pFont;
    else
        m_font.reset();
}

int CGridCell::Format() const
{
    return m_nFormat != -1 ? m_nFormat : CGridCellBase::Format();
}

const QFont *CGridCell::Font() const
{
    return m_font ? &*m_font : CGridCellBase::Font();
}

const QFont *CGridCell::RealisedFont() const
{
    return m_font ? &*m_font : CGridCellBase::RealisedFont();
}

int CGridCell::Margin() const
{
    return m_nMargin != -1 ? m_nMargin : CGridCellBase::Margin();
}

void CGridCell::CopyFrom(const CGridCellBase &cell)
{
    CGridCellBase::CopyFrom(cell);
}

void CGridCell::ResetToDefaults()
{
    CGridCellBase::ResetToDefaults();
    m_strText.clear();
    m_data = 0;
    m_nImage = -1;
    m_nFormat = -1;
    m_crText = ColourDefault;
    m_crBack = ColourDefault;
    m_font.reset();
    m_nMargin = -1;
    m_pGrid = nullptr;
}

// ---------------------------------------------------------------- default cell

CGridDefaultCell::CGridDefaultCell()
{
    m_nFormat = DefaultCellFormat;
}

void CGridDefaultCell::SetFont(const QFont *pFont)
{
    if (!pFont) {
        qCWarning(lcGrid, "CGridDefaultCell::SetFont: null font refused");
        return;
    }
    m_realisedFont = *pFont;
    CGridCell::SetFont(pFont);

    const CGridModel *pGrid = Grid();
    const IGridPlatform *pPlatform = pGrid ? pGrid->Platform() : nullptr;
    if (!pPlatform || !pPlatform->CanMeasure()) {
        m_nMargin = 3;
        m_nWidth = 40;
        m_nHeight = 16;
        return;
    }
    m_nMargin = pPlatform->TextExtent(*pFont, QStringLiteral(" ")).width();
    const QSize size = pPlatform->TextExtent(*pFont, QStringLiteral(" XXXXXXXXXXXX "));
    m_nWidth = size.width();
    m_nHeight = size.height() * 3 / 2;
}

void CGridDefaultCell::SetData(quintptr)
{
    qCWarning(lcGrid, "a default cell takes no data");
}

void CGridDefaultCell::SetState(unsigned)
{
    qCWarning(lcGrid, "a default cell takes no state");
}

void CGridDefaultCell::SetPosition(int, int)
{
    qCWarning(lcGrid, "a default cell has no position");
}
