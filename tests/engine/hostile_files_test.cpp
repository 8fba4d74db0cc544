// A hostile file system under the save path: links planted at the small
// files and at the folders, temporary files a killed run left behind.

#include "engine/engine_fixture.h"
#include "engine/fake_shop.h"
#include "engine/job_control.h"
#include "engine/notices.h"
#include "engine/proxy_env.h"
#include "engine/shop_pages.h"
#include "util/part_file.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kProduct = "http://item.jd.com/100.html";
const QByteArray kPrecious = "precious, outside the save path";

class HostileFilesTest : public EngineFixture
{
protected:
    HostileFilesTest() : proxy(shopServer.ProxyUrl())
    {
        state.job.hNotifyWnd = &host;
        host.address = QString::fromStdString(kProduct);
        Naming().wFlags = 0;
        shopServer.PutPage(kProduct, shop::ProductPage("保温杯", {}, {"'//img.jd.com/n5/p1.jpg'"}));
        shopServer.PutPicture("http://img.jd.com/n12/p1.jpg", shop::Jpeg("p1"));
        QDir().mkpath(Outside());
        WriteAll(Outside() + QStringLiteral("target"), kPrecious);
    }

    void GetList()
    {
        OnGetListClick(state, host);
        state.WaitForJobs();
    }
    QString SiteFolder() const { return tmp.path() + QStringLiteral("/save/京东/"); }
    QString AlbumFolder() const { return SiteFolder() + QStringLiteral("保温杯/"); }
    QString Outside() const { return tmp.path() + QStringLiteral("/outside/"); }
    static bool IsLink(const QString &path) { return QFileInfo(path).isSymLink(); }

    FakeShop shopServer;
    ProxyEnv proxy;
};

TEST_F(HostileFilesTest, SmallFilesReplaceALinkNeverItsTarget)
{
    const struct { uint16_t flags; const char16_t *name; } cases[] = {
        {0, u"pic.zvk"}, {OriginalNameFile, u"保温杯.txt"}, {ThunderListOnly, u"保温杯.lst"},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromUtf16(c.name);
        QDir(AlbumFolder()).removeRecursively();
        QDir().mkpath(AlbumFolder());
        ASSERT_TRUE(QFile::link(Outside() + QStringLiteral("target"), AlbumFolder() + name));
        Naming().wFlags = c.flags;
        GetList();
        EXPECT_EQ(ReadAll(Outside() + QStringLiteral("target")), kPrecious) << name.toStdString();
        EXPECT_FALSE(IsLink(AlbumFolder() + name)) << name.toStdString();
        EXPECT_TRUE(QFileInfo(AlbumFolder() + name).isFile()) << name.toStdString();
    }
}

TEST_F(HostileFilesTest, LinkAtTheAlbumOrSiteFolderIsRefused)
{
    for (const QString &at : {AlbumFolder(), SiteFolder()}) {
        QDir(tmp.path() + QStringLiteral("/save")).removeRecursively();
        QDir().mkpath(QFileInfo(at.chopped(1)).path());
        ASSERT_TRUE(QFile::link(Outside().chopped(1), at.chopped(1)));
        const qsizetype before = host.Messages().size();
        GetList();
        EXPECT_EQ(host.Messages().mid(before), QStringList{notice::LinkRefused(at.chopped(1))});
        EXPECT_EQ(QDir(Outside()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("target")})
            << at.toStdString();
        EXPECT_EQ(state.nJobAlbumsUpToDate.load(), 0u);
    }
}

TEST_F(HostileFilesTest, LinkInTheSavePathItselfIsTheUsers)
{
    ASSERT_TRUE(QFile::link(Outside().chopped(1), tmp.path() + QStringLiteral("/mine")));
    host.savePath = tmp.path() + QStringLiteral("/mine");
    GetList();
    EXPECT_TRUE(host.Messages().isEmpty()) << host.Messages().join(u'|').toStdString();
    EXPECT_EQ(ReadAll(Outside() + QStringLiteral("京东/保温杯/主图_1.jpg")), QByteArray::fromStdString(shop::Jpeg("p1")));
}

TEST_F(HostileFilesTest, StaleTemporaryFilesGoLiveOnesStay)
{
    QDir().mkpath(AlbumFolder());
    const QString stale = AlbumFolder() + QLatin1String(kPartFilePrefix) + QStringLiteral("kill01");
    const QString live = AlbumFolder() + QLatin1String(kPartFilePrefix) + QStringLiteral("live01");
    WriteAll(stale, QByteArray(1000, 's'));
    WriteAll(live, QByteArray(1000, 'l'));
    // Both an hour old; another run still writes the live one.
    const struct timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const QString &f : {stale, live})
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(f).constData(), hourAgo, 0), 0);
    const int fd = ::open(QFile::encodeName(live).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    GetList();
    ::close(fd);
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(live));
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("主图_1.jpg")));
}

} // namespace
