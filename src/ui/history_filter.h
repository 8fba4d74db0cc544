#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// The items of a history box that contain the typed text, ignoring case, in
// item order and lower-cased, as the drop-down shows them while typing.
QStringList FilterHistoryItems(const QStringList &items, const QString &typed);

// Where the address box goes when the list-type box is hidden (it takes over
// the list-type box's left edge) or shown (3 pixels right of its right edge).
// Top, right and bottom of the address box stay.
QRect AddressBoxRect(const QRect &addressBox, const QRect &listTypeBox, bool listTypeShown);
