#pragma once

#include "grid/grid_defs.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class CGridModel;
class CGridDefaultCell;
class QPainter;

// Abstract cell: state flags and the interface every cell offers.  Values a
// cell does not hold come from its default cell ("own or default").
class CGridCellBase
{
public:
    CGridCellBase() = default;
    CGridCellBase(const CGridCellBase &) = delete;
    CGridCellBase &operator=(const CGridCellBase &) = delete;
    virtual ~CGridCellBase() = default;

    // Setters.
    virtual void SetText(const QString &) {}
    virtual void SetImage(int) {}
    virtual void SetData(quintptr) {}
    virtual void SetState(unsigned nState) { m_nState = nState; }
    virtual void SetFormat(int) {}
    virtual void SetTextColour(COLORREF) {}
    virtual void SetBackColour(COLORREF) {}
    virtual void SetFont(const QFont *) {}
    virtual void SetMargin(int) {}
    virtual void SetGrid(CGridModel *) {}
    virtual void SetPosition(int, int) {}

    // Getters.
    virtual QString Text() const { return {}; }
    virtual QString TipText() const { return Text(); }
    virtual int Image() const { return -1; }
    virtual quintptr Data() const { return 0; }
    virtual unsigned State() const { return m_nState; }
    virtual int Format() const;
    virtual COLORREF TextColour() const { return ColourDefault; }
    virtual COLORREF BackColour() const { return ColourDefault; }
    virtual const QFont *Font() const;
    virtual const QFont *RealisedFont() const;
    virtual CGridModel *Grid() const { return nullptr; }
    virtual int Margin() const;
    virtual const CGridDefaultCell *DefaultsCell() const;
    virtual bool UsesDefaultFont() const { return true; }
    virtual bool IsEditing() const { return false; }

    bool IsFocused() const { return (State() & CellFocused) != 0; }
    bool IsFixed() const { return (State() & CellFixed) != 0; }
    bool IsInFixedColumn() const { return (State() & CellFixedColumn) != 0; }
    bool IsInFixedRow() const { return (State() & CellFixedRow) != 0; }
    bool IsSelected() const { return (State() & CellSelected) != 0; }
    bool IsReadOnly() const { return (State() & CellReadOnly) != 0; }
    bool IsModified() const { return (State() & CellModified) != 0; }
    bool IsDropTargetHighlighted() const { return (State() & CellDropHighlighted) != 0; }

    bool ImageAboveText() const { return m_bImageAboveText; }
    void SetImageAboveText(bool bOn) { m_bImageAboveText = bOn; }

    virtual void CopyFrom(const CGridCellBase &cell);
    virtual void ResetToDefaults();

    // Paints the cell into `rect` (the whole cell including its grid-line
    // pixels on the right and bottom).
    virtual bool Draw(QPainter *pPainter, int nRow, int nCol, QRect rect, bool bEraseBkgnd);
    // `rect` (the cell's rectangle less margins, as Draw has it) becomes the text's rectangle.
    virtual bool TextRect(QRect &rect) const;
    virtual bool TipTextRect(QRect &rect) const { return TextRect(rect); }
    virtual QSize MeasureText(const QString &text, int nCol) const;
    virtual QSize MeasureCell(int nCol) const;
    // The grid is always read-only here: editing never starts.
    virtual bool AcceptEditedText(const QString &) { return true; }

    // Mouse hooks; points are relative to the cell.
    virtual void MouseEntered();
    virtual void MouseMovedOver() {}
    virtual void MouseLeft();
    virtual void LeftButtonReleased(QPoint pt);
    virtual void LeftButtonPressed(QPoint pt);
    virtual void RightClicked(QPoint pt);
    virtual void DoubleClicked(QPoint pt);
    virtual bool ChooseCursor() { return false; }

protected:
    unsigned m_nState = 0;
    bool m_bImageAboveText = false;
};

// The ordinary cell: holds its own text, image, data, format, colours, font and margin.
class CGridCell : public CGridCellBase
{
public:
    void SetText(const QString &text) override { m_strText = text; }
    void SetImage(int nImage) override { m_nImage = nImage; }
    void SetData(quintptr data) override { m_data = data; }
    void SetFormat(int nFormat) override { m_nFormat = nFormat; }
    void SetTextColour(COLORREF cr) override { m_crText = cr; }
    void SetBackColour(COLORREF cr) override { m_crBack = cr; }
    void SetFont(const QFont *pFont) override;
    void SetMargin(int nMargin) override { m_nMargin = nMargin; }
    void SetGrid(CGridModel *pGrid) override { m_pGrid = pGrid; }

    QString Text() const override { return m_strText; }
    int Image() const override { return m_nImage; }
    quintptr Data() const override { return m_data; }
    int Format() const override;
    COLORREF TextColour() const override { return m_crText; }
    COLORREF BackColour() const override { return m_crBack; }
    const QFont *Font() const override;
    const QFont *RealisedFont() const override;
    CGridModel *Grid() const override { return m_pGrid; }
    int Margin() const override;
    bool UsesDefaultFont() const override { return !m_font.has_value(); }

    void CopyFrom(const CGridCellBase &cell) override;
    void ResetToDefaults() override;

protected:
    QString m_strText;
    quintptr m_data = 0;
    int m_nImage = -1;
    int m_nFormat = -1;
    COLORREF m_crText = ColourDefault;
    COLORREF m_crBack = ColourDefault;
    std::optional<QFont> m_font;
    int m_nMargin = -1;
    CGridModel *m_pGrid = nullptr;
};

// Defaults for one kind of cell (normal, fixed column, fixed row, corner),
// with the default size of new rows and columns.
class CGridDefaultCell : public CGridCell
{
public:
    CGridDefaultCell();

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    void SetWidth(int n) { m_nWidth = n; }
    void SetHeight(int n) { m_nHeight = n; }

    // Takes the font and re-derives margin and default size from it.
    void SetFont(const QFont *pFont) override;
    const QFont *RealisedFont() const override { return &m_realisedFont; }

    unsigned State() const override { return CGridCell::State() | CellReadOnly; }
    void SetData(quintptr) override;
    void SetState(unsigned) override;
    void SetPosition(int, int) override;
    const CGridDefaultCell *DefaultsCell() const override { return nullptr; }

private:
    int m_nWidth = 30;
    int m_nHeight = 10;
    QFont m_realisedFont;
};
