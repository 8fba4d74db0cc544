#pragma once

#include <QByteArray>

#include <cstddef>
#include <functional>
#include <memory>

// Output cap of GunzipToString: no page comes near it, and a tiny hostile
// body must not be able to fill the memory.
inline constexpr qsizetype kGunzipMaxOutput = qsizetype(256) * 1024 * 1024;

// Inflates gzip or zlib data (header detected automatically) and appends the
// result to out.  True only when the stream ended properly; on a broken or
// truncated stream, or once the output would pass maxOutput bytes, it returns
// false and out keeps what was inflated so far (at most maxOutput bytes).
bool GunzipToString(const char *data, std::size_t length, QByteArray &out,
                    qsizetype maxOutput = kGunzipMaxOutput);

// Inflates gzip or zlib data that arrives in pieces (a picture sent with
// Content-Encoding: gzip), handing each inflated piece to a sink.
class CInflater
{
public:
    // False stops the inflation (the sink could not take the bytes).
    using Sink = std::function<bool(const char *, std::size_t)>;

    CInflater();
    ~CInflater();
    CInflater(const CInflater &) = delete;
    CInflater &operator=(const CInflater &) = delete;

    // False on broken data, data after the end of the stream, or a sink that
    // refused; every later call then fails too.
    bool Feed(const char *data, std::size_t length, const Sink &sink);
    // The stream reached its proper end: a truncated one never does.
    bool Ended() const { return m_ended && m_ok; }

private:
    struct Stream;
    std::unique_ptr<Stream> m_s;
    bool m_ok = false;
    bool m_initialised = false;
    bool m_ended = false;
};
