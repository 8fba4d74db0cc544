#pragma once

#include <QImage>
#include <QRegion>
#include <QRgb>

// The transparent colour of splash bitmaps (COLORREF 0x007878D4: red D4, green 78, blue 78).
inline constexpr QRgb kSplashTransparent = 0xFFD47878u;

// The region of every pixel whose colour differs from `transparent`: each
// maximal run of such pixels in a row is a one-pixel-high rectangle.
QRegion RegionFromBitmap(const QImage &bitmap, QRgb transparent = kSplashTransparent);
