#include "net/gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {
// 32 + 15: accept a gzip or a zlib header, 32 KiB window.
constexpr int kWindowBits = 47;
constexpr std::size_t kPass = 8192;
} // namespace

struct CInflater::Stream
{
    z_stream zs{};
};

CInflater::CInflater() : m_s(std::make_unique<Stream>())
{
    m_ok = inflateInit2(&m_s->zs, kWindowBits) == Z_OK;
    m_initialised = m_ok;
}

CInflater::~CInflater()
{
    if (m_initialised)
        inflateEnd(&m_s->zs);
}

bool CInflater::Feed(const char *data, std::size_t length, const Sink &sink)
{
    if (!m_ok || m_ended)
        return m_ok; // what follows the end of the stream is not inflated
    unsigned char scratch[kPass];
    // zlib counts its input in 32-bit units; a larger buffer is fed in slices.
    const unsigned char *next = reinterpret_cast<const unsigned char *>(data);
    std::size_t left = length;
    z_stream &zs = m_s->zs;
    for (;;) {
        if (zs.avail_in == 0 && left > 0) {
            const auto slice = std::min<std::size_t>(left, std::numeric_limits<uInt>::max());
            zs.next_in = const_cast<unsigned char *>(next);
            zs.avail_in = static_cast<uInt>(slice);
            next += slice;
            left -= slice;
        }
        zs.next_out = scratch;
        zs.avail_out = kPass;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t produced = kPass - zs.avail_out;
        if (produced > 0 && !sink(reinterpret_cast<const char *>(scratch), produced))
            return m_ok = false;
        const bool inputUsed = zs.avail_in == 0 && left == 0;
        if (rc == Z_STREAM_END) {
            m_ended = true;
            return true;
        }
        if (rc == Z_BUF_ERROR && inputUsed)
            return true; // the rest comes with the next piece
        if (rc != Z_OK)
            return m_ok = false;
        if (inputUsed && produced < kPass)
            return true;
    }
}

bool GunzipToString(const char *data, std::size_t length, QByteArray &out, qsizetype maxOutput)
{
    CInflater inflater;
    const qsizetype start = out.size();
    const bool fed = inflater.Feed(data, length, [&](const char *p, std::size_t n) {
        const qsizetype room = maxOutput - (out.size() - start);
        out.append(p, std::min(qsizetype(n), room));
        return qsizetype(n) <= room;
    });
    return fed && inflater.Ended();
}
