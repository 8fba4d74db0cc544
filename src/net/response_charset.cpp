#include "net/response_charset.h"

#include "util/codepage.h"

#include <QStringList>

#include <initializer_list>

namespace {

// A <meta> charset stands in the head; looking further finds page text.
constexpr qsizetype kMetaSearchBytes = 4096;

bool IsCharsetNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':';
}

// The name after "charset=" in `text` (quotes and spaces before it skipped),
// or empty.  `text` is lower case.
QByteArray CharsetParameter(const QByteArray &text)
{
    const qsizetype at = text.indexOf("charset=");
    if (at < 0)
        return {};
    qsizetype i = at + 8;
    while (i < text.size() && (text[i] == '"' || text[i] == '\'' || text[i] == ' '))
        ++i;
    qsizetype end = i;
    while (end < text.size() && IsCharsetNameByte(text[end]))
        ++end;
    return text.mid(i, end - i);
}

QByteArray HeaderCharset(const QString &rawHeaders)
{
    QByteArray found;
    for (const QString &line : rawHeaders.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String("content-type:"), Qt::CaseInsensitive))
            found = CharsetParameter(line.toLatin1().toLower());
    }
    return found;
}

QByteArray MetaCharset(const QByteArray &body)
{
    const QByteArray head = body.left(kMetaSearchBytes).toLower();
    for (qsizetype at = head.indexOf("<meta"); at >= 0; at = head.indexOf("<meta", at + 5)) {
        const qsizetype end = head.indexOf('>', at);
        const QByteArray name = CharsetParameter(head.mid(at, end < 0 ? -1 : end - at));
        if (!name.isEmpty())
            return name;
    }
    return {};
}

bool OneOf(QByteArrayView name, std::initializer_list<const char *> names)
{
    for (const char *n : names)
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

unsigned CodePageOfCharset(QByteArrayView name)
{
    if (OneOf(name, {"utf-8", "utf8"}))
        return CP_UTF8;
    if (OneOf(name, {"gb18030"}))
        return CP_GB18030;
    if (OneOf(name, {"big5", "big5-hkscs", "x-big5", "cp950", "csbig5"}))
        return CP_BIG5;
    if (OneOf(name, {"euc-kr", "cseuckr"}))
        return CP_EUCKR;
    return CP_GBK;
}

unsigned AnnouncedCodePage(const QString &rawHeaders, const QByteArray &body)
{
    QByteArray name = HeaderCharset(rawHeaders);
    if (name.isEmpty())
        name = MetaCharset(body);
    return name.isEmpty() ? 0 : CodePageOfCharset(name);
}
