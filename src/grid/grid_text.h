#pragma once

#include "grid/grid_defs.h"

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

inline QColor ToQColor(COLORREF cr)
{
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF), static_cast<int>((cr >> 16) & 0xFF));
}

// Draws text as DrawText would with the given format flags: alignment,
// single line or word breaking, ellipsis, clipped to the rectangle.
void DrawFormattedText(QPainter &painter, const QRect &rect, const QString &text, int nFormat);
