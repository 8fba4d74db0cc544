#include "ui/history_filter.h"

QStringList FilterHistoryItems(const QStringList &items, const QString &typed)
{
    QStringList matches;
    const QString needle = typed.toLower();
    for (const QString &item : items) {
        const QString lower = item.toLower();
        if (lower.contains(needle))
            matches.append(lower);
    }
    return matches;
}

QRect AddressBoxRect(const QRect &addressBox, const QRect &listTypeBox, bool listTypeShown)
{
    QRect r = addressBox;
    // QRect::right() is the last pixel; the edge three pixels away is right() + 1 + 3.
    r.setLeft(listTypeShown ? listTypeBox.right() + 1 + 3 : listTypeBox.left());
    return r;
}
