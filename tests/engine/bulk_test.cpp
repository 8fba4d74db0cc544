// Work on several albums: address lists, one album per product, the per-album
// record of saved pictures (reruns, namesake products), the end-of-job text.

#include "engine/address_list.h"
#include "engine/bulk_texts.h"
#include "engine/engine_fixture.h"
#include "engine/fake_shop.h"
#include "engine/numbered_products.h"
#include "engine/job_control.h"
#include "engine/proxy_env.h"
#include "engine/saved_record.h"
#include "engine/shop_pages.h"
#include "util/codepage.h"

#include <QDir>
#include <QRegularExpression>

namespace {

using shop::ProductPage;

struct SplitCase
{
    const char *text;
    std::vector<const char *> addresses;
};

TEST(AddressList, TakesEveryProductOnce)
{
    const SplitCase cases[] = {
        {"http://item.jd.com/1.html\nhttps://item.jd.com/2.html\r\nhttp://item.jd.com/3.html",
         {"http://item.jd.com/1.html", "https://item.jd.com/2.html", "http://item.jd.com/3.html"}},
        {"http://item.jd.com/1.html http://item.jd.com/2.html,http://item.jd.com/3.html，http://item.jd.hk/4.html",
         {"http://item.jd.com/1.html", "http://item.jd.com/2.html", "http://item.jd.com/3.html",
          "http://item.jd.hk/4.html"}},
        {"看这个：http://item.jd.com/1.html（好） 和 \"http://item.jd.com/2.html\"",
         {"http://item.jd.com/1.html", "http://item.jd.com/2.html"}},
        // The same product twice, other hosts, and no address at all.
        {"http://item.jd.com/1.html https://item.jd.com/1.html http://www.jd.com/ http://evil.example/item.jd.com",
         {"http://item.jd.com/1.html"}},
        {"item.jd.com/1.html", {}},
    };
    for (const SplitCase &c : cases) {
        QStringList want;
        for (const char *a : c.addresses)
            want.append(QString::fromUtf8(a));
        EXPECT_EQ(ProductAddresses(QString::fromUtf8(c.text)), want) << c.text;
    }
}

TEST(AddressList, FileIsUtf8OrGbkWithComments)
{
    const QString text = QStringLiteral("# 保温杯\nhttp://item.jd.com/1.html\n  # 旧的 http://item.jd.com/9.html\n"
                                        "http://item.jd.com/2.html # 杯\n");
    const QStringList want{QStringLiteral("http://item.jd.com/1.html"), QStringLiteral("http://item.jd.com/2.html")};
    EXPECT_EQ(ProductAddresses(AddressListText(text.toUtf8())), want);
    EXPECT_EQ(ProductAddresses(AddressListText("\xEF\xBB\xBF" + text.toUtf8())), want);
    EXPECT_EQ(ProductAddresses(AddressListText(WideToGbk(text))), want);
    EXPECT_TRUE(AddressListText(WideToGbk(text)).contains(QStringLiteral("杯")));
}

TEST(BulkTexts, JobEndSaysWhatHappened)
{
    EXPECT_EQ(bulktext::JobEnd(false, 5, 1, 2), QStringLiteral("下载完毕：已保存 5 张，失败 1 张，跳过 2 张"));
    EXPECT_EQ(bulktext::JobEnd(true, 0, 0, 3), QStringLiteral("已终止：已保存 0 张，失败 0 张，跳过 3 张"));
}

TEST(BulkTexts, RatesWaitForASecond)
{
    EXPECT_EQ(bulktext::Rate(3, 1 << 20, 999), QString());
    EXPECT_EQ(bulktext::Rate(3, 3 << 20, 2000), QStringLiteral("  1.5 张/秒，1.5 MB/秒"));
    EXPECT_EQ(bulktext::Rate(1, 512 * 1024, 1000), QStringLiteral("  1.0 张/秒，512 KB/秒"));
}

TEST(SavedRecord, KeepsProductAndPicturesAndRefusesForgedLines)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    CSavedRecord r;
    r.SetProduct(QStringLiteral("item.jd.com/1"));
    r.Add(QStringLiteral("http://img/a.jpg"), QStringLiteral("主图_1.jpg"));
    r.Add(QStringLiteral("http://img/b.jpg\tx"), QStringLiteral("forged.jpg"));
    r.Add(QStringLiteral("http://img/c.jpg"), QStringLiteral("bad\nname.jpg"));
    ASSERT_TRUE(r.Save(folder));
    CSavedRecord back;
    back.Load(folder);
    EXPECT_EQ(back.Product(), QStringLiteral("item.jd.com/1"));
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(back.SavedName(QStringLiteral("http://img/a.jpg")), QStringLiteral("主图_1.jpg"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{CSavedRecord::FileName()});
    EXPECT_EQ(RecordedAddress(QStringLiteral("http://a\r\nhttp://b")), QStringLiteral("http://a"));
}

class BulkTest : public EngineFixture
{
protected:
    BulkTest() : proxy(shopServer.ProxyUrl())
    {
        state.job.hNotifyWnd = &host;
        Naming().wFlags = 0;
    }

    void PutProduct(int sku, const std::string &title, int n) { shop::PutNumberedProduct(shopServer, sku, title, n); }
    static QString Product(int sku) { return shop::ProductAddress(sku); }
    QString Folder(const QString &title) const { return tmp.path() + QStringLiteral("/save/京东/") + title + u'/'; }
    int PictureRequests() const { return shopServer.CountStartingWith("http://img.jd.com/"); }
    QStringList Pictures(const QString &title) const
    {
        return QDir(Folder(title)).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }

    void GetList(const QString &address)
    {
        host.address = address;
        OnGetListClick(state, host);
        state.WaitForJobs();
    }
    void Download()
    {
        host.bSelectAllOnList = true;
        OnDownloadClick(state, host);
        state.WaitForJobs();
    }
    void Run(int sku)
    {
        GetList(Product(sku));
    }

    FakeShop shopServer;
    ProxyEnv proxy;
};

TEST_F(BulkTest, SeveralAddressesGiveOneAlbumEachAndDownloadTogether)
{
    PutProduct(1, "杯子", 2);
    PutProduct(2, "水壶", 1);
    PutProduct(3, "茶盘", 3);
    shopServer.Put(Product(4).toStdString(), {"gone", "text/html", 404});
    GetList(Product(1) + u'\n' + Product(2) + QStringLiteral(" , ") + Product(4) + u'\n' + Product(3) + u'\n' +
            Product(1));
    ASSERT_EQ(state.albums.Count(), 3);
    EXPECT_EQ(state.albums.GetAlbum(0).strName, QStringLiteral("杯子"));
    EXPECT_EQ(state.albums.GetAlbum(1).strName, QStringLiteral("水壶"));
    EXPECT_EQ(state.albums.GetAlbum(2).strName, QStringLiteral("茶盘"));
    // No download of its own, nothing in the history, one notice naming the lost address.
    EXPECT_EQ(PictureRequests(), 0);
    EXPECT_TRUE(state.settings.arrUrlHistory[0].isEmpty());
    ASSERT_EQ(host.Messages().size(), 1);
    EXPECT_TRUE(host.Messages()[0].contains(Product(4)));
    EXPECT_EQ(shopServer.Count(Product(1).toStdString()), 1);

    Download();
    EXPECT_EQ(Pictures(QStringLiteral("杯子")), (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("主图_2.jpg")}));
    EXPECT_EQ(Pictures(QStringLiteral("水壶")), QStringList{QStringLiteral("主图_1.jpg")});
    EXPECT_EQ(Pictures(QStringLiteral("茶盘")).size(), 3);
    EXPECT_EQ(ReadAll(Folder(QStringLiteral("茶盘")) + QStringLiteral("主图_3.jpg")),
              QByteArray::fromStdString(shop::Jpeg("q3_3")));
    // The pages of the list served the download: none was asked for again.
    EXPECT_EQ(shopServer.Count(Product(3).toStdString()), 1);
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 6, 0, 0));
    const QStringList states = host.AlbumStates();
    EXPECT_EQ(states.filter(QRegularExpression(QStringLiteral("^1 "))),
              (QStringList{QStringLiteral("1 -1 等待"), QStringLiteral("1 -1 读取中"), QStringLiteral("1 1 下载中 0/1"),
                           QStringLiteral("1 1 完成")}));
}

TEST_F(BulkTest, OneAddressInOtherTextIsThatAddress)
{
    PutProduct(4, "茶壶", 1);
    GetList(QStringLiteral("看看这个 ") + Product(4) + QStringLiteral("\n") + Product(4) + QStringLiteral("\n"));
    EXPECT_EQ(Pictures(QStringLiteral("茶壶")), QStringList{QStringLiteral("主图_1.jpg")});
    EXPECT_EQ(state.settings.arrUrlHistory[0], Product(4));
}

TEST_F(BulkTest, RerunAfterAFailureFetchesOnlyTheMissingPicture)
{
    PutProduct(7, "保温杯", 3);
    shopServer.Put("http://img.jd.com/n12/q7_2.jpg", {"<h1>Not Found</h1>", "text/html", 404});
    Naming().wFlags = SkipDownloaded;
    Run(7);
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 2, 1, 0));
    shopServer.PutPicture("http://img.jd.com/n12/q7_2.jpg", shop::Jpeg("q7_2"));
    shopServer.ResetLog();
    Run(7);
    EXPECT_EQ(shopServer.Requests(), (std::vector<std::string>{Product(7).toStdString(),
                                                               "http://img.jd.com/n12/q7_2.jpg"}));
    EXPECT_EQ(Pictures(QStringLiteral("保温杯")),
              (QStringList{QStringLiteral("主图_1.jpg"), QStringLiteral("主图_2.jpg"), QStringLiteral("主图_3.jpg")}));
    EXPECT_EQ(ReadAll(Folder(QStringLiteral("保温杯")) + QStringLiteral("主图_2.jpg")),
              QByteArray::fromStdString(shop::Jpeg("q7_2")));
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 1, 0, 2));
    // Complete now: the next run fetches nothing.
    shopServer.ResetLog();
    Run(7);
    EXPECT_EQ(PictureRequests(), 0);
    EXPECT_EQ(Pictures(QStringLiteral("保温杯")).size(), 3);
}

TEST_F(BulkTest, ANamesakeProductGetsAFolderOfItsOwn)
{
    PutProduct(1, "保温杯", 2);
    PutProduct(2, "保温杯", 1);
    Naming().wFlags = SkipDownloaded;
    Run(1);
    Run(2);
    Run(1);
    EXPECT_EQ(ReadAll(Folder(QStringLiteral("保温杯")) + QStringLiteral("主图_1.jpg")),
              QByteArray::fromStdString(shop::Jpeg("q1_1")));
    EXPECT_EQ(Pictures(QStringLiteral("保温杯")).size(), 2);
    EXPECT_EQ(ReadAll(Folder(QStringLiteral("保温杯(2)")) + QStringLiteral("主图_1.jpg")),
              QByteArray::fromStdString(shop::Jpeg("q2_1")));
    CSavedRecord record;
    record.Load(Folder(QStringLiteral("保温杯(2)")));
    EXPECT_EQ(record.Product(), QStringLiteral("item.jd.com/2"));
}

TEST_F(BulkTest, AllFailedIsNoSuccessAndOpensNothing)
{
    PutProduct(5, "茶杯", 1);
    shopServer.Put("http://img.jd.com/n12/q5_1.jpg", {"<h1>Not Found</h1>", "text/html", 404});
    Naming().wFlags = OpenFolderWhenDone;
    Run(5);
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 0, 1, 0));
    EXPECT_TRUE(host.Opened().isEmpty());
}

} // namespace
