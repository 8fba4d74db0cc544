#include "cli/cli_progress.h"

QString ByteCountText(int64_t nBytes)
{
    constexpr int64_t kKB = 1024;
    constexpr int64_t kMB = kKB * 1024;
    if (nBytes >= kMB)
        return QStringLiteral("%1 MB").arg(double(nBytes) / double(kMB), 0, 'f', 1);
    if (nBytes >= kKB)
        return QStringLiteral("%1 KB").arg(nBytes / kKB);
    return QStringLiteral("%1 B").arg(nBytes);
}

QString ProgressLine(const QString &poolText, int64_t nBytes, int64_t nElapsedMs)
{
    QString line = poolText + QStringLiteral("  ") + ByteCountText(nBytes);
    if (nElapsedMs > 0)
        line += QStringLiteral("  ") + ByteCountText(nBytes * 1000 / nElapsedMs) + QStringLiteral("/s");
    return line;
}
