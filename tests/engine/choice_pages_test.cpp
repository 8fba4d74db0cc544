// Choices: only product pages are ever asked for, pages load several at a
// time and still give their pictures in page order, and a download starts
// on the first pictures while later choice pages load.

#include "engine/bulk_texts.h"
#include "engine/extraction_fixture.h"
#include "engine/job_control.h"
#include "engine/shop_pages.h"

#include <algorithm>
#include <set>

namespace {

using shop::ProductPage;

using ChoicePagesTest = ExtractionFixture;

std::string Picture(const std::string &name)
{
    return "'//img.jd.com/n5/" + name + ".jpg'";
}

TEST_F(ChoicePagesTest, OnlyProductPagesAreAskedFor)
{
    ListAndStart(ProductPage("杯子",
                             {{"//cart.jd.com/gate.action?pid=200&pcount=1&ptype=1", "加入购物车"},
                              {"//club.jd.com/review/100-0-1.html", "评价"},
                              {"//list.jd.com/list.html?cat=1", "列表"},
                              {"//mall.jd.com/index-1.html", "店铺"},
                              {"//huawei.jd.com/200.html", "品牌"},
                              {"//item.m.jd.com/product/200.html", "手机版"},
                              {"http://evil.example/200.html", "别处"},
                              {"//item.jd.com/200.html?x=1", "带参数"},
                              {"//item.jd.com/200.html", "蓝色"},
                              {"//item.jd.hk/300.html", "全球购"},
                              {kProduct.toStdString(), "红色"}},
                             {Picture("red")}));
    shopServer.PutPage("http://item.jd.com/200.html", ProductPage("杯子", {}, {Picture("blue")}));
    shopServer.PutPage("http://item.jd.hk/300.html", ProductPage("杯子", {}, {Picture("hk")}));
    shopServer.ResetLog();
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrFileName, (QStringList{QStringLiteral("蓝色_主图_1.jpg"), QStringLiteral("全球购_主图_1.jpg"),
                                                  QStringLiteral("红色_主图_1.jpg")}));
    const auto requests = shopServer.Requests();
    EXPECT_EQ(std::set<std::string>(requests.begin(), requests.end()),
              (std::set<std::string>{"http://item.jd.com/200.html", "http://item.jd.hk/300.html"}));
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(ChoicePagesTest, PagesLoadTogetherAndKeepPageOrder)
{
    std::vector<shop::Choice> choices;
    QStringList expected;
    for (int c = 1; c <= 8; ++c) {
        const std::string sku = std::to_string(200 + c);
        choices.push_back({"//item.jd.com/" + sku + ".html", "色" + sku});
        // Later pages answer sooner: the order must come from the page.
        shopServer.PutPage("http://item.jd.com/" + sku + ".html",
                           ProductPage("杯子", {}, {Picture("shared"), Picture(sku)}), 400 - 40 * c);
        if (c == 1)
            expected << QStringLiteral("色201_主图_1.jpg");
        expected << QStringLiteral("色%1_主图_2.jpg").arg(sku.c_str());
    }
    ListAndStart(ProductPage("杯子", choices, {Picture("shared")}));
    shopServer.ResetLog();
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.arrFileName, expected);
    // The status line tells which choice page is awaited.
    EXPECT_TRUE(host.Status2().contains(bulktext::ReadingChoicePage(1, 8)));
    EXPECT_TRUE(host.Status2().contains(bulktext::ReadingChoicePage(8, 8)));
    EXPECT_GT(shopServer.MaxConcurrent(), 1);
    EXPECT_LE(shopServer.MaxConcurrent(), 6);
}

TEST_F(ChoicePagesTest, StopWhileChoicePagesLoadEndsTheCollection)
{
    shopServer.PutPage("http://item.jd.com/200.html", ProductPage("杯子", {}, {Picture("blue")}), 5000);
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "蓝色"}}, {Picture("own")}));
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        state.RequestStopAll();
    });
    ExtractProductPictures(state, host, 0);
    stopper.join();
    EXPECT_EQ(state.job.Count(), 0);
}

TEST_F(ChoicePagesTest, DownloadStartsWhileLaterChoicePagesLoad)
{
    constexpr int kSlowPageMs = 2000;
    host.address = kProduct;
    shopServer.PutPage(kProduct.toStdString(),
                       ProductPage("杯子", {{kProduct.toStdString(), "红色"}, {"//item.jd.com/300.html", "白色"}},
                                   {Picture("red1"), Picture("red2")}));
    shopServer.PutPage("http://item.jd.com/300.html", ProductPage("杯子", {}, {Picture("white1")}), kSlowPageMs);
    for (const std::string name : {"red1", "red2", "white1"})
        shopServer.PutPicture("http://img.jd.com/n12/" + name + ".jpg", shop::Jpeg(name));
    state.job.hNotifyWnd = &host;
    OnGetListClick(state, host);
    state.WaitForJobs();

    const QString folder = tmp.path() + QStringLiteral("/save/京东/杯子/");
    for (const auto &[file, bytes] : {std::pair{"红色_主图_1.jpg", "red1"}, {"红色_主图_2.jpg", "red2"},
                                      std::pair{"白色_主图_1.jpg", "white1"}})
        EXPECT_EQ(ReadAll(folder + QString::fromUtf8(file)), QByteArray::fromStdString(shop::Jpeg(bytes))) << file;
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("pic.zvk")));
    EXPECT_EQ(state.nJobPicSaved.load(), 3u);
    EXPECT_TRUE(host.Status2().contains(QStringLiteral("已下载3/3......")));

    // The first picture was asked for before the slow page had answered.
    const auto requests = shopServer.Requests();
    const auto arrivals = shopServer.ArrivalMs();
    const auto at = [&](const std::string &url) {
        return arrivals[size_t(std::find(requests.begin(), requests.end(), url) - requests.begin())];
    };
    EXPECT_LT(at("http://img.jd.com/n12/red1.jpg"), at("http://item.jd.com/300.html") + kSlowPageMs);
}

} // namespace
