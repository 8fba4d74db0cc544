#include "net/response_charset.h"
#include "net/response_text.h"
#include "util/codepage.h"

#include <gtest/gtest.h>

namespace {

QString HeadersWith(const char *contentType)
{
    return QStringLiteral("HTTP/1.1 200 OK\r\nServer: x\r\n%1\r\n\r\n").arg(QLatin1String(contentType));
}

TEST(AnnouncedCodePage, HeaderThenMetaTag)
{
    const struct
    {
        const char *header;
        QByteArray body;
        unsigned codePage;
    } cases[] = {
        {"Content-Type: text/html; charset=utf-8", "", CP_UTF8},
        {"content-type: text/html;charset=\"UTF8\"", "", CP_UTF8},
        {"Content-Type: text/html; charset=GB18030", "<meta charset=utf-8>", CP_GB18030}, // header first
        {"Content-Type: text/html; charset=gb2312", "", CP_GBK},
        {"Content-Type: text/html; charset=Big5", "", CP_BIG5},
        {"Content-Type: text/html; charset=x-unknown", "", CP_GBK},
        {"Content-Type: text/html", "<head><META http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">", CP_BIG5},
        {"Content-Type: text/html", "<meta name=\"a\"><meta charset='utf-8'/>", CP_UTF8},
        {"Content-Type: text/html", "<p>charset=utf-8</p>", 0},                    // not in a meta tag
        {"Content-Type: text/html", QByteArray(4096, ' ') + "<meta charset=utf-8>", 0}, // too far in
        {"X-Note: charset=utf-8", "", 0},                                          // not the Content-Type
    };
    for (const auto &c : cases)
        EXPECT_EQ(AnnouncedCodePage(HeadersWith(c.header), c.body), c.codePage) << c.header << " " << c.body.left(60).constData();
}

TEST(ResponseText, CharsetFlagReadsTheNamedCharset)
{
    ST_URLRESPONSE r;
    r.body = "<h1>\xe4\xba\xac\xe4\xb8\x9c &amp;</h1>"; // "京东" in UTF-8
    r.strRawHeaders = HeadersWith("Content-Type: text/html; charset=utf-8");
    QString text;
    GetResponseText(r, text, TXTF_GUNZIP | TXTF_CHARSET);
    EXPECT_EQ(text, QStringLiteral("<h1>京东 &</h1>"));
    GetResponseText(r, text, TXTF_GUNZIP | TXTF_CHARSET | TXTF_KEEP_ENTITIES);
    EXPECT_EQ(text, QStringLiteral("<h1>京东 &amp;</h1>"));
    GetResponseText(r, text, TXTF_GUNZIP); // without the flag: GBK, as ever
    EXPECT_NE(text, QStringLiteral("<h1>京东 &</h1>"));
    // The exact announcement "charset=GBK" still comes first.
    r.strRawHeaders = HeadersWith("Content-Type: text/html; charset=GBK");
    r.body = "\xbe\xa9\xb6\xab<meta charset=utf-8>";
    GetResponseText(r, text, TXTF_GUNZIP | TXTF_CHARSET);
    EXPECT_EQ(text, QStringLiteral("京东<meta charset=utf-8>"));
}

} // namespace
