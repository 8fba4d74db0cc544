#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Reads a number the way the settings dialogs read their edit boxes: leading
// blanks, an optional sign, digits up to the first other character (none → 0),
// saturating at the int range; then kept modulo 65536 as an unsigned 16-bit value.
std::uint16_t ReadDialogUInt16(const QString &text);

struct DownloadValues
{
    std::uint16_t minSizeKB = 0;
    std::uint16_t maxSizeKB = 0;
    std::uint16_t threads = 0;
    std::uint16_t timeoutSeconds = 0;
};

// The four boxes of the download settings dialog, checked: nullopt means
// "参数错误" (thread count outside 1..15 or a time-out below 10).
std::optional<DownloadValues> ReadDownloadValues(const QString &threads, const QString &timeout,
                                                 const QString &minSize, const QString &maxSize);

inline constexpr int kNamingTextMax = 38;

// A naming text as stored: at most 38 UTF-16 units, never ending in half a
// surrogate pair.
QString CutNamingText(const QString &text);

// The text behind the link "前后缀说明".
QString NamingHelpText();

// The version line of the about box.
QString VersionLine();
