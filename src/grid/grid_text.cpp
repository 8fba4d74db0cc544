#include "grid/grid_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace {

Qt::TextElideMode ElideMode(int nFormat)
{
    if (nFormat & DT_PATH_ELLIPSIS)
        return Qt::ElideMiddle;
    if (nFormat & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        return Qt::ElideRight;
    return Qt::ElideNone;
}

} // namespace

void DrawFormattedText(QPainter &painter, const QRect &rect, const QString &text, int nFormat)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;

    int flags = 0;
    if (nFormat & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (nFormat & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (nFormat & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    if (nFormat & DT_NOCLIP)
        flags |= Qt::TextDontClip;

    const QFontMetrics fm(painter.font());
    const Qt::TextElideMode elide = ElideMode(nFormat);
    QString shown = text;
    shown.remove(QLatin1Char('\r'));

    if (nFormat & DT_SINGLELINE) {
        // One line: vertical alignment applies, line breaks are not honoured.
        if (nFormat & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (nFormat & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (elide != Qt::ElideNone)
            shown = fm.elidedText(shown, elide, rect.width());
        painter.drawText(rect, flags | Qt::TextSingleLine, shown);
        return;
    }

    // Several lines always start at the top.
    flags |= Qt::AlignTop;
    if (nFormat & DT_WORDBREAK) {
        flags |= Qt::TextWordWrap;
    } else if (elide != Qt::ElideNone) {
        QStringList lines = shown.split(QLatin1Char('\n'));
        for (QString &line : lines)
            line = fm.elidedText(line, elide, rect.width());
        shown = lines.join(QLatin1Char('\n'));
    }
    painter.drawText(rect, flags, shown);
}
