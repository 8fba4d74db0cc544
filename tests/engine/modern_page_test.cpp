// Newer product pages and description pictures: title fallbacks, pages that
// name their charset, size directives, data-sku choices, the two description
// formats and the 下载描述图片 setting.

#include "engine/description_pictures.h"
#include "engine/extraction_fixture.h"
#include "engine/notices.h"
#include "engine/shop_pages.h"
#include "util/codepage.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using shop::ModernPage;
using shop::ProductPage;

using ModernPageTest = ExtractionFixture;

TEST_F(ModernPageTest, TitleFromSkuNameElsePageConfigName)
{
    const struct
    {
        std::string skuName, configName;
        QString title; // empty: no album
    } cases[] = {
        {"<img src=\"//img.jd.com/self.png\" alt=\"自营\">\n  华为 &amp; 荣耀 <span>Mate</span> ", "别的",
         QStringLiteral("华为 & 荣耀 Mate")},
        {"", "\\u534e\\u4e3a Mate\\'60\\x21", QStringLiteral("华为 Mate'60!")},
        {"", "", QString()},
    };
    for (const auto &c : cases) {
        state.albums.Clear();
        PutUtf8(kProduct.toStdString(), ModernPage{c.skuName, c.configName}.Html());
        AddProductAlbum(state, host, kProduct);
        if (c.title.isEmpty()) {
            EXPECT_EQ(state.albums.Count(), 0);
            EXPECT_EQ(host.Messages(), QStringList{notice::NoProductTitle()});
        } else {
            ASSERT_EQ(state.albums.Count(), 1) << c.configName;
            EXPECT_EQ(state.albums.GetAlbum(0).strName, c.title);
        }
    }
}

TEST_F(ModernPageTest, PageIsReadInTheCharsetItNames)
{
    const std::string title = "华为手机";
    // Its UTF-8 bytes read as GBK too, as other characters.
    ASSERT_FALSE(BytesToWide(QByteArray::fromStdString(title), CP_GBK).contains(QChar(0xFFFD)));
    const struct
    {
        std::string body, contentType;
    } cases[] = {
        {ProductPage(title, {}, {}), "text/html; charset=utf-8"}, // header alone
        {ModernPage{title}.Html(), "text/html"},                 // meta tag alone
        {WideToGbk(QString::fromStdString(ProductPage(title, {}, {}))).toStdString(), "text/html"}, // neither: GBK
    };
    for (const auto &c : cases) {
        state.albums.Clear();
        PutUtf8(kProduct.toStdString(), c.body, c.contentType);
        AddProductAlbum(state, host, kProduct);
        ASSERT_EQ(state.albums.Count(), 1) << c.contentType;
        EXPECT_EQ(state.albums.GetAlbum(0).strName, QString::fromStdString(title)) << c.contentType;
    }
}

TEST_F(ModernPageTest, SizedThumbnailsGiveLargePicturesAndTheCover)
{
    state.ext.bJdPictureMethod = 0;
    ListAndStartUtf8(
        ModernPage{"杯子", "", "", {"'//img10.360buyimg.com/n5/s54x54_jfs/t1/a.jpg'", "'//img11.360buyimg.com/n5/jfs/t1/b.jpg'"}}
            .Html());
    EXPECT_EQ(state.albums.GetAlbum(0).strCoverUrl, QStringLiteral("http://img10.360buyimg.com/n5/s54x54_jfs/t1/a.jpg"));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, (QStringList{QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg"),
                                             QStringLiteral("http://img11.360buyimg.com/n12/jfs/t1/b.jpg")}));
}

TEST_F(ModernPageTest, ImageListStandsInForAMissingOrEmptyStrip)
{
    state.ext.bJdPictureMethod = 0;
    const std::string list = "'jfs/t1/a.jpg', \"//img14.360buyimg.com/n1/jfs/t1/b.jpg\",\n 'jfs/t1/\\x63.jpg', ''";
    ModernPage page{"杯子"};
    page.imageList = list;
    page.strip = false;
    ListAndStartUtf8(page.Html());
    EXPECT_EQ(state.albums.GetAlbum(0).strCoverUrl, QStringLiteral("http://img10.360buyimg.com/n5/jfs/t1/a.jpg"));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, (QStringList{QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg"),
                                             QStringLiteral("http://img14.360buyimg.com/n1/jfs/t1/b.jpg"),
                                             QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/c.jpg")}));
    EXPECT_EQ(state.job.arrFileName[2], QStringLiteral("主图_3.jpg"));

    // A strip the page left empty is filled from the same list by script.
    state.albums.Clear();
    state.job.ResetPictures();
    page.strip = true;
    ListAndStartUtf8(page.Html());
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 3);
}

TEST(LargePictureUrl, EverySizeDirectiveGoes)
{
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/n5/s54x54_jfs/t")), QStringLiteral("http://a/n12/jfs/t"));
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/s450x450_jfs/t")), QStringLiteral("http://a/jfs/t"));
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/sAxB_jfs/t")), QStringLiteral("http://a/sAxB_jfs/t"));
}

TEST_F(ModernPageTest, DataSkuChoicesAreVisitedOnceEach)
{
    ListAndStartUtf8(ModernPage{"杯子", "", "", {"'//img.jd.com/n5/black.jpg'"},
                                {{{"100", "黑色"}, {"200", "白色"}}, {{"100", "8GB"}, {"300", "16GB"}}}}
                         .Html());
    PutUtf8("http://item.jd.com/200.html", ModernPage{"杯子", "", "", {"'//img.jd.com/n5/white.jpg'"}}.Html());
    PutUtf8("http://item.jd.com/300.html",
            ModernPage{"杯子", "", "", {"'//img.jd.com/n5/black.jpg'", "'//img.jd.com/n5/big.jpg'"}}.Html());
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("黑色_主图_1.jpg"), QStringLiteral("白色_主图_1.jpg"),
                                                  QStringLiteral("16GB_主图_2.jpg")}));
    // The product's own choice is the kept page; the pseudo choice is not needed.
    EXPECT_EQ(shopServer.Count(kProduct.toStdString()), 1);
    EXPECT_EQ(shopServer.Requests().size(), 3u);
}

// Description HTML with each kind of picture, one of them twice.
const QString kDescHtml = QStringLiteral(
    "<div><img src=\"//img30.360buyimg.com/sku/d1.jpg\" alt=\"描述\">"
    "<img src=\"//misc.360buyimg.com/blank.gif\" data-lazyload=\"//img30.360buyimg.com/sku/d2.jpg\">"
    "<style>.m1{background-image:url(//img30.360buyimg.com/sku/d3.jpg)}</style>"
    "<div data-lazyload='//img30.360buyimg.com/sku/d1.jpg'></div></div>");

std::string DescJson()
{
    return QJsonDocument(QJsonObject{{QStringLiteral("date"), 1}, {QStringLiteral("content"), kDescHtml}})
        .toJson(QJsonDocument::Compact)
        .toStdString();
}

const QStringList kDescPictures{QStringLiteral("http://img30.360buyimg.com/sku/d1.jpg"),
                                QStringLiteral("http://img30.360buyimg.com/sku/d2.jpg"),
                                QStringLiteral("http://img30.360buyimg.com/sku/d3.jpg")};

TEST_F(ModernPageTest, DescriptionPicturesOfBothFormats)
{
    const struct
    {
        std::string desc, served, body;
    } formats[] = {
        {"//d.3.cn/desc/100", "http://d.3.cn/desc/100", "showdesc(" + DescJson() + ")"},
        // The shop logs the query in key order.
        {"//cd.jd.com/description/channel?skuId=100&mainSkuId=100",
         "http://cd.jd.com/description/channel?mainSkuId=100&skuId=100", DescJson()},
    };
    state.ext.bJdDescriptionPictures = JD_DESC_AFTER_MAIN;
    for (const auto &f : formats) {
        state.albums.Clear();
        PutUtf8(f.served, f.body, "application/json;charset=utf-8");
        ListAndStartUtf8(ModernPage{"杯子", "", f.desc, {"'//img.jd.com/n5/own.jpg'"}}.Html());
        ExtractProductPictures(state, host, 0);
        EXPECT_EQ(state.job.arrUrl, QStringList{QStringLiteral("http://img.jd.com/n12/own.jpg")} + kDescPictures)
            << f.desc;
        EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("描述_1.jpg"),
                                                      QStringLiteral("描述_2.jpg"), QStringLiteral("描述_3.jpg")}));
        EXPECT_EQ(shopServer.Referer(f.served), kProduct.toStdString());
    }
}

TEST_F(ModernPageTest, DescriptionOnlyAndTheMenuSwitch)
{
    PutUtf8("http://d.3.cn/desc/100", "showdesc(" + DescJson() + ")");
    const std::string page = ModernPage{"杯子", "", "//d.3.cn/desc/100", {"'//img.jd.com/n5/own.jpg'"}}.Html();
    state.ext.bJdDescriptionPictures = JD_DESC_ONLY;
    ListAndStartUtf8(page);
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, kDescPictures);

    // The menu's switch still collects nothing, and says where the setting is.
    Naming().wFlags = DescriptionPicturesOnly;
    state.albums.Clear();
    ListAndStartUtf8(page);
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 0);
    EXPECT_EQ(host.Messages(), QStringList{notice::DescriptionPicturesOnlyHint()});
}

TEST_F(ModernPageTest, DescriptionElsewhereIsNeverAskedFor)
{
    state.ext.bJdDescriptionPictures = JD_DESC_AFTER_MAIN;
    for (const std::string desc : {"//cart.jd.com/gate.action?pid=100&pcount=1", "/description/100", "javascript:x"}) {
        state.albums.Clear();
        ListAndStartUtf8(ModernPage{"杯子", "", desc, {"'//img.jd.com/n5/own.jpg'"}}.Html());
        shopServer.ResetLog();
        ExtractProductPictures(state, host, 0);
        EXPECT_EQ(state.job.arrFileName, QStringList{QStringLiteral("主图_1.jpg")}) << desc;
        EXPECT_TRUE(shopServer.Requests().empty()) << desc;
    }
}

TEST(DescriptionPictureUrls, KindsAndAddresses)
{
    const QString base = QStringLiteral("http://d.3.cn/desc/100");
    EXPECT_EQ(DescriptionPictureUrls(QStringLiteral("<p style=\"background: #fff url('/a.png') no-repeat\">"
                                                    "<IMG SRC=b.jpg><img src=\"data:image/gif;base64,R0\">"
                                                    "<img alt=\"none\"><div data-src=\"//x/c.jpg\">"
                                                    "<img\n  data-lazyload='//x/d.jpg?a=1&amp;b=2'\n  src=blank.gif>"),
                                     base),
              (QStringList{QStringLiteral("http://d.3.cn/a.png"), QStringLiteral("http://d.3.cn/desc/b.jpg"),
                           QStringLiteral("http://x/d.jpg?a=1&b=2")}));
    EXPECT_TRUE(DescriptionContent(QStringLiteral("showdesc(not json)")).isEmpty());
    EXPECT_EQ(DescriptionContent(QStringLiteral("{\"content\":\"<i>\\u63cf</i>\"}")), QStringLiteral("<i>描</i>"));
}

} // namespace
