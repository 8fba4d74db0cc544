// The whole road through ostrel-cli: a product address, a local server that
// poses as the shop (reached through the proxy variable), the folder tree.

#include "core/soft_settings.h"
#include "engine/fake_shop.h"
#include "engine/file_bytes.h"
#include "engine/notices.h"
#include "engine/shop_pages.h"
#include "cli/spawn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

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

    // Runs in `workDir` (default: the program folder) with `stdinFile` as standard input.
    void Start(SpawnedProgram &p, const QStringList &args, const QString &workDir = QString(),
               const QString &stdinFile = QString())
    {
        SaveSettings(settings, ProgramFolder());
        // The proxy must catch every address here, 127.0.0.1 included.
        Spawn(p, QStringLiteral(OSTREL_CLI_PATH), args, workDir.isEmpty() ? ProgramFolder() : workDir,
              {{"http_proxy", shopServer.ProxyUrl()}, {"no_proxy", ""}, {"NO_PROXY", ""}}, stdinFile);
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
    CliRun Run(const QStringList &args, const QString &workDir = QString(), const QString &stdinFile = QString())
    {
        SpawnedProgram p;
        Start(p, args, workDir, stdinFile);
        return Finish(p);
    }
    QStringList SaveArgs() const { return {QStringLiteral("--save"), SaveFolder(), QString::fromStdString(kProduct)}; }
    CliRun RunProduct() { return Run({QStringLiteral("--save"), SaveFolder(), QString::fromStdString(kProduct)}); }

    NamingRecord &Naming() { return settings.arrNaming[SITE_JD]; }

    // A run whose pictures trickle in, stopped by `sig` while they do.
    CliRun RunStoppedBy(int sig)
    {
        for (const char *url : {"http://img10.360buyimg.com/n12/jfs/t1/a.jpg", "http://img11.360buyimg.com/n12/jfs/t1/b.jpg",
                                "http://img12.360buyimg.com/jfs/t1/c.png"})
            shopServer.PutFault(url, FakeShop::Fault::Trickle, std::string(4000, 'z'));
        shopServer.ResetLog();
        SpawnedProgram p;
        Start(p, SaveArgs());
        for (int i = 0; i < 1000 && p.pid > 0 && PictureRequests() < 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (p.pid > 0)
            ::kill(p.pid, sig);
        return Finish(p);
    }

    SoftSettings SavedSettings() const
    {
        return DeserializeSettings(ReadAll(ProgramFolder() + QStringLiteral("soft.dat")));
    }
    QStringList PictureAddressesAsked() const
    {
        QStringList urls;
        for (const auto &r : shopServer.Requests())
            if (r.find("360buyimg.com") != std::string::npos)
                urls.append(QString::fromStdString(r));
        return urls;
    }

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
    // Progress is for terminals only.
    EXPECT_FALSE(r.out.contains(QStringLiteral("已下载")));

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

TEST_F(CliTest, PageBehindTheShopsGateFailsAndSaysSo)
{
    shopServer.PutRedirect("http://item.jd.com/300.html",
                           "http://passport.jd.com/new/login.aspx?ReturnUrl=https%3A%2F%2Fitem.jd.com%2F300.html");
    shopServer.PutPage("http://item.jd.com/400.html",
                       "<html><head><title>京东验证</title><script>document.cookie='x=1';location.reload()</script>"
                       "</head><body></body></html>");
    for (const char *address : {"http://item.jd.com/300.html", "http://item.jd.com/400.html"}) {
        const CliRun r = Run({QStringLiteral("--save"), SaveFolder(), QString::fromLatin1(address)});
        EXPECT_EQ(r.exitCode, 1) << address;
        EXPECT_TRUE(r.err.contains(QStringLiteral("登录")) && r.err.contains(QStringLiteral("验证"))) << address;
        EXPECT_FALSE(r.err.contains(notice::NoProductTitle())) << address;
    }
    for (const auto &request : shopServer.Requests())
        EXPECT_EQ(request.find("passport"), std::string::npos) << request;
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
    const QStringList names = album.entryList(QDir::Files | QDir::Hidden);
    std::map<QString, QByteArray> before;
    for (const QString &n : names)
        before[n] = ReadAll(AlbumFolder() + n);
    // The second run's pictures arrive slowly; SIGINT comes while they do.
    const CliRun r = RunStoppedBy(SIGINT);
    EXPECT_EQ(r.exitCode, 130) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(album.entryList(QDir::Files | QDir::Hidden), names); // no temporary file is left
    for (const auto &[name, bytes] : before)
        EXPECT_EQ(ReadAll(AlbumFolder() + name), bytes) << name.toStdString();
}

TEST_F(CliTest, HangUpAndQuitEndARunAsAnInterruptDoes)
{
    for (const int sig : {SIGHUP, SIGQUIT}) {
        const CliRun r = RunStoppedBy(sig);
        EXPECT_EQ(r.exitCode, 128 + sig) << r.err.toStdString();
        EXPECT_TRUE(QDir(AlbumFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << sig;
    }
}

TEST_F(CliTest, SignalEndsARunThatWaitsOnAPipe)
{
    // Nobody ever writes the address list: the run waits in the kernel.
    const QString fifo = tmp.path() + QStringLiteral("/addresses");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SpawnedProgram p;
    Start(p, {QStringLiteral("-i"), fifo});
    ASSERT_GT(p.pid, 0);
    // A writer can open the pipe once the program has it open for reading;
    // it writes nothing, so the program then waits in its read.
    int writer = -1;
    for (int i = 0; i < 1000 && writer < 0; ++i) {
        writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(writer, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::kill(p.pid, SIGTERM);
    EXPECT_EQ(WaitForProgram(p, 5000).exitCode, 128 + SIGTERM);
    ::close(writer);
}

TEST_F(CliTest, ListingThatCannotBeWrittenFails)
{
    SpawnedProgram p;
    const std::string unused = p.outPath;
    p.outPath = "/dev/full";
    Start(p, {QStringLiteral("-g"), QStringLiteral("--save"), SaveFolder(), QString::fromStdString(kProduct)});
    p.outPath = unused; // /dev/full reads back without end
    const CliRun r = Finish(p);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("无法写入标准输出"))) << r.err.toStdString();
}

TEST_F(CliTest, ListingHoldsNoTabOrLineEndInsideAField)
{
    // The page tries to add rows of its own; the save path holds them too.
    shopServer.PutPage("http://item.jd.com/300.html",
                       ProductPage("保温杯套", {}, {"'//img10.360buyimg.com/n5/jfs/t1/d.jpg'",
                                                    "'//img10.360buyimg.com/n5/e.jpg\t/root/.bashrc'",
                                                    "'//img10.360buyimg.com/n5/f.jpg\nhttp://evil.example/g.jpg\t/root/x'"}));
    const QString save = tmp.path() + QStringLiteral("/a\tb\nc\rd");
    const CliRun r = Run({QStringLiteral("-g"), QStringLiteral("--save"), save, QString::fromStdString(kProduct),
                          QStringLiteral("http://item.jd.com/300.html")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("/root/"))) << r.out.toStdString();
    for (const QString &line : lines) {
        EXPECT_EQ(line.count(u'\t'), 1) << line.toStdString();
        EXPECT_FALSE(line.contains(u'\r')) << line.toStdString();
    }
}

TEST_F(CliTest, UsageErrorsAndHelp)
{
    // Which command lines are wrong is the parser's own test; here the status.
    EXPECT_EQ(Run({QStringLiteral("--bogus"), QString::fromStdString(kProduct)}).exitCode, 2);
    EXPECT_EQ(Run({QStringLiteral("-i"), tmp.path() + QStringLiteral("/no-such-list")}).exitCode, 2);
    const CliRun help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("usage: ostrel-cli")));
    EXPECT_TRUE(shopServer.Requests().empty());
}

TEST_F(CliTest, GetUrlsNamesWhatTheDownloadFetchesAndWritesNothing)
{
    Naming().wFlags = OriginalNameFile | ThunderListOnly;
    const CliRun dry = Run({QStringLiteral("-g"), QStringLiteral("--save"), SaveFolder(),
                            QString::fromStdString(kProduct)});
    ASSERT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_FALSE(QDir(SaveFolder()).exists()); // no folder, pic.zvk, list or name file
    EXPECT_TRUE(PictureAddressesAsked().isEmpty());
    EXPECT_TRUE(dry.err.contains(QStringLiteral("汇总: 已保存 0, 失败 0, 跳过 3")));
    const QStringList lines = dry.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{
                         QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg\t") + AlbumFolder() + QStringLiteral("红色_主图_1.jpg"),
                         QStringLiteral("http://img11.360buyimg.com/n12/jfs/t1/b.jpg\t") + AlbumFolder() + QStringLiteral("红色_主图_2.jpg"),
                         QStringLiteral("http://img12.360buyimg.com/jfs/t1/c.png\t") + AlbumFolder() + QStringLiteral("蓝色_主图_2.jpg")}));

    // The download asks for exactly those addresses and writes exactly those files.
    Naming().wFlags = 0;
    shopServer.ResetLog();
    ASSERT_EQ(RunProduct().exitCode, 0);
    QStringList listedUrls, listedFiles, asked = PictureAddressesAsked(), written;
    for (const QString &line : lines) {
        listedUrls.append(line.section(u'\t', 0, 0));
        listedFiles.append(line.section(u'\t', 1));
    }
    for (const QString &name : QDir(AlbumFolder()).entryList(QDir::Files))
        if (name != QStringLiteral("pic.zvk"))
            written.append(AlbumFolder() + name);
    listedUrls.sort();
    listedFiles.sort();
    asked.sort();
    written.sort();
    EXPECT_EQ(asked, listedUrls);
    EXPECT_EQ(written, listedFiles);
}

TEST_F(CliTest, AddressesFromStandardInputFollowTheArguments)
{
    shopServer.PutPage("http://item.jd.com/300.html",
                       ProductPage("保温杯套", {}, {"'//img10.360buyimg.com/n5/jfs/t1/d.jpg'"}));
    const QString list = tmp.path() + QStringLiteral("/list.txt");
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF# today\n\n   http://item.jd.com/100.html  \r\n#http://item.jd.com/404.html\n");
    f.close();
    const CliRun r = Run({QStringLiteral("-g"), QStringLiteral("--save"), SaveFolder(), QStringLiteral("-i"),
                          QStringLiteral("-"), QStringLiteral("http://item.jd.com/300.html")},
                         QString(), list);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/d.jpg\t")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("http://img10.360buyimg.com/n12/jfs/t1/a.jpg\t")));
    EXPECT_EQ(shopServer.Count("http://item.jd.com/404.html"), 0);
}

TEST_F(CliTest, OverridesApplyToTheRunAndAreNotSaved)
{
    // The shop's pictures of 2 KB are below a minimum of 3 KB.
    const CliRun r = Run({QStringLiteral("--threads"), QStringLiteral("2"), QStringLiteral("--timeout"),
                          QStringLiteral("11"), QStringLiteral("--min-kb"), QStringLiteral("3"),
                          QStringLiteral("--max-kb"), QStringLiteral("9000"), QStringLiteral("--save"),
                          SaveFolder(), QString::fromStdString(kProduct)});
    EXPECT_GT(PictureRequests(), 0) << r.err.toStdString(); // asked for, then refused by size
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("红色_主图_1.jpg")));
    const SoftSettings saved = SavedSettings();
    EXPECT_EQ(saved.arrUrlHistory[0], QString::fromStdString(kProduct)); // written during the run
    EXPECT_EQ(saved.arrDownload[SITE_JD], (DownloadParams{0, 0, 4, 30}));
}

TEST_F(CliTest, QuietLeavesOutTheStatusLines)
{
    const CliRun r = Run({QStringLiteral("-q"), QStringLiteral("--save"), SaveFolder(),
                          QStringLiteral("http://item.jd.com/404.html"), QString::fromStdString(kProduct)});
    for (const char16_t *status : {u"0001 ", u"正在下载", u"下载完毕", u"获取相册列表完成"})
        EXPECT_FALSE(r.out.contains(QString::fromUtf16(status))) << r.out.toStdString();
    EXPECT_FALSE(r.err.isEmpty()); // the notice for the missing page
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("红色_主图_1.jpg")));
}

TEST_F(CliTest, ProgramFolderOptionReplacesTheCurrentFolder)
{
    settings.arrSavePathHistory[0] = SaveFolder() + QStringLiteral("/from-history/");
    const QString elsewhere = tmp.path() + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const CliRun r = Run({QStringLiteral("--program-folder"), ProgramFolder(), QString::fromStdString(kProduct)},
                         elsewhere);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(SaveFolder() + QStringLiteral("/from-history/京东/不锈钢保温杯 500ml/红色_主图_1.jpg")));
    EXPECT_EQ(SavedSettings().arrUrlHistory[0], QString::fromStdString(kProduct));
    EXPECT_FALSE(QFile::exists(elsewhere + QStringLiteral("/soft.dat")));
}

} // namespace
