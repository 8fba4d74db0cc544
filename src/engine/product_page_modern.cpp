#include "engine/product_page_modern.h"

#include "engine/product_page.h"
#include "util/text_utils.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The `digits` hex digits at `at`, or -1 when they are not all there.
int HexNumber(const QString &text, qsizetype at, int digits)
{
    if (at + digits > text.size())
        return -1;
    int value = 0;
    for (int k = 0; k < digits; ++k) {
        const int h = HexValue(text[at + k]);
        if (h < 0)
            return -1;
        value = value * 16 + h;
    }
    return value;
}

// The JavaScript string literal whose opening quote stands at `quote`;
// empty when it is not closed on its line.  `end` gets the closing quote's
// position, or -1.
QString JsString(const QString &text, qsizetype quote, qsizetype *end = nullptr)
{
    const QChar q = text[quote];
    QString out;
    if (end)
        *end = -1;
    for (qsizetype i = quote + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == q) {
            if (end)
                *end = i;
            return out;
        }
        if (c == u'\n')
            return {};
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i == text.size())
            break;
        const QChar e = text[i];
        switch (e.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'b': out += u'\b'; break;
        case 'f': out += u'\f'; break;
        case 'v': out += u'\v'; break;
        case '0': out += QChar(0); break;
        case '\r':
        case '\n': break; // line continuation
        case 'u':
        case 'x': {
            const int digits = e == u'u' ? 4 : 2;
            const int value = HexNumber(text, i + 1, digits);
            if (value < 0) {
                out += e;
            } else {
                out += QChar(char16_t(value));
                i += digits;
            }
            break;
        }
        default: out += e; // \' \" \\ \/ and any other escaped character
        }
    }
    return {};
}

QString SkuNameText(const QString &page)
{
    static const QRegularExpression div(
        QStringLiteral(R"re(<div\b[^>]*\bclass\s*=\s*"(?:[^"]*\s)?sku-name(?:\s[^"]*)?"[^>]*>)re"));
    const QRegularExpressionMatch m = div.match(page);
    if (!m.hasMatch())
        return {};
    const qsizetype start = m.capturedEnd();
    const qsizetype end = page.indexOf(QStringLiteral("</div>"), start);
    QString text = page.mid(start, end < 0 ? -1 : end - start);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    text.remove(tag);
    // Tags stand on lines of their own: no line break belongs in a folder name.
    return text.simplified();
}

// The page of product `sku` on the album's own host, with the album's scheme.
QString ChoiceAddress(const QString &albumUrl, const QString &sku)
{
    const QUrl album(albumUrl);
    QUrl choice;
    choice.setScheme(album.scheme().isEmpty() ? QStringLiteral("https") : album.scheme());
    const QString host = album.host();
    choice.setHost(host.contains(QStringLiteral("item.jd.")) ? host : QStringLiteral("item.jd.com"));
    choice.setPort(album.port());
    choice.setPath(QStringLiteral("/%1.html").arg(sku));
    return choice.toString();
}

// The first match of `re` after the start of the pageConfig script; none
// when the page has no such script.
QRegularExpressionMatch MatchInPageConfig(const QString &page, const QRegularExpression &re)
{
    const qsizetype config = page.indexOf(QStringLiteral("pageConfig"));
    return config < 0 ? QRegularExpressionMatch() : re.match(page, config);
}

} // namespace

QString PageConfigString(const QString &page, const QString &key)
{
    static const QRegularExpression product(QStringLiteral(R"re(\bproduct\s*:\s*\{)re"));
    const QRegularExpressionMatch p = MatchInPageConfig(page, product);
    if (!p.hasMatch())
        return {};
    const QRegularExpression member(
        QStringLiteral(R"re([{,\s]%1\s*:\s*(['"]))re").arg(QRegularExpression::escape(key)));
    const QRegularExpressionMatch m = member.match(page, p.capturedEnd() - 1);
    return m.hasMatch() ? JsString(page, m.capturedStart(1)) : QString();
}

QStringList PageConfigThumbnails(const QString &page)
{
    static const QRegularExpression list(QStringLiteral(R"re(\bimageList\s*:\s*\[)re"));
    const QRegularExpressionMatch m = MatchInPageConfig(page, list);
    if (!m.hasMatch())
        return {};
    // Entry 0 is what stands before the first address, as in a split strip.
    QStringList thumbs{QString()};
    static const QRegularExpression item(QStringLiteral(R"re(\G\s*,?\s*(['"]))re"));
    qsizetype at = m.capturedEnd();
    for (QRegularExpressionMatch q = item.match(page, at); q.hasMatch(); q = item.match(page, at)) {
        qsizetype close = -1;
        const QString path = JsString(page, q.capturedStart(1), &close).trimmed();
        if (close < 0)
            break;
        at = close + 1;
        if (path.isEmpty() || path.contains(u'"') || path.contains(u' '))
            continue;
        // Bare paths live on the shop's picture host, in the thumbnail size
        // the strip would have shown.
        const QString url = path.startsWith(QStringLiteral("//")) || path.contains(QStringLiteral("://"))
                                ? path
                                : QStringLiteral("//img10.360buyimg.com/n5/") + path;
        thumbs.append(u'"' + url + QStringLiteral("\" "));
    }
    return thumbs.size() > 1 ? thumbs : QStringList();
}

QString ModernProductTitle(const QString &page)
{
    const QString skuName = SkuNameText(page);
    return skuName.isEmpty() ? PageConfigString(page, QStringLiteral("name")).simplified() : skuName;
}

void AdoptModernChoices(QStringList &choices, const QString &albumUrl)
{
    static const QRegularExpression sku(QStringLiteral(R"re(\bdata-sku="(\d+)")re"));
    static const QRegularExpression value(QStringLiteral(R"re(\bdata-value="([^"]*)")re"));
    const QString rowMarker = QStringLiteral("id=\"choose-attr-");
    QSet<QString> seen;
    QStringList adopted;
    bool bInRows = false;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        const QString &choice = choices[i];
        // The element's own tag ends at its first '>'.
        const QString tag = choice.left(choice.indexOf(u'>'));
        const QRegularExpressionMatch s = sku.match(tag);
        if (i > 0 && bInRows && s.hasMatch() &&
            GetBetween(QStringLiteral("href=\""), QStringLiteral("\""), 0, choice) == QStringLiteral("#none")) {
            if (!seen.contains(s.captured(1))) {
                seen.insert(s.captured(1));
                adopted.append(QStringLiteral("< href=\"%1\" title=\"%2\"")
                                   .arg(ChoiceAddress(albumUrl, s.captured(1)), value.match(tag).captured(1)));
            }
        } else {
            adopted.append(choice);
        }
        bInRows = bInRows || choice.contains(rowMarker);
    }
    choices = adopted;
}

QString DropSizeDirectives(QString url)
{
    static const QRegularExpression directive(QStringLiteral(R"re(/s\d+x\d+_jfs/)re"));
    return url.replace(directive, QStringLiteral("/jfs/"));
}

QString FirstThumbnailAddress(const QString &page)
{
    const QStringList thumbs = ThumbnailList(page);
    for (qsizetype j = 1; j < thumbs.size(); ++j) {
        const QString url = ThumbnailAddress(thumbs[j]);
        if (!url.isEmpty())
            return url;
    }
    return {};
}
