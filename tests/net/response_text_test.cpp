#include "net/response_text.h"

#include "net_test_support.h"

namespace {

ST_URLRESPONSE Response(const QByteArray &body, const QString &headers = QString(), bool gzip = false)
{
    ST_URLRESPONSE r;
    r.body = body;
    r.strRawHeaders = headers;
    r.bGzip = gzip;
    return r;
}

QString Text(const ST_URLRESPONSE &r, unsigned flags)
{
    QString out = QStringLiteral("stale");
    GetResponseText(r, out, flags);
    return out;
}

const char kHeadersGbk[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=GBK\r\n\r\n";
const char kHeadersUtf8[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
// "京东" in GBK and in UTF-8.
const QByteArray kJdGbk("\xbe\xa9\xb6\xab");
const QByteArray kJdUtf8("\xe4\xba\xac\xe4\xb8\x9c");
const QString kJd = QString::fromUtf8("京东");

// --- character sets ---

TEST(ResponseText, AnnouncedGbkWinsOverTheUtf8Flag)
{
    EXPECT_EQ(Text(Response("<h1>" + kJdGbk + "</h1>", kHeadersGbk), TXTF_GUNZIP | TXTF_UTF8),
              "<h1>" + kJd + "</h1>");
}

TEST(ResponseText, LowerCaseGbkAnnouncementDoesNotMatch)
{
    const QString headers = QString(kHeadersGbk).replace("GBK", "gbk");
    EXPECT_EQ(Text(Response(kJdUtf8, headers), TXTF_UTF8), kJd);
    EXPECT_EQ(Text(Response(kJdGbk, headers), 0), kJd); // no flag: the ANSI code page (GBK)
}

TEST(ResponseText, GbkZeroByteIsDroppedWithOrWithoutTheFlag)
{
    const QByteArray body = "a" + kJdGbk + QByteArray("\0b", 2) + kJdGbk;
    EXPECT_EQ(Text(Response(body, kHeadersGbk), 0), "a" + kJd + "b" + kJd);
    EXPECT_EQ(Text(Response(body, kHeadersGbk), TXTF_GBK_NUL), "a" + kJd + "b" + kJd);
}

TEST(ResponseText, GbkNulFlagAlsoDropsRealDelCharacters)
{
    EXPECT_EQ(Text(Response(QByteArray("x\x7fy\0z", 5), kHeadersGbk), TXTF_GBK_NUL), "xyz");
}

TEST(ResponseText, ExplicitCodePages)
{
    EXPECT_EQ(Text(Response(kJdUtf8, kHeadersUtf8), TXTF_UTF8), kJd);
    // "한" in EUC-KR, "中" in Big5.
    EXPECT_EQ(Text(Response("\xc7\xd1"), TXTF_EUCKR), QString::fromUtf8("한"));
    EXPECT_EQ(Text(Response("\xa4\xa4"), TXTF_BIG5), QString::fromUtf8("中"));
    // The first explicit flag in the order UTF-8, EUC-KR, Big5 wins.
    EXPECT_EQ(Text(Response(kJdUtf8), TXTF_UTF8 | TXTF_BIG5), kJd);
}

TEST(ResponseText, ZeroBytesAreDroppedInEveryCodePage)
{
    for (unsigned f : {0u, 2u, 16u})
        EXPECT_EQ(Text(Response(QByteArray("ab\0c\0\0d", 7)), f), "abcd") << f;
    EXPECT_EQ(Text(Response(QByteArray("\0cd", 3)), TXTF_UTF8), "cd");
}

TEST(ResponseText, EmptyBodyGivesEmptyText)
{
    for (unsigned f : {0u, 1u, 2u, 4u, 8u, 16u, 32u})
        EXPECT_EQ(Text(Response(QByteArray()), f), "") << f;
    EXPECT_EQ(Text(Response(QByteArray(), kHeadersGbk), TXTF_GBK_NUL), "");
}

TEST(ResponseText, AutoPicksUtf8OnlyForCompleteNonAsciiSequences)
{
    EXPECT_EQ(Text(Response("plain ascii"), TXTF_AUTO), "plain ascii");
    EXPECT_EQ(Text(Response("caf\xc3\xa9"), TXTF_AUTO), QString::fromUtf8("café"));
    EXPECT_EQ(Text(Response(kJdUtf8), TXTF_AUTO), kJd);
    EXPECT_EQ(Text(Response(kJdGbk), TXTF_AUTO), kJd); // not UTF-8: GBK
    // Cut in the middle of a sequence: the ANSI conversion.
    const QByteArray cut = kJdUtf8.left(5);
    QString ansi;
    GetResponseText(Response(cut), ansi, 0);
    EXPECT_EQ(Text(Response(cut), TXTF_AUTO), ansi);
    EXPECT_NE(Text(Response(cut), TXTF_AUTO), kJd.left(1));
}

// --- gzip and markers ---

TEST(ResponseText, GzipBodyIsInflatedThenCut)
{
    ST_URLRESPONSE r = Response(Deflate("<ul><li>a<li>b</ul>tail"), kHeadersUtf8, true);
    r.startMark = "<li>";
    r.endMark = "</ul>";
    EXPECT_EQ(Text(r, TXTF_GUNZIP), "b");
    EXPECT_TRUE(r.bGzip); // the response is left as it was
    EXPECT_EQ(r.body, Deflate("<ul><li>a<li>b</ul>tail"));
}

TEST(ResponseText, UncompressedBodyIsNotCutAgain)
{
    // The fetcher cut it while reading; the remaining text may hold the markers.
    ST_URLRESPONSE r = Response("x<li>y</ul>z");
    r.startMark = "<li>";
    r.endMark = "</ul>";
    EXPECT_EQ(Text(r, TXTF_GUNZIP), "x<li>y</ul>z");
}

TEST(ResponseText, GzipWithoutTheFlagConvertsTheCompressedBytes)
{
    const QByteArray gz = Deflate("readable text here");
    const QString t = Text(Response(gz, QString(), true), 0);
    EXPECT_FALSE(t.contains("readable"));
}

TEST(ResponseText, TruncatedGzipGivesWhatWasInflated)
{
    QByteArray plain;
    for (int i = 0; i < 3000; ++i)
        plain += QByteArray::number(i) + ",";
    const QByteArray gz = Deflate(plain);
    const QString t = Text(Response(gz.left(gz.size() / 2), QString(), true), TXTF_GUNZIP);
    EXPECT_FALSE(t.isEmpty());
    EXPECT_TRUE(QString::fromLatin1(plain).startsWith(t));
}

TEST(ResponseText, GarbageMarkedAsGzipGivesEmptyText)
{
    EXPECT_EQ(Text(Response("not compressed at all", QString(), true), TXTF_GUNZIP), "");
}

// --- entities ---

TEST(ResponseText, EntitiesAreDecoded)
{
    EXPECT_EQ(Text(Response("a &quot;b&quot; &lt;c&gt; d&nbsp;e&#39;f&hellip;"), 0),
              QString::fromUtf8("a \"b\" <c> d e'f…"));
    EXPECT_EQ(Text(Response("&amp;lt;"), 0), "<");
    EXPECT_EQ(Text(Response("&#34;"), 0), "&#34;");
}

// --- IsUtf8Text ---

bool Utf8(const QByteArray &b)
{
    return IsUtf8Text(b.constData(), uint32_t(b.size()), 0);
}

TEST(IsUtf8Text, FollowsTheLooseLeadByteRules)
{
    EXPECT_FALSE(IsUtf8Text("", 0, 0));
    EXPECT_FALSE(Utf8("ascii only"));
    EXPECT_TRUE(Utf8("\xc3\xa9"));
    EXPECT_TRUE(Utf8(kJdUtf8));
    EXPECT_TRUE(Utf8("\xf0\x9f\x98\x80"));
    EXPECT_FALSE(Utf8("\xe4\xba"));         // ends inside a sequence
    EXPECT_FALSE(Utf8("\xe4\x41\x80"));     // continuation expected
    EXPECT_FALSE(Utf8("\x80"));             // stray continuation byte
    EXPECT_FALSE(Utf8(kJdGbk));
    // Old five- and six-byte forms, and 0xFE/0xFF as five-byte leads.
    EXPECT_TRUE(Utf8("\xf8\x80\x80\x80\x80"));
    EXPECT_TRUE(Utf8("\xfc\x80\x80\x80\x80\x80"));
    EXPECT_TRUE(Utf8("\xfe\x80\x80\x80\x80"));
    EXPECT_FALSE(Utf8("\xfe\x80\x80\x80"));
    // No check of overlong forms.
    EXPECT_TRUE(Utf8("\xc0\x80"));
}

TEST(IsUtf8Text, LengthComesInTwoHalves)
{
    EXPECT_TRUE(IsUtf8Text("\xc3\xa9", 2, 0));
    EXPECT_FALSE(IsUtf8Text("\xc3\xa9", 1, 0));
}

} // namespace
