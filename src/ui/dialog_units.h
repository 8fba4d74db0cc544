#pragma once

#include <array>
#include <string_view>

// A rectangle in dialog units (x, y, width, height), as dialog templates give it.
struct DlgRect
{
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// Pixel rectangle produced from a DlgRect.
struct PixRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixRect &, const PixRect &) = default;
};

// The dialog font's base units: average character width and character height
// in pixels.  One horizontal dialog unit is a quarter of the width, one
// vertical unit an eighth of the height.
struct DialogBaseUnits
{
    int cx = 6;
    int cy = 13;
};

// Windows' MulDiv: a * b / c rounded half away from zero.
int MulDivRound(int a, int b, int c);

// Average width the way the dialog manager takes it: width of the 52 Latin
// letters, divided by 26, then halved with rounding.
int AverageCharWidthFromLetters(int widthOf52Letters);

inline constexpr std::string_view kBaseUnitLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

int DluToPixelsX(int dluX, const DialogBaseUnits &units);
int DluToPixelsY(int dluY, const DialogBaseUnits &units);
PixRect DluToPixels(const DlgRect &rect, const DialogBaseUnits &units);
