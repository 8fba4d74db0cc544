// Product pages behind the shop's log-in or check: a named failure, the
// log-in page never asked for, and a second try after the user passed the
// gate in the log-in browser.

#include "engine/extraction_fixture.h"
#include "engine/notices.h"
#include "engine/shop_pages.h"

namespace {

using shop::ProductPage;

using ShopGateTest = ExtractionFixture;

const std::string kLogIn = "http://passport.jd.com/new/login.aspx?ReturnUrl=x";
const std::string kCheckPage =
    "<html><head><title>京东验证</title><script>document.cookie='c=1';location.reload()</script></head></html>";

TEST_F(ShopGateTest, GatedProductPageIsAskedForAgainOnlyAfterTheUserPassedTheGate)
{
    const struct
    {
        bool bLogInGate; // else the check page
        bool bBrowser;   // the host has a log-in browser and the user opens it
    } cases[] = {{true, true}, {false, true}, {true, false}};
    for (const auto &c : cases) {
        state.albums.Clear();
        const qsizetype before = host.Messages().size();
        if (c.bLogInGate)
            shopServer.PutRedirect(kProduct.toStdString(), kLogIn);
        else
            shopServer.PutPage(kProduct.toStdString(), kCheckPage);
        QStringList offered;
        host.offerShopLogin = [&](const QString &address) {
            offered << address;
            if (c.bBrowser) // the user logs in; the shop answers from now on
                shopServer.PutPage(kProduct.toStdString(), ProductPage("杯子", {}, {"'//img.jd.com/n5/a.jpg'"}));
            return c.bBrowser;
        };
        AddProductAlbum(state, host, kProduct);
        EXPECT_EQ(offered, QStringList{kProduct});
        EXPECT_EQ(state.albums.Count(), c.bBrowser ? 1 : 0);
        EXPECT_EQ(host.Messages().mid(before), c.bBrowser ? QStringList() : QStringList{notice::ShopGate()});
        EXPECT_EQ(shopServer.CountStartingWith("http://passport"), 0);
    }
}

TEST_F(ShopGateTest, GatedChoicePageSaysSo)
{
    ListAndStart(ProductPage("杯子", {{"//item.jd.com/200.html", "蓝色"}}, {}));
    shopServer.PutRedirect("http://item.jd.com/200.html", kLogIn);
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(state.job.Count(), 0);
    EXPECT_EQ(host.Messages(), QStringList{notice::ShopGate()});
    EXPECT_TRUE(state.albumRun.bGated); // the album reads 需要登录
    EXPECT_EQ(shopServer.CountStartingWith("http://passport"), 0);
}

} // namespace
