#include "engine/page_classic.h"

#include "util/text_utils.h"

QString ClassicTitle(QString text)
{
    CutAfter(QStringLiteral("id=\"product-intro"), true, text);
    return GetBetween(QStringLiteral("<h1>"), QStringLiteral("</"), 0, text);
}

QStringList ThumbnailList(QString text)
{
    QStringList thumbs;
    const QString strip = QStringLiteral("class=\"spec-items");
    if (text.indexOf(strip) <= 0)
        return thumbs;
    CutAfter(strip, true, text);
    CutBefore(QStringLiteral("</ul>"), text);
    SplitString(thumbs, text, QStringLiteral("src="));
    return thumbs;
}

QString ThumbnailAddress(const QString &thumb)
{
    const qsizetype space = thumb.indexOf(u' ');
    const QString raw = space < 0 ? QString() : thumb.left(space);
    QString url;
    if (raw.contains(QStringLiteral("http://")) || raw.contains(QStringLiteral("https://")))
        url = raw;
    else if (raw.contains(u'.'))
        url = QStringLiteral("http:") + raw;
    else
        return {};
    url.remove(u'"');
    url.remove(u'\'');
    // A line break or a tab means the markers cut across an attribute list
    // written over several lines: that is no address.
    for (const QChar c : url)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    return url;
}

QStringList ClassicThumbnails(const QString &text)
{
    const QStringList thumbs = ThumbnailList(text);
    QStringList urls;
    for (qsizetype j = 1; j < thumbs.size(); ++j)
        urls.append(ThumbnailAddress(thumbs[j]));
    return urls;
}

std::vector<ST_PAGECHOICE> ClassicChoices(QString text)
{
    CutAfter(QStringLiteral("id=\"summary-stock"), true, text);
    CutBefore(QStringLiteral("class=\"btn-append"), text);
    QStringList elements;
    SplitString(elements, text, QStringLiteral("class=\"item"));
    std::vector<ST_PAGECHOICE> choices;
    for (qsizetype i = 1; i < elements.size(); ++i) {
        QString element = elements[i];
        ST_PAGECHOICE c;
        GetBetween(c.strUrl, QStringLiteral("href=\""), QStringLiteral("\""), GB_CUT_TEXT, element);
        if (!c.strUrl.contains(QStringLiteral("http")))
            c.strUrl.prepend(QStringLiteral("http:"));
        c.strName = GetBetween(QStringLiteral("title=\""), QStringLiteral("\""), 0, element);
        choices.push_back(c);
    }
    return choices;
}
