// The product page reader: title and album, thumbnails, rewrites, choices,
// the pseudo choice, duplicates, stops.

#include "engine/extraction_fixture.h"
#include "engine/notices.h"
#include "engine/shop_pages.h"

namespace {

using shop::Choice;
using shop::ProductPage;

using ExtractionTest = ExtractionFixture;

TEST_F(ExtractionTest, AlbumFromTitleAfterTheProductArea)
{
    shopServer.PutPage(kProduct.toStdString(), ProductPage("好看的&amp;杯子", {}, {}));
    AddProductAlbum(state, host, kProduct);
    ASSERT_EQ(state.albums.Count(), 1);
    const ST_PERLISTRECORD album = state.albums.GetAlbum(0);
    EXPECT_EQ(album.strName, QStringLiteral("好看的&杯子"));
    EXPECT_EQ(album.strUrl, kProduct);
    EXPECT_EQ(album.nPicCount, -1);
    EXPECT_EQ(state.strSiteFolder, QStringLiteral("京东"));
    EXPECT_EQ(host.Rows(), std::vector<int>{0});
    EXPECT_TRUE(state.strPageText.contains(QStringLiteral("not the product")));
    EXPECT_TRUE(host.Messages().isEmpty());
}

TEST_F(ExtractionTest, PageWithoutTitleGivesNoAlbum)
{
    shopServer.PutPage(kProduct.toStdString(),
                       "<html><h1>x</h1><div id=\"product-intro\"><h2>no title</h2></div></html>");
    AddProductAlbum(state, host, kProduct);
    EXPECT_EQ(state.albums.Count(), 0);
    EXPECT_EQ(host.Messages(), QStringList{notice::NoProductTitle()});
}

TEST_F(ExtractionTest, PageThatCannotBeLoadedGivesNoAlbumAndSaysWhy)
{
    unsetenv("http_proxy"); // nothing listens on port 1
    state.strPageText = QStringLiteral("an earlier product's page");
    AddProductAlbum(state, host, QStringLiteral("http://127.0.0.1:1/item.jd.com/1.html"));
    EXPECT_EQ(state.albums.Count(), 0);
    EXPECT_EQ(host.Messages(), QStringList{notice::PageNotLoaded(QStringLiteral("无法连接服务器"))});
    EXPECT_TRUE(state.strPageText.isEmpty());
}

TEST_F(ExtractionTest, StopRequestKeepsTheAlbumButNotThePage)
{
    shopServer.PutPage(kProduct.toStdString(), ProductPage("杯子", {}, {}));
    state.strPageText = QStringLiteral("old");
    state.ListJobState = LIST_STOP_REQUESTED;
    AddProductAlbum(state, host, kProduct);
    EXPECT_EQ(state.albums.Count(), 1);
    EXPECT_EQ(state.strPageText, QString()); // not the old product's page either
}

TEST_F(ExtractionTest, AlbumIsNotAddedBeforeStartUpIsOver)
{
    shopServer.PutPage(kProduct.toStdString(), ProductPage("杯子", {}, {}));
    state.StartupReady = 0;
    AddProductAlbum(state, host, kProduct);
    EXPECT_EQ(state.albums.Count(), 0);
    EXPECT_TRUE(host.Rows().empty());
}

TEST_F(ExtractionTest, ThumbnailsOfTheProductPageAlone)
{
    state.ext.bJdPictureMethod = 0;
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "红色"}},
                             {"'//img10.360buyimg.com/n5/jfs/t1/a.jpg'",
                              "\"http://img11.360buyimg.com/n9/jfs/t1/b.jpg\"",
                              "//img12.360buyimg.com/s75x75_jfs/t1/c.jpg",
                              "\"//img13.360buyimg.com/other/d.png\"", "\"nodot\""}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, (QStringList{QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg"),
                                             QStringLiteral("http://img11.360buyimg.com/n12/jfs/t1/b.jpg"),
                                             QStringLiteral("http://img12.360buyimg.com/jfs/t1/c.jpg"),
                                             QStringLiteral("http://img13.360buyimg.com/other/d.png")}));
    EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("主图_2.jpg"),
                                                  QStringLiteral("主图_3.jpg"), QStringLiteral("主图_4.jpg")}));
    // Only the product page itself was loaded, by the list job.
    EXPECT_EQ(shopServer.Requests().size(), 1u);
}

TEST_F(ExtractionTest, ThumbnailWithoutSpaceIsSkipped)
{
    state.ext.bJdPictureMethod = 0;
    ListAndStart("<html><div id=\"product-intro\"><h1>杯子</h1>"
                 "<ul class=\"spec-items\"><img src='//img.jd.com/n5/a.jpg' ><img src='//img.jd.com/n5/b.jpg'>"
                 "</ul></div></html>");
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, QStringList{QStringLiteral("http://img.jd.com/n12/a.jpg")});
    EXPECT_EQ(state.job.arrFileName, QStringList{QStringLiteral("主图_1.jpg")});
}

TEST_F(ExtractionTest, ChoicesAreVisitedAndNamedAfterTheirChoice)
{
    ListAndStart(ProductPage("杯子", {{kProduct.toStdString(), "红色"}, {"//item.jd.com/200.html", "蓝色"}},
                             {"'//img.jd.com/n5/red1.jpg'", "'//img.jd.com/n5/shared.jpg'"}));
    shopServer.PutPage("http://item.jd.com/200.html",
                       ProductPage("杯子", {}, {"'//img.jd.com/n5/shared.jpg'", "'//img.jd.com/n5/blue2.jpg'"}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, (QStringList{QStringLiteral("http://img.jd.com/n12/red1.jpg"),
                                             QStringLiteral("http://img.jd.com/n12/shared.jpg"),
                                             QStringLiteral("http://img.jd.com/n12/blue2.jpg")}));
    EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("红色_主图_1.jpg"), QStringLiteral("红色_主图_2.jpg"),
                                                  QStringLiteral("蓝色_主图_2.jpg")}));
    // The matching choice is the kept page: not loaded again, and no pseudo choice.
    EXPECT_EQ(shopServer.Count(kProduct.toStdString()), 1);
    EXPECT_EQ(shopServer.Count("http://item.jd.com/200.html"), 1);
}

TEST_F(ExtractionTest, WithoutAMatchingChoiceTheProductIsVisitedLast)
{
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "蓝色"}, {"#", "短"}},
                             {"'//img.jd.com/n5/own.jpg'", "'//img.jd.com/n5/blue1.jpg'"}));
    shopServer.PutPage("http://item.jd.com/200.html", ProductPage("杯子", {}, {"'//img.jd.com/n5/blue1.jpg'"}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrUrl, (QStringList{QStringLiteral("http://img.jd.com/n12/blue1.jpg"),
                                             QStringLiteral("http://img.jd.com/n12/own.jpg")}));
    EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("蓝色_主图_1.jpg"), QStringLiteral("主图_1.jpg")}));
    // The pseudo choice is the product itself, read from the kept page; the
    // short "#" is never asked for.
    const auto requests = shopServer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], "http://item.jd.com/200.html");
}

TEST_F(ExtractionTest, ChoicePageThatFailsIsSkipped)
{
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/404.html", "坏"}, {kProduct.toStdString(), "红色"}},
                             {"'//img.jd.com/n5/red1.jpg'"}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrFileName, QStringList{QStringLiteral("红色_主图_1.jpg")});
}

// Found by fuzzing: a choice title starting with "/" made an absolute file
// name, so the page chose where on disk its pictures went.
TEST_F(ExtractionTest, ChoiceTitleNeverNamesAPlaceOutsideTheAlbum)
{
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "//tmp/evil"}}, {"'//img.jd.com/n5/own.jpg'"}));
    shopServer.PutPage("http://item.jd.com/200.html", ProductPage("杯子", {}, {"'//img.jd.com/n5/blue1.jpg'"}));
    ExtractProductPictures(state, host, 0);
    ASSERT_EQ(state.job.Count(), 2);
    EXPECT_EQ(state.job.arrFileName[0], QStringLiteral("tmpevil_主图_1.jpg"));
    EXPECT_TRUE(state.job.FullPath(0).startsWith(state.job.strFolder));
}

TEST_F(ExtractionTest, PictureMethodZeroIgnoresChoices)
{
    state.ext.bJdPictureMethod = 0;
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "蓝色"}}, {"'//img.jd.com/n5/own.jpg'"}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrFileName, QStringList{QStringLiteral("主图_1.jpg")});
    EXPECT_EQ(shopServer.Count("http://item.jd.com/200.html"), 0);
}

TEST_F(ExtractionTest, PageWithoutStripGivesNoPictures)
{
    ListAndStart("<html><div id=\"product-intro\"><h1>杯子</h1><img src='//img.jd.com/a.jpg' ></div></html>");
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 0);
    EXPECT_EQ(host.Messages(), QStringList{notice::NoPictures()});
}

TEST_F(ExtractionTest, DescriptionPicturesOnlyCollectsNothing)
{
    Naming().wFlags = DescriptionPicturesOnly;
    ListAndStart(ProductPage("杯子", {}, {"'//img.jd.com/n5/own.jpg'"}));
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 0);
}

TEST_F(ExtractionTest, StopEndsTheCollectionAfterThePicture)
{
    ListAndStart(ProductPage("杯子", {{kProduct.toStdString(), "红色"}},
                             {"'//img.jd.com/n5/1.jpg'", "'//img.jd.com/n5/2.jpg'"}));
    state.DownloadJobState = DOWN_STOP_REQUESTED;
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 1);
    EXPECT_TRUE(host.Messages().isEmpty());
}

TEST_F(ExtractionTest, BrokenPagesGiveNothingAndNoCrash)
{
    for (const std::string &html :
         {std::string(), std::string("class=\"spec-items src="), std::string("<ul class=\"spec-items\">src=src=src="),
          std::string("id=\"summary-stock class=\"item class=\"item href=\" title=\"")}) {
        state.albums.Clear();
        state.job.ResetPictures();
        ST_PERLISTRECORD rec;
        rec.strName = QStringLiteral("x");
        rec.strUrl = kProduct;
        state.albums.AddAlbum(rec);
        state.strPageText = QString::fromStdString(html);
        StartAlbum(tmp.path() + QStringLiteral("/save/京东/"));
        ExtractProductPictures(state, host, 0);
        EXPECT_EQ(state.job.Count(), 0) << html;
    }
}

TEST(LargePictureUrl, Rewrites)
{
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/n5/x/n9/y")), QStringLiteral("http://a/n12/x/n12/y"));
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/s75x75_jfs/t")), QStringLiteral("http://a/jfs/t"));
    EXPECT_EQ(LargePictureUrl(QStringLiteral("http://a/n1/x.jpg")), QStringLiteral("http://a/n1/x.jpg"));
}

} // namespace
