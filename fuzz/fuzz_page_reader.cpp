// A product page of any content, with a pageConfig script of any content:
// the readers never fail, and no thumbnail address they give holds a
// control character (a listing of addresses must never gain a row).  Input: the page, then the
// script's object literal.

#include "fuzz_support.h"

#include "engine/page_reader.h"
#include "util/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = fuzz::Parts(data, size);
    QString html = QString::fromUtf8(parts[0]);
    if (parts.size() > 1)
        html += QStringLiteral("<script>var pageConfig = ") + QString::fromUtf8(parts[1]) +
                QStringLiteral(";</script>");
    QString text = html;
    DecodeHtmlEntities(text);
    const ST_PRODUCTPAGE page =
        ReadProductPage(text, html, QStringLiteral("http://item.jd.com/100.html"), parts.size() > 2);
    for (const QString &url : page.arrThumbs) {
        for (const QChar c : url)
            FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F);
    }
    return 0;
}
