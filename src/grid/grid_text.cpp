#include "grid/grid_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>

namespace {

Qt::TextElideMode ElideMode(int nFormat)
{
    if (nFormat & DT_PATH_ELLIPSIS)
        return Qt::ElideMiddle;
    if (nFormat & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        return Qt::ElideRight;
    return Qt::ElideNone;
}

// Wrapped lines, two at most and no more than the rectangle holds, the last
// one elided when the text goes on: a caption under a thumbnail keeps its
// start and shows that there is more.
void DrawWrappedElided(QPainter &painter, const QRect &rect, const QString &text, int hAlign,
                       Qt::TextElideMode elide)
{
    const QFontMetrics fm(painter.font());
    const int maxLines = std::clamp(rect.height() / std::max(1, fm.lineSpacing()), 1, 2);
    QTextLayout layout(text, painter.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width());
        if (int(lines.size()) == maxLines - 1) {
            lines << fm.elidedText(text.mid(line.textStart()).simplified(), elide, rect.width());
            break;
        }
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    for (int i = 0; i < int(lines.size()); ++i) {
        const QRect at(rect.left(), rect.top() + i * fm.lineSpacing(), rect.width(), fm.lineSpacing());
        painter.drawText(at, hAlign | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
    }
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
    if ((nFormat & DT_WORDBREAK) && elide != Qt::ElideNone) {
        DrawWrappedElided(painter, rect, shown, flags & Qt::AlignHorizontal_Mask, elide);
        return;
    }
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
