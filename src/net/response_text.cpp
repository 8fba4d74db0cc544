#include "net/response_text.h"

#include "net/gunzip.h"
#include "net/markers.h"
#include "net/response_charset.h"
#include "util/codepage.h"
#include "util/text_utils.h"

namespace {
QString Convert(QByteArray bytes, const QString &rawHeaders, unsigned flags)
{
    if (rawHeaders.contains(QLatin1String("charset=GBK"))) {
        if (!(flags & TXTF_GBK_NUL))
            return BytesToWide(bytes, CP_ACP);
        // Zero bytes stand in the way of the conversion; 0x7F is a character
        // of its own in GBK, so it can hold their places and go afterwards.
        bytes.replace('\0', '\x7f');
        QString text = BytesToWide(bytes, CP_ACP);
        text.remove(QChar(0x7F));
        return text;
    }
    if (flags & TXTF_CHARSET) {
        if (const unsigned named = AnnouncedCodePage(rawHeaders, bytes))
            return BytesToWide(bytes, named);
    }
    if (flags & TXTF_UTF8)
        return BytesToWide(bytes, CP_UTF8);
    if (flags & TXTF_EUCKR)
        return BytesToWide(bytes, CP_EUCKR);
    if (flags & TXTF_BIG5)
        return BytesToWide(bytes, CP_BIG5);
    if ((flags & TXTF_AUTO)
        && IsUtf8Text(bytes.constData(), uint32_t(uint64_t(bytes.size())),
                      uint32_t(uint64_t(bytes.size()) >> 32)))
        return BytesToWide(bytes, CP_UTF8);
    return BytesToWide(bytes, CP_ACP);
}
} // namespace

void GetResponseText(const ST_URLRESPONSE &resp, QString &out, unsigned flags)
{
    QByteArray bytes;
    if ((flags & TXTF_GUNZIP) && resp.bGzip)
        GunzipToString(resp.body.constData(), std::size_t(resp.body.size()), bytes);
    else
        bytes = resp.body;
    if (resp.bGzip)
        CutMarkers(bytes, resp.startMark, resp.endMark);
    // A zero byte holds no character in any of these code pages: it is dropped,
    // so what follows it is still read.
    bytes.removeIf([](char c) { return c == '\0'; });
    out = Convert(std::move(bytes), resp.strRawHeaders, flags);
    if (!(flags & TXTF_KEEP_ENTITIES))
        DecodeHtmlEntities(out);
}

bool IsUtf8Text(const char *bytes, uint32_t lengthLow, uint32_t lengthHigh)
{
    const uint64_t length = (uint64_t(lengthHigh) << 32) | lengthLow;
    if (length == 0)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    int pending = 0;
    bool ascii = true;
    for (uint64_t i = 0; i < length; ++i) {
        const unsigned char b = p[i];
        if (b & 0x80)
            ascii = false;
        if (pending > 0) {
            if ((b & 0xC0) != 0x80)
                return false;
            --pending;
        } else if (b >= 0x80) {
            if (b >= 0xFC && b <= 0xFD)
                pending = 5;
            else if (b >= 0xF8)
                pending = 4;
            else if (b >= 0xF0)
                pending = 3;
            else if (b >= 0xE0)
                pending = 2;
            else if (b >= 0xC0)
                pending = 1;
            else
                return false;
        }
    }
    return pending == 0 && !ascii;
}
