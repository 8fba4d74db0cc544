// The readers together: each page variation gives its title, thumbnails and
// choices whoever finds them, and the classic reading keeps its word where
// its markers fit.

#include "engine/page_reader.h"
#include "engine/shop_pages.h"

#include "util/text_utils.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

const QString kPage = QStringLiteral("http://item.jd.com/100.html");

ST_PRODUCTPAGE Read(const std::string &html, bool bDescription = false)
{
    const QString raw = QString::fromStdString(html);
    QString text = raw;
    DecodeHtmlEntities(text);
    return ReadProductPage(text, raw, kPage, bDescription);
}

QStringList Choices(const ST_PRODUCTPAGE &page)
{
    QStringList out;
    for (const ST_PAGECHOICE &c : page.arrChoices)
        out << c.strUrl + u' ' + c.strName;
    return out;
}

TEST(ReadProductPage, MarkupVariations)
{
    const struct
    {
        const char *what;
        std::string html;
        QString title;
        QStringList thumbs;
        QStringList choices;
    } cases[] = {
        {"classic markers",
         shop::ProductPage("杯子", {{"//item.jd.com/200.html", "蓝色"}}, {"'//img.jd.com/n5/a.jpg'"}),
         QStringLiteral("杯子"), {QStringLiteral("http://img.jd.com/n5/a.jpg")},
         {QStringLiteral("http://item.jd.com/200.html 蓝色")}},
        {"single quotes, attributes over several lines",
         "<div class='sku-name'>\n  杯子 </div><div id='spec-list'><ul class='spec-items lh'>\n"
         "<li><img alt='a'\n   src='//img13.360buyimg.com/n5/jfs/t1/a.jpg'\n   data-url='jfs/t1/a.jpg'></li></ul></div>",
         QStringLiteral("杯子"), {QStringLiteral("http://img13.360buyimg.com/n5/jfs/t1/a.jpg")}, {}},
        {"classic markers around attributes over several lines",
         "<div id=\"product-intro\"><h1>杯子</h1><div class=\"spec-items\"><ul class=\"lh\">\n"
         "<li><img alt='杯子'\n src='//img14.360buyimg.com/n5/jfs/a.jpg'\n data-url='jfs/a.jpg'></li>\n"
         "<li><img alt='杯子'\n src='//img14.360buyimg.com/n5/jfs/b.jpg'\n data-url='jfs/b.jpg'></li></ul></div></div>",
         QStringLiteral("杯子"),
         {QStringLiteral("http://img14.360buyimg.com/n5/jfs/a.jpg"), QStringLiteral("http://img14.360buyimg.com/n5/jfs/b.jpg")},
         {}},
        {"upper case, no quotes",
         "<DIV CLASS=sku-name>杯子</DIV><DIV ID=spec-list><UL><LI><IMG SRC=//img.jd.com/n5/b.jpg ALT=x></UL></DIV>",
         QStringLiteral("杯子"), {QStringLiteral("http://img.jd.com/n5/b.jpg")}, {}},
        {"entities in an address, data-url alone, an image with neither",
         "<div class=\"sku-name\">A &amp; B</div><div id=\"spec-list\"><img src=\"//img.jd.com/n5/c.jpg?a=1&amp;b=2\">"
         "<img alt=\"none\"><img data-url=\"jfs/t1/d.jpg\"></div>",
         QStringLiteral("A & B"),
         {QStringLiteral("http://img.jd.com/n5/c.jpg?a=1&b=2"), QString(),
          QStringLiteral("http://img10.360buyimg.com/n5/jfs/t1/d.jpg")},
         {}},
        {"attribute rows are the choices, not the buy box's links",
         "<div class=\"sku-name\">杯子</div><div id=\"choose-attr-1\"><div class=\"item\" data-sku=\"200\" "
         "data-value=\"蓝\"><a href=\"#none\">蓝</a></div></div><div id=\"summary-stock\">"
         "<a class=\"item\" href=\"//cart.jd.com/gate.action?pid=100\" title=\"购\">购</a></div>",
         QStringLiteral("杯子"), {}, {QStringLiteral("http://item.jd.com/200.html 蓝")}},
        {"script only: comments, trailing commas, nested objects, escapes",
         "<script>\n// config\nvar pageConfig = { product: { skuid: 100, name: '\\u676f\\u5b50', /* c */\n"
         " imageList: ['jfs/t1/e.jpg', \"//img14.360buyimg.com/n1/jfs/f.jpg\",],\n"
         " colorSize: [{skuId: 100, \"颜色\": \"红\"}, {skuId: 200, \"颜色\": \"蓝\",},],\n"
         " nested: {a: {b: [1, 2,]}}, } };\n</script>",
         QStringLiteral("杯子"),
         {QStringLiteral("http://img10.360buyimg.com/n5/jfs/t1/e.jpg"),
          QStringLiteral("http://img14.360buyimg.com/n1/jfs/f.jpg")},
         {QStringLiteral("http://item.jd.com/100.html 红"), QStringLiteral("http://item.jd.com/200.html 蓝")}},
    };
    for (const auto &c : cases) {
        const ST_PRODUCTPAGE page = Read(c.html);
        EXPECT_EQ(page.strTitle, c.title) << c.what;
        EXPECT_EQ(page.arrThumbs, c.thumbs) << c.what;
        EXPECT_EQ(Choices(page), c.choices) << c.what;
    }
}

TEST(ReadProductPage, ScriptRunsOnlyWhenThePageLacksWhatItHolds)
{
    const std::string html = shop::ProductPage("杯子", {{"//item.jd.com/200.html", "蓝"}}, {"'//img.jd.com/n5/a.jpg'"}) +
                             "<script>var pageConfig = {product: {desc: '//cd.jd.com/d?skuId=100'}};</script>";
    EXPECT_TRUE(Read(html).strDescUrl.isEmpty());
    EXPECT_EQ(Read(html, true).strDescUrl, QStringLiteral("//cd.jd.com/d?skuId=100"));
}

TEST(ReadProductPage, HostileScriptEndsInAFailureAndTheRestStands)
{
    for (const std::string &script : {std::string("var pageConfig = {product: {}}; for (;;) {}"),
                                      "var pageConfig = {product: {name: '" + std::string(2 << 20, 'x') + "'}};"}) {
        const auto started = std::chrono::steady_clock::now();
        const ST_PRODUCTPAGE page = Read("<div class=\"sku-name\">杯子</div><script>" + script + "</script>");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
        EXPECT_FALSE(page.strFailure.isEmpty());
        EXPECT_EQ(page.strTitle, QStringLiteral("杯子"));
        EXPECT_TRUE(page.arrThumbs.isEmpty());
    }
}

TEST(ReadProductPage, CheckPageIsOneWithoutAProduct)
{
    EXPECT_TRUE(Read("<html><head><title>京东验证</title></head><body></body></html>").bCheckPage);
    EXPECT_FALSE(Read(shop::ProductPage("安全验证器", {}, {"'//img.jd.com/n5/a.jpg'"})).bCheckPage);
}

TEST(ProductPageUrl, OnlyProductPagesOfTheShop)
{
    for (const char *url : {"http://item.jd.com/100.html", "https://item.jd.com/100.html#none",
                            "http://item.jd.hk/100.html", "https://npcitem.jd.hk/100.html", "http://ITEM.JD.COM/100.html"})
        EXPECT_TRUE(IsProductPageUrl(QString::fromLatin1(url))) << url;
    for (const char *url :
         {"http://cart.jd.com/gate.action?pid=100&pcount=1&ptype=1", "http://item.jd.com/100.html?x=1",
          "http://item.m.jd.com/product/100.html", "http://club.jd.com/review/100-0-1.html", "http://mall.jd.com/index-1.html",
          "http://item.jd.com.evil.example/100.html", "http://user@item.jd.com/100.html", "ftp://item.jd.com/100.html",
          "http://item.jd.com/10a.html", "http://item.jd.com/.html", "http:#", "http://item.jd.com/100.htm"})
        EXPECT_FALSE(IsProductPageUrl(QString::fromLatin1(url))) << url;
}

} // namespace
