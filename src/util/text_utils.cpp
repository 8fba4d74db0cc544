#include "util/text_utils.h"

int CutAfter(const QString &marker, bool bInclude, QString &text)
{
    const qsizetype pos = text.indexOf(marker);
    if (pos < 0)
        return -1;
    text.remove(0, pos + (bInclude ? marker.size() : 0));
    return int(pos);
}

int CutBefore(const QString &marker, QString &text)
{
    const qsizetype pos = text.indexOf(marker);
    if (pos < 0)
        return -1;
    text.truncate(pos);
    return int(pos);
}

QString &GetBetween(QString &strOut, const QString &start, const QString &end, int nMode,
                    QString &text)
{
    strOut.clear();
    QString rest = text;
    const qsizetype pos = rest.indexOf(start);
    if (pos >= 0) {
        rest.remove(0, pos + start.size());
        if (nMode & GB_TO_END)
            strOut = rest;
        const qsizetype endPos = rest.indexOf(end);
        if (endPos >= 0)
            strOut = rest.left(endPos);
    }
    if (nMode & GB_CUT_TEXT)
        text = rest;
    return strOut;
}

QString GetBetween(const QString &start, const QString &end, int nMode, const QString &text)
{
    QString copy = text;
    QString out;
    GetBetween(out, start, end, nMode & ~GB_CUT_TEXT, copy);
    return out;
}

int CountOccurrences(const QString &text, const QString &sep)
{
    if (sep.isEmpty())
        return 0;
    int count = 0;
    qsizetype from = 0;
    while ((from = text.indexOf(sep, from)) >= 0) {
        ++count;
        from += sep.size();
    }
    return count;
}

int SplitString(QStringList &out, const QString &text, const QString &sep)
{
    out.clear();
    const int count = CountOccurrences(text, sep);
    if (count < 1)
        return 0;
    out.reserve(count + 1);
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype pos = text.indexOf(sep, from);
        out.append(text.mid(from, pos - from));
        from = pos + sep.size();
    }
    out.append(text.mid(from));
    return count;
}

void ReplaceEach(QString &text, const QString &oldList, const QString &newList)
{
    const QString bar = QStringLiteral("|");
    const int oldBars = CountOccurrences(oldList, bar);
    const int newBars = CountOccurrences(newList, bar);
    if (oldBars != newBars) {
        if (!oldList.isEmpty())
            text.replace(oldList, newList);
        return;
    }
    QStringList olds, news;
    if (SplitString(olds, oldList, bar) == 0)
        olds = QStringList{oldList};
    if (SplitString(news, newList, bar) == 0)
        news = QStringList{newList};
    for (qsizetype i = 0; i < olds.size(); ++i) {
        if (!olds[i].isEmpty())
            text.replace(olds[i], news[i]);
    }
}

void DecodeHtmlEntities(QString &text)
{
    // "&amp;" goes first, so an escaped entity ("&amp;gt;", "&amp;quot;") is
    // decoded twice; titles that were escaped once too often still come out right.
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&hellip;"), QString(QChar(0x2026)));
    text.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
}

bool IsControlCharacter(QChar c)
{
    const QChar::Category cat = c.category();
    return cat == QChar::Other_Control || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph;
}
