#include "grid/title_tip.h"

#include "grid/grid_text.h"

#include <QFontMetrics>
#include <QPainter>

CTitleTip::CTitleTip(QWidget *pGrid)
    : QWidget(pGrid, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

void CTitleTip::ShowTip(QWidget *pArea, const QString &text, const QFont &font, COLORREF crText, COLORREF crBack,
                        const QRect &textRect, const QRect &hoverRect)
{
    if (hoverRect.isEmpty() || isVisible())
        return;

    const QString shown = QLatin1Char(' ') + text + QLatin1Char(' ');
    const QFontMetrics fm(font);
    const int nWidth = fm.horizontalAdvance(shown) + 2;
    if (textRect.left() + nWidth <= textRect.right() + 1)
        return; // fits: no tip

    m_strText = shown;
    m_crText = crText;
    m_crBack = crBack;
    setFont(font);
    const QPoint topLeft = pArea->mapToGlobal(textRect.topLeft());
    setGeometry(QRect(topLeft, QSize(nWidth, std::max(textRect.height(), fm.height() + 2))));
    show();
    raise();
}

void CTitleTip::HideTip()
{
    hide();
}

void CTitleTip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, m_crBack == ColourDefault ? palette().color(QPalette::ToolTipBase) : ToQColor(m_crBack));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.setPen(m_crText == ColourDefault ? palette().color(QPalette::ToolTipText) : ToQColor(m_crText));
    painter.drawText(area.adjusted(1, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strText);
}
