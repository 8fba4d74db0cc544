#pragma once

#include <QByteArray>

#include <cstddef>

// The request body of a POST, handed out in pieces of at most 1024 bytes, in
// order.  The length is that of a NUL-terminated byte string.
class CPostBody
{
public:
    static constexpr std::size_t kChunk = 1024;

    explicit CPostBody(const QByteArray &postData);

    std::size_t Length() const { return m_len; }
    // Copies the next piece (at most kChunk and at most room bytes) into dst
    // and returns its size; 0 once everything went out.
    std::size_t Next(char *dst, std::size_t room);
    // Starts over (a redirect that keeps the body sends it again).
    void Rewind() { m_pos = 0; }

private:
    QByteArray m_data; // shared copy, so the body outlives the caller's record
    std::size_t m_len;
    std::size_t m_pos = 0;
};
