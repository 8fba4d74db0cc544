#include "ui/splash_region.h"

#include <QList>
#include <QRect>

#include <algorithm>

QRegion RegionFromBitmap(const QImage &bitmap, QRgb transparent)
{
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb key = transparent & 0x00FFFFFFu;
    QList<QRect> runs;
    // Bottom row first, runs left to right, as the bitmap is stored.
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && (row[x] & 0x00FFFFFFu) == key)
                ++x;
            const int start = x;
            while (x < image.width() && (row[x] & 0x00FFFFFFu) != key)
                ++x;
            if (x > start)
                runs.append(QRect(start, y, x - start, 1));
        }
    }
    // Combined in blocks, which keeps the unions small.
    constexpr qsizetype kBlock = 40;
    QRegion region;
    for (qsizetype i = 0; i < runs.size(); i += kBlock) {
        QRegion block;
        for (qsizetype j = i; j < std::min(runs.size(), i + kBlock); ++j)
            block += runs[j];
        region += block;
    }
    return region;
}
