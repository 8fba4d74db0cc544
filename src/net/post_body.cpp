#include "net/post_body.h"

#include <algorithm>
#include <cstring>

CPostBody::CPostBody(const QByteArray &postData)
    : m_data(postData), m_len(qstrlen(postData.constData()))
{
}

std::size_t CPostBody::Next(char *dst, std::size_t room)
{
    const std::size_t n = std::min({kChunk, room, m_len - m_pos});
    if (n > 0)
        std::memcpy(dst, m_data.constData() + m_pos, n);
    m_pos += n;
    return n;
}
