#pragma once

#include <QByteArray>

#include <cstddef>

// Output cap of GunzipToString: no page comes near it, and a tiny hostile
// body must not be able to fill the memory.
inline constexpr qsizetype kGunzipMaxOutput = qsizetype(256) * 1024 * 1024;

// Inflates gzip or zlib data (header detected automatically) and appends the
// result to out.  True only when the stream ended properly; on a broken or
// truncated stream, or once the output would pass maxOutput bytes, it returns
// false and out keeps what was inflated so far (at most maxOutput bytes).
bool GunzipToString(const char *data, std::size_t length, QByteArray &out,
                    qsizetype maxOutput = kGunzipMaxOutput);
