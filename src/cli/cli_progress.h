#pragma once

#include <QString>

#include <cstdint>

// "3.4 MB", "512 KB", "900 B": binary units, one decimal from MB on.
QString ByteCountText(int64_t nBytes);

// The terminal's progress line for an album: the pool's "已下载%d/%d......"
// text, the bytes fetched so far and the speed since the album's download
// started (left out until some time has passed).
QString ProgressLine(const QString &poolText, int64_t nBytes, int64_t nElapsedMs);
