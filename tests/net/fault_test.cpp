// A hostile shop: error answers, cuts, trickles, endless bodies, odd
// redirects, links at the save path, a full disk and an abort.  None of them
// may count as success or touch the file that stood at the save path.

#include "util/part_file.h"
#include "net/url_fetcher.h"

#include "engine/fake_shop.h"
#include "net_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Fault = FakeShop::Fault;
const QByteArray kOld = "the earlier run's picture";

class FaultTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        unsetenv("http_proxy");
        QDir().mkpath(TempPath("album"));
        InitUrlRequest(req, QString(), Saved(), 20000);
        req.bPicture = true;
        req.byAttempts = 2;
        req.byRetryDelaySec = 0;
    }
    QString Saved() const { return TempPath("album/主图_1.jpg"); }
    void WriteOld()
    {
        QFile f(Saved());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kOld);
    }
    static QByteArray Bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    // The album folder holds the old picture alone: no temporary file is left.
    void ExpectOldPictureAlone()
    {
        EXPECT_EQ(Bytes(Saved()), kOld);
        EXPECT_EQ(QDir(TempPath("album")).entryList(QDir::Files | QDir::Hidden).size(), 1)
            << QDir(TempPath("album")).entryList(QDir::Files | QDir::Hidden).join(u' ').toStdString();
    }
    bool Fetch(const std::string &path)
    {
        req.strUrl = Q(shop.Direct(path));
        return FetchUrl(req, resp, URLF_CACHEABLE | URLF_NO_RELOAD);
    }

    FakeShop shop;
    ST_URLREQUEST req;
    ST_URLRESPONSE resp;
};

TEST_F(FaultTest, ErrorAnswersAndEmptyBodiesAreFailedAttempts)
{
    const struct { int status; std::string body; const char16_t *reason; } cases[] = {
        {404, "not found", u"HTTP 404"}, {414, "too long", u"HTTP 414"},
        {500, "oops", u"HTTP 500"},      {200, "", u"内容为空"},
    };
    WriteOld();
    for (const auto &c : cases) {
        const std::string path = "/e" + std::to_string(c.status) + ".jpg";
        shop.Put(shop.Direct(path), {c.body, "image/jpeg", c.status});
        EXPECT_FALSE(Fetch(path)) << c.status;
        EXPECT_EQ(resp.strFailReason, QString::fromUtf16(c.reason));
        EXPECT_EQ(shop.Count(shop.Direct(path)), 2) << "the second attempt is made";
        ExpectOldPictureAlone();
    }
    // A product page answered with an error status is no page either.
    req.strSavePath.clear();
    EXPECT_FALSE(Fetch("/missing.html"));
    EXPECT_EQ(resp.nStatus, 404);
}

TEST_F(FaultTest, AnswersThatAreNoPictureAreFailedAttempts)
{
    using Headers = std::vector<std::pair<std::string, std::string>>;
    const std::string jpeg = "\xFF\xD8\xFF\xE0" + std::string(3000, 'j');
    const std::string page = "<!DOCTYPE html><html><title>出错了</title></html>";
    const struct { std::string path; FakeShop::Answer answer; const char16_t *reason; } cases[] = {
        {"/no-location.jpg", {jpeg, "image/jpeg", 302}, u"应答无效"},
        {"/part.jpg", {jpeg.substr(0, 1000), "image/jpeg", 206}, u"应答无效"},
        {"/bad-gzip.jpg", {"\x1f\x8b\x08\x00" + jpeg, "image/jpeg", 200, 0, Fault::None, 100, "", Headers{{"Content-Encoding", "gzip"}}}, u"应答无效"},
        {"/cut-gzip.jpg", {S(Deflate(QByteArray::fromStdString(jpeg))).substr(0, 20), "image/jpeg", 200, 0, Fault::None, 100, "", Headers{{"Content-Encoding", "gzip"}}}, u"应答无效"},
        {"/error-page.jpg", {page, "text/html; charset=utf-8"}, u"不是图片"},
        {"/disguised.jpg", {"\r\n  " + page, "image/jpeg"}, u"不是图片"},
    };
    WriteOld();
    for (const auto &c : cases) {
        shop.Put(shop.Direct(c.path), c.answer);
        EXPECT_FALSE(Fetch(c.path)) << c.path;
        EXPECT_EQ(resp.strFailReason, QString::fromUtf16(c.reason)) << c.path;
        EXPECT_EQ(shop.Count(shop.Direct(c.path)), 2) << c.path << ": the second attempt is made";
        ExpectOldPictureAlone();
    }
}

TEST_F(FaultTest, CompressedPictureIsSavedInflated)
{
    const QByteArray jpeg = "\xFF\xD8\xFF\xE0" + QByteArray(100000, 'j');
    for (const auto &[coding, bits] : {std::pair{"gzip", 31}, std::pair{"deflate", 15}}) {
        FakeShop::Answer a{S(Deflate(jpeg, bits)), "image/jpeg"};
        a.headers = {{"Content-Encoding", coding}};
        shop.Put(shop.Direct("/z.jpg"), a);
        EXPECT_TRUE(Fetch("/z.jpg")) << coding << resp.strFailReason.toStdString();
        EXPECT_EQ(Bytes(Saved()), jpeg) << coding;
    }
    // An unknown format stays: fix-format may still name it by its content.
    shop.PutPicture(shop.Direct("/webp.jpg"), "RIFF....WEBPVP8 " + std::string(2000, 'w'));
    EXPECT_TRUE(Fetch("/webp.jpg"));
}

TEST_F(FaultTest, CutMidBodyLeavesTheOldPicture)
{
    WriteOld();
    shop.PutFault(shop.Direct("/cut.jpg"), Fault::CutMidBody, std::string(100000, 'c'));
    EXPECT_FALSE(Fetch("/cut.jpg"));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("连接中断"));
    ExpectOldPictureAlone();
}

TEST_F(FaultTest, CompletePictureReplacesALinkNotItsTarget)
{
    const QString target = TempPath("target.txt");
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("precious");
    t.close();
    ASSERT_TRUE(QFile::link(target, Saved()));
    shop.PutPicture(shop.Direct("/p.jpg"), "new picture");
    EXPECT_TRUE(Fetch("/p.jpg"));
    EXPECT_EQ(Bytes(target), "precious");
    EXPECT_FALSE(QFileInfo(Saved()).isSymLink());
    EXPECT_EQ(Bytes(Saved()), "new picture");
}

TEST_F(FaultTest, FolderThatIsALinkTakesNoPicture)
{
    // A link swapped in at the album folder while the album runs.
    ASSERT_TRUE(QFile::link(TempPath("album"), TempPath("linked")));
    req.strSavePath = TempPath("linked/主图_1.jpg");
    shop.PutPicture(shop.Direct("/p.jpg"), "new picture");
    EXPECT_FALSE(Fetch("/p.jpg"));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("无法写入文件"));
    EXPECT_TRUE(QDir(TempPath("album")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(FaultTest, SavedPictureTakesTheModeOfAnyNewFile)
{
    shop.PutPicture(shop.Direct("/p.jpg"), "picture");
    for (const mode_t mask : {mode_t(022), mode_t(027)}) {
        const mode_t old = ::umask(mask);
        const bool saved = Fetch("/p.jpg");
        ::umask(old);
        ASSERT_TRUE(saved);
        struct stat st{};
        ASSERT_EQ(::stat(QFile::encodeName(Saved()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    }
}

TEST_F(FaultTest, EndlessPageStopsAtTheCap)
{
    shop.PutFault(shop.Direct("/endless.html"), Fault::Endless);
    req.strSavePath.clear();
    req.byAttempts = 1;
    EXPECT_FALSE(Fetch("/endless.html"));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("页面超过32MB"));
    EXPECT_LE(uint64_t(resp.body.size()), kMaxPageBytes);
}

TEST_F(FaultTest, TrickleBelowTheMinimumSpeedFailsLikeATimeOut)
{
    // One byte every 100 ms never waits a whole second, yet stays far below 1 KB/s.
    shop.PutFault(shop.Direct("/slow.jpg"), Fault::Trickle, std::string(40, 't'));
    req.dwReadTimeout = 1000;
    req.byAttempts = 1;
    EXPECT_FALSE(Fetch("/slow.jpg"));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("传输过慢"));
    EXPECT_FALSE(QFile::exists(Saved()));
}

TEST_F(FaultTest, RedirectsToOtherSchemesFailAnEmptyLocationIsTheAnswer)
{
    for (const char *to : {"file:///etc/passwd", "ftp://127.0.0.1/x.jpg", "gopher://127.0.0.1/"}) {
        shop.PutRedirect(shop.Direct("/moved.jpg"), to);
        EXPECT_FALSE(Fetch("/moved.jpg")) << to;
        EXPECT_FALSE(QFile::exists(Saved())) << to;
    }
    shop.PutRedirect(shop.Direct("/nowhere.html"), "");
    req.strSavePath.clear();
    EXPECT_TRUE(Fetch("/nowhere.html"));
    EXPECT_EQ(resp.nStatus, 302);
    EXPECT_EQ(resp.body, "moved");
}

TEST_F(FaultTest, AbortEndsTheTransferWithoutASecondAttempt)
{
    shop.PutFault(shop.Direct("/long.jpg"), Fault::Trickle, std::string(1000, 't'));
    std::atomic<bool> abort{false};
    req.pAbort = &abort;
    req.byRetryDelaySec = 5;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        abort = true;
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(Fetch("/long.jpg"));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4)); // no 5 s pause
    EXPECT_EQ(shop.Count(shop.Direct("/long.jpg")), 1);
    EXPECT_EQ(resp.strFailReason, QStringLiteral("已终止"));
    EXPECT_TRUE(QDir(TempPath("album")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A full disk: a small tmpfs when we may mount one, else a file-size limit.
class DiskFull
{
public:
    explicit DiskFull(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        if (geteuid() == 0 && ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0) {
            m_bMounted = true;
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~DiskFull()
    {
        if (m_bMounted)
            ::umount(m_folder.constData());
        else
            ::setrlimit(RLIMIT_FSIZE, &m_old);
    }

private:
    QByteArray m_folder;
    bool m_bMounted = false;
    rlimit m_old{};
};

TEST_F(FaultTest, FullDiskKeepsTheOldPictureAndFails)
{
    shop.PutPicture(shop.Direct("/big.jpg"), std::string(300 * 1024, 'b'));
    const DiskFull full(TempPath("album"));
    WriteOld();
    EXPECT_FALSE(Fetch("/big.jpg"));
    EXPECT_EQ(resp.strFailReason, QStringLiteral("无法写入文件"));
    ExpectOldPictureAlone();
}

} // namespace
