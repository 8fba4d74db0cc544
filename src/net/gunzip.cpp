#include "net/gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {
// 32 + 15: accept a gzip or a zlib header, 32 KiB window.
constexpr int kWindowBits = 47;
constexpr std::size_t kPass = 8192;

struct InflateStream
{
    z_stream zs{};
    bool ok = false;
    InflateStream() { ok = inflateInit2(&zs, kWindowBits) == Z_OK; }
    ~InflateStream()
    {
        if (ok)
            inflateEnd(&zs);
    }
    InflateStream(const InflateStream &) = delete;
    InflateStream &operator=(const InflateStream &) = delete;
};
} // namespace

bool GunzipToString(const char *data, std::size_t length, QByteArray &out, qsizetype maxOutput)
{
    InflateStream s;
    if (!s.ok)
        return false;

    const qsizetype start = out.size();
    unsigned char scratch[kPass];
    // zlib counts its input in 32-bit units; a larger buffer is fed in slices.
    const unsigned char *next = reinterpret_cast<const unsigned char *>(data);
    std::size_t left = length;
    for (;;) {
        if (s.zs.avail_in == 0 && left > 0) {
            const auto slice = std::min<std::size_t>(left, std::numeric_limits<uInt>::max());
            s.zs.next_in = const_cast<unsigned char *>(next);
            s.zs.avail_in = static_cast<uInt>(slice);
            next += slice;
            left -= slice;
        }
        s.zs.next_out = scratch;
        s.zs.avail_out = kPass;
        const int rc = inflate(&s.zs, Z_NO_FLUSH);
        const qsizetype produced = static_cast<qsizetype>(kPass - s.zs.avail_out);
        const qsizetype room = maxOutput - (out.size() - start);
        if (produced > room) {
            out.append(reinterpret_cast<const char *>(scratch), room);
            return false;
        }
        out.append(reinterpret_cast<const char *>(scratch), produced);
        if (rc == Z_STREAM_END)
            return true;
        if (rc != Z_OK)
            return false;
    }
}
