#pragma once

#include "grid/grid_defs.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

// Borderless pop-up showing a cell's whole text when it does not fit.  It
// takes no input: mouse and keys reach the grid below, which hides the tip.
class CTitleTip : public QWidget
{
    Q_OBJECT

public:
    explicit CTitleTip(QWidget *pGrid);

    // textRect and hoverRect in the coordinates of `pArea` (the grid's client area).
    void ShowTip(QWidget *pArea, const QString &text, const QFont &font, COLORREF crText, COLORREF crBack,
                 const QRect &textRect, const QRect &hoverRect);
    void HideTip();
    // Hides the tip when the point (client coordinates) leaves the cell it belongs to.
    void CheckHover(QPoint pt);
    QRect HoverRect() const { return m_rectHover; }
    QString TipText() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_pGrid;
    QRect m_rectHover;
    QString m_strText;
    COLORREF m_crText = ColourDefault;
    COLORREF m_crBack = ColourDefault;
};
