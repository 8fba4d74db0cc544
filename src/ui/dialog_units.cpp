#include "ui/dialog_units.h"

#include <cstdint>
#include <cstdlib>

int MulDivRound(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t num = std::llabs(product);
    const std::int64_t den = std::llabs(static_cast<std::int64_t>(c));
    const std::int64_t q = (num + den / 2) / den;
    return static_cast<int>(negative ? -q : q);
}

int AverageCharWidthFromLetters(int widthOf52Letters)
{
    return (widthOf52Letters / 26 + 1) / 2;
}

int DluToPixelsX(int dluX, const DialogBaseUnits &units)
{
    return MulDivRound(dluX, units.cx, 4);
}

int DluToPixelsY(int dluY, const DialogBaseUnits &units)
{
    return MulDivRound(dluY, units.cy, 8);
}

PixRect DluToPixels(const DlgRect &rect, const DialogBaseUnits &units)
{
    // The dialog manager converts position and size each on its own.
    return {DluToPixelsX(rect.x, units), DluToPixelsY(rect.y, units),
            DluToPixelsX(rect.cx, units), DluToPixelsY(rect.cy, units)};
}
