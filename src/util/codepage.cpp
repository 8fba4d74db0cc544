#include "util/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace {

const char *IconvName(unsigned nCodePage)
{
    switch (nCodePage) {
    case CP_ACP:
    case CP_GBK: return "CP936";
    case CP_BIG5: return "CP950";
    case CP_EUCKR: return "EUC-KR";
    case CP_UTF8: return "UTF-8";
    case CP_GB18030: return "GB18030";
    case 1252: return "CP1252";
    default: return nullptr;
    }
}

// One conversion descriptor per call: iconv state is not shareable between threads.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

QString BytesToWide(const char *pBytes, qsizetype nCount, unsigned nCodePage)
{
    const char *name = IconvName(nCodePage);
    if (!name || !pBytes || nCount <= 0)
        return QString();
    // The text ends at the first zero; in these code pages a zero byte is never
    // part of a longer character.
    if (const void *zero = std::memchr(pBytes, 0, size_t(nCount)))
        nCount = static_cast<const char *>(zero) - pBytes;
    if (nCount == 0)
        return QString();
    Converter conv("UTF-16LE", name);
    if (!conv.ok())
        return QString();

    // Every input byte gives at most one UTF-16 unit (a 4-byte UTF-8 sequence gives two).
    std::vector<char16_t> out(size_t(nCount) + 1);
    char *in = const_cast<char *>(pBytes);
    size_t inLeft = size_t(nCount);
    char *outPtr = reinterpret_cast<char *>(out.data());
    size_t outLeft = out.size() * sizeof(char16_t);
    auto put = [&](char16_t c) {
        std::memcpy(outPtr, &c, sizeof c);
        outPtr += sizeof c;
        outLeft -= sizeof c;
    };
    while (inLeft > 0) {
        if (iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == EILSEQ) {
            put(u'\uFFFD');
            ++in;
            --inLeft;
        } else if (errno == EINVAL) { // cut-off character at the end
            put(u'\uFFFD');
            break;
        } else {
            break; // E2BIG cannot happen with the size chosen above
        }
        iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
    const size_t units = (reinterpret_cast<char16_t *>(outPtr) - out.data());
    return QString::fromUtf16(out.data(), qsizetype(units));
}

QString BytesToWide(const QByteArray &bytes, unsigned nCodePage)
{
    return BytesToWide(bytes.constData(), bytes.size(), nCodePage);
}

QByteArray WideToGbk(const QString &text)
{
    if (text.isEmpty())
        return QByteArray();
    Converter conv("CP936", "UTF-16LE");
    if (!conv.ok())
        return QByteArray();
    const size_t inBytes = size_t(text.size()) * sizeof(char16_t);
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.constData()));
    size_t inLeft = inBytes;
    // GBK needs at most two bytes per UTF-16 unit; '?' for a pair takes one.
    QByteArray out(qsizetype(inBytes) + 4, '\0');
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A character GBK cannot hold (or a lone surrogate) becomes '?'.
        size_t skip = 2;
        if (inLeft >= 4) {
            char16_t c0, c1;
            std::memcpy(&c0, in, 2);
            std::memcpy(&c1, in + 2, 2);
            if (c0 >= 0xD800 && c0 < 0xDC00 && c1 >= 0xDC00 && c1 < 0xE000)
                skip = 4;
        }
        *outPtr++ = '?';
        --outLeft;
        in += skip;
        inLeft -= std::min(skip, inLeft);
        iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(outPtr - out.data());
    const qsizetype zero = out.indexOf('\0');
    if (zero >= 0)
        out.truncate(zero);
    return out;
}
