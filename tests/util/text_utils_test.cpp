#include "util/text_utils.h"

#include <gtest/gtest.h>

namespace {

const QString kText = QStringLiteral("head<b>one</b>mid<b>two</b>tail");

TEST(CutAfter, IncludeDropsTheMarker)
{
    QString t = kText;
    EXPECT_EQ(CutAfter(QStringLiteral("<b>"), true, t), 4);
    EXPECT_EQ(t, QStringLiteral("one</b>mid<b>two</b>tail"));
}

TEST(CutAfter, WithoutIncludeKeepsTheMarkerInFront)
{
    QString t = kText;
    EXPECT_EQ(CutAfter(QStringLiteral("<b>"), false, t), 4);
    EXPECT_EQ(t, QStringLiteral("<b>one</b>mid<b>two</b>tail"));
}

TEST(CutAfter, MissingMarkerLeavesTextAlone)
{
    QString t = kText;
    EXPECT_EQ(CutAfter(QStringLiteral("<i>"), true, t), -1);
    EXPECT_EQ(t, kText);
}

TEST(CutAfter, IsCaseSensitive)
{
    QString t = kText;
    EXPECT_EQ(CutAfter(QStringLiteral("<B>"), true, t), -1);
}

TEST(CutBefore, KeepsThePartBeforeTheFirstMarker)
{
    QString t = kText;
    EXPECT_EQ(CutBefore(QStringLiteral("</b>"), t), 10);
    EXPECT_EQ(t, QStringLiteral("head<b>one"));
    QString u = kText;
    EXPECT_EQ(CutBefore(QStringLiteral("zzz"), u), -1);
    EXPECT_EQ(u, kText);
}

TEST(GetBetween, FindsTheFirstItem)
{
    QString t = kText;
    QString out = QStringLiteral("old");
    EXPECT_EQ(GetBetween(out, QStringLiteral("<b>"), QStringLiteral("</b>"), 0, t), QStringLiteral("one"));
    EXPECT_EQ(out, QStringLiteral("one"));
    EXPECT_EQ(t, kText);
}

TEST(GetBetween, MissingStartGivesEmptyAndKeepsText)
{
    QString t = kText;
    QString out = QStringLiteral("old");
    GetBetween(out, QStringLiteral("<i>"), QStringLiteral("</b>"), GB_CUT_TEXT | GB_TO_END, t);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(t, kText);
}

TEST(GetBetween, MissingEndDependsOnMode)
{
    const QString text = QStringLiteral("abc[start]rest of it");
    QString out;
    QString t = text;
    GetBetween(out, QStringLiteral("[start]"), QStringLiteral("[end]"), 0, t);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(t, text);

    t = text;
    GetBetween(out, QStringLiteral("[start]"), QStringLiteral("[end]"), GB_TO_END, t);
    EXPECT_EQ(out, QStringLiteral("rest of it"));
    EXPECT_EQ(t, text);

    t = text;
    GetBetween(out, QStringLiteral("[start]"), QStringLiteral("[end]"), GB_TO_END | GB_CUT_TEXT, t);
    EXPECT_EQ(out, QStringLiteral("rest of it"));
    EXPECT_EQ(t, QStringLiteral("rest of it"));
}

TEST(GetBetween, EndMarkerWinsOverToEnd)
{
    EXPECT_EQ(GetBetween(QStringLiteral("<b>"), QStringLiteral("</b>"), GB_TO_END, kText), QStringLiteral("one"));
}

TEST(GetBetween, CutModeContinuesAfterTheStartMarker)
{
    QString t = kText;
    QString out;
    QStringList items;
    while (!GetBetween(out, QStringLiteral("<b>"), QStringLiteral("</b>"), GB_CUT_TEXT, t).isEmpty())
        items.append(out);
    EXPECT_EQ(items, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    // The text goes on right after the last start marker, not after the end marker.
    EXPECT_EQ(t, QStringLiteral("two</b>tail"));
}

TEST(GetBetween, ConstOverloadNeverCuts)
{
    const QString t = kText;
    EXPECT_EQ(GetBetween(QStringLiteral("mid"), QStringLiteral("<"), GB_CUT_TEXT, t), QString());
    EXPECT_EQ(GetBetween(QStringLiteral("</b>"), QStringLiteral("<b>"), GB_CUT_TEXT, t), QStringLiteral("mid"));
}

TEST(CountOccurrences, CountsNonOverlappingFromTheLeft)
{
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaaa"), QStringLiteral("aa")), 2);
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaa"), QStringLiteral("aa")), 1);
    EXPECT_EQ(CountOccurrences(QStringLiteral("a|b||c"), QStringLiteral("|")), 3);
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QStringLiteral("|")), 0);
    EXPECT_EQ(CountOccurrences(QString(), QStringLiteral("|")), 0);
}

TEST(CountOccurrences, EmptySeparatorCountsNothing)
{
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QString()), 0);
}

TEST(SplitString, TrailingSeparatorGivesAnEmptyLastElement)
{
    QStringList out;
    EXPECT_EQ(SplitString(out, QStringLiteral("a,b,"), QStringLiteral(",")), 2);
    EXPECT_EQ(out, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QString()}));
}

TEST(SplitString, NoSeparatorGivesNoElement)
{
    QStringList out{QStringLiteral("stale")};
    EXPECT_EQ(SplitString(out, QStringLiteral("abc"), QStringLiteral(",")), 0);
    EXPECT_TRUE(out.isEmpty());
}

TEST(SplitString, KeepsEmptyElementsAndMultiCharSeparators)
{
    QStringList out;
    EXPECT_EQ(SplitString(out, QStringLiteral("<>x<><>y"), QStringLiteral("<>")), 3);
    EXPECT_EQ(out, (QStringList{QString(), QStringLiteral("x"), QString(), QStringLiteral("y")}));
}

TEST(SplitString, EmptySeparatorGivesNoElement)
{
    QStringList out;
    EXPECT_EQ(SplitString(out, QStringLiteral("abc"), QString()), 0);
    EXPECT_TRUE(out.isEmpty());
}

TEST(ReplaceEach, ReplacesPairsInOrder)
{
    QString t = QStringLiteral("red green blue");
    ReplaceEach(t, QStringLiteral("red|blue"), QStringLiteral("R|B"));
    EXPECT_EQ(t, QStringLiteral("R green B"));
}

TEST(ReplaceEach, LaterPairsSeeEarlierResults)
{
    QString t = QStringLiteral("abc");
    ReplaceEach(t, QStringLiteral("a|xb"), QStringLiteral("x|Y"));
    EXPECT_EQ(t, QStringLiteral("Yc"));
}

TEST(ReplaceEach, DifferentBarCountsReplaceTheWholeList)
{
    QString t = QStringLiteral("a|b and a and b");
    ReplaceEach(t, QStringLiteral("a|b"), QStringLiteral("Z"));
    EXPECT_EQ(t, QStringLiteral("Z and a and b"));
}

TEST(ReplaceEach, NoBarsIsOnePair)
{
    QString t = QStringLiteral("one two one");
    ReplaceEach(t, QStringLiteral("one"), QStringLiteral("1"));
    EXPECT_EQ(t, QStringLiteral("1 two 1"));
}

TEST(ReplaceEach, EmptyOldItemReplacesNothing)
{
    QString t = QStringLiteral("abc");
    ReplaceEach(t, QStringLiteral("|b"), QStringLiteral("X|"));
    EXPECT_EQ(t, QStringLiteral("ac"));
    QString u = QStringLiteral("abc");
    ReplaceEach(u, QString(), QString());
    EXPECT_EQ(u, QStringLiteral("abc"));
}

TEST(DecodeHtmlEntities, DecodesTheSevenEntities)
{
    QString t = QStringLiteral("&quot;a&quot; &amp; &lt;b&gt;&nbsp;c&hellip;&#39;d&#39;");
    DecodeHtmlEntities(t);
    EXPECT_EQ(t, QStringLiteral("\"a\" & <b> c") + QChar(0x2026) + QStringLiteral("'d'"));
}

TEST(DecodeHtmlEntities, AmpersandFirstDecodesEscapedEntitiesTwice)
{
    QString t = QStringLiteral("&amp;gt; &amp;lt; &amp;#39; &amp;nbsp;");
    DecodeHtmlEntities(t);
    EXPECT_EQ(t, QStringLiteral("> < '  "));
}

TEST(DecodeHtmlEntities, EscapedQuoteBecomesAPlainQuote)
{
    QString t = QStringLiteral("say &amp;quot;hi&amp;quot;");
    DecodeHtmlEntities(t);
    EXPECT_EQ(t, QStringLiteral("say \"hi\""));
}

TEST(DecodeHtmlEntities, LeavesOtherEntitiesAlone)
{
    QString t = QStringLiteral("&#40;&#x27;&copy;&AMP;&apos;");
    DecodeHtmlEntities(t);
    EXPECT_EQ(t, QStringLiteral("&#40;&#x27;&copy;&AMP;&apos;"));
}

} // namespace
