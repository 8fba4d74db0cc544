#pragma once

#include "grid/grid_defs.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

// Borderless pop-up showing a cell's whole text when it does not fit.  Its
// window is transparent for input, so the grid under it keeps the pointer
// (no leave, no lost moves) and hides the tip when the pointer leaves the cell.
class CTitleTip : public QWidget
{
    Q_OBJECT

public:
    explicit CTitleTip(QWidget *pGrid);

    // textRect and hoverRect in the coordinates of `pArea` (the grid's client area).
    void ShowTip(QWidget *pArea, const QString &text, const QFont &font, COLORREF crText, COLORREF crBack,
                 const QRect &textRect, const QRect &hoverRect);
    void HideTip();
    QString TipText() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_strText;
    COLORREF m_crText = ColourDefault;
    COLORREF m_crBack = ColourDefault;
};
