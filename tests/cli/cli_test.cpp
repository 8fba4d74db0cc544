// The whole road through ostrel-cli: a product address, a local server that
// poses as the shop (reached through the proxy variable), the folder tree.

#include "core/soft_settings.h"
#include "engine/fake_shop.h"
#include "engine/file_bytes.h"
#include "engine/shop_pages.h"
#include "cli/spawn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <map>

namespace {

using shop::ProductPage;

const std::string kProduct = "http://item.jd.com/100.html";

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test
{
protected:
    CliTest()
    {
        QDir().mkpath(ProgramFolder());
        settings.arrDownload.fill(DownloadParams{0, 0, 4, 30});
        shopServer.PutPage(kProduct, ProductPage("不锈钢保温杯 500ml",
                                                 {{"//item.jd.com/100.html", "红色"}, {"//item.jd.com/200.html", "蓝色"}},
                                                 {"'//img10.360buyimg.com/n5/jfs/t1/a.jpg'",
                                                  "\"//img11.360buyimg.com/n9/jfs/t1/b.jpg\""}));
        shopServer.PutPage("http://item.jd.com/200.html",
                           ProductPage("不锈钢保温杯 500ml", {},
                                       {"'//img10.360buyimg.com/n5/jfs/t1/a.jpg'",
                                        "'//img12.360buyimg.com/s75x75_jfs/t1/c.png'"}));
        shopServer.PutPicture("http://img10.360buyimg.com/n12/jfs/t1/a.jpg", shop::Jpeg("a"));
        shopServer.PutPicture("http://img11.360buyimg.com/n12/jfs/t1/b.jpg", shop::Jpeg("b"));
        shopServer.PutPicture("http://img12.360buyimg.com/jfs/t1/c.png", shop::Png("c"));
    }

    QString ProgramFolder() const { return tmp.path() + QStringLiteral("/prog/"); }
    QString SaveFolder() const { return tmp.path() + QStringLiteral("/save"); }
    QString AlbumFolder() const { return SaveFolder() + QStringLiteral("/京东/不锈钢保温杯 500ml/"); }

    void Start(SpawnedProgram &p, const QStringList &args)
    {
        SaveSettings(settings, ProgramFolder());
        // The proxy must catch every address here, 127.0.0.1 included.
        Spawn(p, QStringLiteral(OSTREL_CLI_PATH), args, ProgramFolder(),
              {{"http_proxy", shopServer.ProxyUrl()}, {"no_proxy", ""}, {"NO_PROXY", ""}});
    }
    static CliRun Finish(SpawnedProgram &p)
    {
        const SpawnResult sr = WaitForProgram(p, 90000);
        CliRun r;
        r.exitCode = sr.exitCode;
        r.out = QString::fromUtf8(sr.out);
        r.err = QString::fromUtf8(sr.err);
        return r;
    }
    CliRun Run(const QStringList &args)
    {
        SpawnedProgram p;
        Start(p, args);
        return Finish(p);
    }
    QStringList SaveArgs() const { return {QStringLiteral("--save"), SaveFolder(), QString::fromStdString(kProduct)}; }
    CliRun RunProduct() { return Run({QStringLiteral("--save"), SaveFolder(), QString::fromStdString(kProduct)}); }

    NamingRecord &Naming() { return settings.arrNaming[SITE_JD]; }

    int PictureRequests() const
    {
        int n = 0;
        for (const auto &r : shopServer.Requests())
            n += r.find("360buyimg.com") != std::string::npos;
        return n;
    }

    static QByteArray ReadAll(const QString &path) { return filebytes::ReadAll(path); }
    static QByteArray Utf16Le(const QString &text) { return filebytes::Utf16Le(text); }

    QTemporaryDir tmp;
    FakeShop shopServer;
    SoftSettings settings;
};

TEST_F(CliTest, ProductAddressGivesTheTreeOfPictures)
{
    Naming().wFlags = OriginalNameFile | FixOrder;
    const CliRun r = RunProduct();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("下载完毕")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("已下载3/3......")));

    QDir album(AlbumFolder());
    EXPECT_EQ(album.entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("pic.zvk"), QStringLiteral("不锈钢保温杯 500ml.txt"),
                           QStringLiteral("红色_主图_1.jpg"), QStringLiteral("红色_主图_2.jpg"),
                           QStringLiteral("蓝色_主图_2.jpg")}));
    EXPECT_EQ(QDir(SaveFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("京东")});
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("红色_主图_1.jpg")), QByteArray::fromStdString(shop::Jpeg("a")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("红色_主图_2.jpg")), QByteArray::fromStdString(shop::Jpeg("b")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("蓝色_主图_2.jpg")), QByteArray::fromStdString(shop::Png("c")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("pic.zvk")),
              Utf16Le(QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("不锈钢保温杯 500ml.txt")),
              QByteArray("\xFF\xFE", 2) + Utf16Le(QStringLiteral("红色_主图_1\r\n红色_主图_2\r\n蓝色_主图_2\r\n")));

    const auto mtime = [&](const char16_t *name) {
        return QFileInfo(AlbumFolder() + QString::fromUtf16(name)).lastModified().toSecsSinceEpoch();
    };
    EXPECT_EQ(mtime(u"红色_主图_1.jpg") - mtime(u"红色_主图_2.jpg"), 60);
    EXPECT_EQ(mtime(u"红色_主图_2.jpg") - mtime(u"蓝色_主图_2.jpg"), 60);

    // soft.dat keeps the address in its history.
    const QByteArray dat = ReadAll(ProgramFolder() + QStringLiteral("soft.dat"));
    ASSERT_EQ(dat.size(), SOFTDAT_SIZE);
    EXPECT_EQ(DeserializeSettings(dat).arrUrlHistory[0], QString::fromStdString(kProduct));
}

TEST_F(CliTest, SecondRunWithSkipDownloadedFetchesNothingNew)
{
    Naming().wFlags = SkipDownloaded;
    ASSERT_EQ(RunProduct().exitCode, 0);
    EXPECT_EQ(PictureRequests(), 3);
    shopServer.ResetLog();
    const CliRun again = RunProduct();
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(PictureRequests(), 0);
    EXPECT_EQ(QDir(AlbumFolder()).entryList(QDir::Files).size(), 4);
}

TEST_F(CliTest, ListOnlyWritesTheGbkList)
{
    Naming().wFlags = ThunderListOnly;
    const CliRun r = RunProduct();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("不锈钢保温杯 500ml.lst")),
              QByteArray("http://img10.360buyimg.com/n12/jfs/t1/a.jpg\r\n"
                         "http://img11.360buyimg.com/n12/jfs/t1/b.jpg\r\n"
                         "http://img12.360buyimg.com/jfs/t1/c.png\r\n"));
    EXPECT_EQ(PictureRequests(), 0);
}

TEST_F(CliTest, SavePathComesFromTheHistory)
{
    settings.arrSavePathHistory[0] = SaveFolder() + QStringLiteral("/from-history/");
    const CliRun r = Run({QString::fromStdString(kProduct)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(SaveFolder() + QStringLiteral("/from-history/京东/不锈钢保温杯 500ml/红色_主图_1.jpg")));
}

TEST_F(CliTest, AddressThatGivesNoAlbumFails)
{
    const CliRun r = Run({QStringLiteral("--save"), SaveFolder(), QStringLiteral("http://www.example.com/shop")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(QDir(SaveFolder()).exists());
}

TEST_F(CliTest, PageWithoutPicturesFails)
{
    shopServer.PutPage("http://item.jd.com/300.html", ProductPage("空商品", {}, {}));
    const CliRun r = Run({QStringLiteral("--save"), SaveFolder(), QStringLiteral("http://item.jd.com/300.html")});
    EXPECT_EQ(r.exitCode, 1);
}

TEST_F(CliTest, OneFailedAddressOfTwoFails)
{
    const CliRun r = Run({QStringLiteral("--save"), SaveFolder(), QStringLiteral("http://item.jd.com/404.html"),
                          QString::fromStdString(kProduct)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("红色_主图_1.jpg")));
}

TEST_F(CliTest, UnusableSavePathFails)
{
    QFile f(tmp.path() + QStringLiteral("/file"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const CliRun r = Run({QStringLiteral("--save"), tmp.path() + QStringLiteral("/file/sub"), QString::fromStdString(kProduct)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("请检测设置的保存路径是否有误")));
}

TEST_F(CliTest, FailedPictureFailsTheRunAndTheSummarySaysSo)
{
    shopServer.Put("http://img11.360buyimg.com/n12/jfs/t1/b.jpg", {"<h1>404</h1>", "text/html", 404});
    const CliRun r = RunProduct();
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("汇总: 已保存 2, 失败 1, 跳过 0 (%1)\n").arg(QString::fromStdString(kProduct))))
        << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
}

TEST_F(CliTest, InterruptDuringARedownloadKeepsEveryEarlierPicture)
{
    ASSERT_EQ(RunProduct().exitCode, 0);
    QDir album(AlbumFolder());
    const QStringList names = album.entryList(QDir::Files);
    std::map<QString, QByteArray> before;
    for (const QString &n : names)
        before[n] = ReadAll(AlbumFolder() + n);
    // The second run's pictures arrive slowly; SIGINT comes while they do.
    for (const char *url : {"http://img10.360buyimg.com/n12/jfs/t1/a.jpg", "http://img11.360buyimg.com/n12/jfs/t1/b.jpg",
                            "http://img12.360buyimg.com/jfs/t1/c.png"})
        shopServer.PutFault(url, FakeShop::Fault::Trickle, std::string(4000, 'z'));
    shopServer.ResetLog();
    SpawnedProgram p;
    Start(p, SaveArgs());
    ASSERT_GT(p.pid, 0);
    for (int i = 0; i < 1000 && PictureRequests() < 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(p.pid, SIGINT);
    const CliRun r = Finish(p);
    EXPECT_EQ(r.exitCode, 130) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(album.entryList(QDir::Files | QDir::Hidden), names); // no temporary file is left
    for (const auto &[name, bytes] : before)
        EXPECT_EQ(ReadAll(AlbumFolder() + name), bytes) << name.toStdString();
}

TEST_F(CliTest, UsageErrorsAndHelp)
{
    EXPECT_EQ(Run({}).exitCode, 2);
    EXPECT_EQ(Run({QStringLiteral("--bogus"), QString::fromStdString(kProduct)}).exitCode, 2);
    EXPECT_EQ(Run({QStringLiteral("--save")}).exitCode, 2);
    const CliRun help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("usage: ostrel-cli")));
    EXPECT_TRUE(shopServer.Requests().empty());
}

} // namespace
