#include "engine/address_list.h"

#include "engine/page_reader.h"
#include "engine/product_page.h"
#include "util/codepage.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

QStringList ProductAddresses(const QString &text)
{
    // An address ends at white space, a comma (also the wide one), a quote or
    // an angle bracket: what a sheet or a web page puts around links.
    static const QRegularExpression link(QStringLiteral(R"re(https?://[^\s,，;；"'<>()（）]+)re"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList addresses;
    QSet<QString> seen;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QString address = it.next().captured();
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || !url.host().contains(QStringView(kProductHostFragment)))
            continue;
        // The same product under two spellings of its address is one album.
        const QString sku = ProductSku(address);
        const QString key = sku.isEmpty() ? address : url.host().toLower() + u'/' + sku;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        addresses.append(address);
    }
    return addresses;
}

QString AddressListText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = BytesToWide(bytes, 936);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = text.split(u'\n');
    lines.removeIf([](const QString &line) { return line.trimmed().startsWith(u'#'); });
    return lines.join(u'\n');
}
