// The list and download jobs through the window's buttons: notices, looks,
// the automatic download, list files, pic.zvk, the fix steps, stops.

#include "engine/bulk_texts.h"
#include "engine/engine_fixture.h"
#include "engine/fake_shop.h"
#include "engine/job_control.h"
#include "engine/jobs.h"
#include "engine/notices.h"
#include "engine/proxy_env.h"
#include "engine/shop_pages.h"

#include <QFileInfo>

namespace {

using shop::ProductPage;

const std::string kProduct = "http://item.jd.com/100.html";

class JobsTest : public EngineFixture
{
protected:
    JobsTest() : proxy(shopServer.ProxyUrl())
    {
        state.job.hNotifyWnd = &host;
        host.address = QString::fromStdString(kProduct);
        Naming().wFlags = 0;
    }

    void PutProduct(int nPictures, int delayMs = 0)
    {
        std::vector<std::string> thumbs;
        for (int i = 1; i <= nPictures; ++i) {
            thumbs.push_back("'//img.jd.com/n5/p" + std::to_string(i) + ".jpg'");
            shopServer.PutPicture("http://img.jd.com/n12/p" + std::to_string(i) + ".jpg",
                                  shop::Jpeg("p" + std::to_string(i)), delayMs);
        }
        shopServer.PutPage(kProduct, ProductPage("保温杯", {}, thumbs));
    }

    void GetList()
    {
        OnGetListClick(state, host);
        state.WaitForJobs();
    }

    QString AlbumFolder() const { return tmp.path() + QStringLiteral("/save/京东/保温杯/"); }
    int PictureRequests() const { return shopServer.CountStartingWith("http://img.jd.com/"); }

    FakeShop shopServer;
    ProxyEnv proxy;
};

TEST_F(JobsTest, OneAlbumIsDownloadedByItself)
{
    PutProduct(3);
    GetList();
    EXPECT_TRUE(host.Messages().isEmpty()) << host.Messages().join(u'|').toStdString();
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("主图_%1.jpg").arg(i)),
                  QByteArray::fromStdString(shop::Jpeg("p" + std::to_string(i))));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("pic.zvk")), Utf16Le(QStringLiteral("http://img.jd.com/n12/p1.jpg")));
    EXPECT_EQ(host.Looks(), (QStringList{QStringLiteral("list-running"), QStringLiteral("list-idle 1"),
                                        QStringLiteral("download-running"), QStringLiteral("download-idle")}));
    EXPECT_TRUE(host.Captions().contains(QStringLiteral("相册列表(共1个)")));
    EXPECT_TRUE(host.Status1().contains(QStringLiteral("获取相册列表完成，共1个")));
    EXPECT_TRUE(host.Status1().contains(QStringLiteral("正在下载第1/1个图集")));
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 3, 0, 0));
    EXPECT_TRUE(host.Status2().contains(QStringLiteral("已下载3/3......")));
    EXPECT_EQ(state.ListJobState.load(), JOB_IDLE);
    EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
    EXPECT_EQ(state.nJobPicTotal.load(), 3u);
    EXPECT_EQ(state.albums.nSelCount.load(), 1);
}

TEST_F(JobsTest, AddressIsTrimmedAndEntersTheHistoryOnce)
{
    PutProduct(1);
    host.address = QString::fromStdString("  " + kProduct + " \t");
    GetList();
    EXPECT_EQ(state.settings.arrUrlHistory[0], QString::fromStdString(kProduct));
    EXPECT_EQ(host.AddressItems(), QStringList{QString::fromStdString(kProduct)});
    ASSERT_TRUE(QFile::exists(state.ProgramFolder + QStringLiteral("soft.dat")));
    QFile::remove(state.ProgramFolder + QStringLiteral("soft.dat"));
    GetList();
    EXPECT_EQ(host.AddressItems().size(), 1); // already in the history: not pushed, not saved
    EXPECT_FALSE(QFile::exists(state.ProgramFolder + QStringLiteral("soft.dat")));
}

TEST_F(JobsTest, EmptyAddressOnlyGivesANotice)
{
    host.address = QStringLiteral("   ");
    GetList();
    EXPECT_EQ(host.Messages(), QStringList{notice::NoAddress()});
    EXPECT_TRUE(host.Looks().isEmpty());
    EXPECT_EQ(state.ListJobState.load(), JOB_IDLE);
}

TEST_F(JobsTest, AddressWithoutSchemeIsRefused)
{
    host.address = QStringLiteral("item.jd.com/100.html");
    GetList();
    EXPECT_EQ(host.Messages(), QStringList{notice::NotWebAddress()});
    EXPECT_EQ(host.Status1().last(), QStringLiteral("获取相册列表完成，共0个"));
    EXPECT_EQ(host.Looks().last(), QStringLiteral("list-idle 0"));
    EXPECT_TRUE(shopServer.Requests().empty());
}

TEST_F(JobsTest, HttpsAddressPassesTheCheck)
{
    PutProduct(1);
    host.address = QStringLiteral("https://item.jd.com/100.html");
    GetList();
    // The address passed: the page was asked for (the local shop speaks no
    // TLS, so it does not load, and the user hears why).
    ASSERT_EQ(host.Messages().size(), 1) << host.Messages().join(u'|').toStdString();
    EXPECT_TRUE(host.Messages()[0].startsWith(notice::PageNotLoaded(QString()).left(6)));
    EXPECT_EQ(host.Status1().last(), QStringLiteral("获取相册列表完成，共0个"));
}

TEST_F(JobsTest, ShopAddressThatIsNoProductPageAddsNoAlbum)
{
    host.address = QStringLiteral("https://search.jd.com/Search?keyword=cup");
    GetList();
    EXPECT_EQ(host.Messages(), QStringList{notice::NotProductPage()});
    EXPECT_EQ(state.albums.Count(), 0);
    EXPECT_EQ(host.Status1().last(), QStringLiteral("获取相册列表完成，共0个"));
    EXPECT_FALSE(host.Looks().contains(QStringLiteral("download-running")));
}

TEST_F(JobsTest, GetListBeforeStartUpDoesNothing)
{
    state.StartupReady = 0;
    OnGetListClick(state, host);
    state.WaitForJobs();
    EXPECT_TRUE(host.Looks().isEmpty());
    EXPECT_TRUE(shopServer.Requests().empty());
}

TEST_F(JobsTest, SecondPressOnlyAsksTheListJobToStop)
{
    shopServer.Put(kProduct, {"<html></html>", "text/html", 200, 400});
    OnGetListClick(state, host);
    OnGetListClick(state, host);
    EXPECT_EQ(state.ListJobState.load(), LIST_STOP_REQUESTED);
    state.WaitForJobs();
    EXPECT_LE(shopServer.Count(kProduct), 1); // the stop aborts the load, maybe before it went out
    EXPECT_EQ(state.ListJobState.load(), JOB_IDLE);
    EXPECT_TRUE(host.Messages().isEmpty()); // a stop is no failure to tell
}

TEST_F(JobsTest, ListOnlyWritesGbkListAndDownloadsNothing)
{
    PutProduct(2);
    Naming().wFlags = ThunderListOnly;
    GetList();
    QFile f(AlbumFolder() + QStringLiteral("保温杯.lst"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("http://img.jd.com/n12/p1.jpg\r\nhttp://img.jd.com/n12/p2.jpg\r\n"));
    EXPECT_EQ(PictureRequests(), 0);
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
}

TEST_F(JobsTest, FixOrderSetsTimesOneMinuteApart)
{
    PutProduct(3);
    Naming().wFlags = FixOrder;
    GetList();
    std::vector<qint64> times;
    for (int i = 1; i <= 3; ++i)
        times.push_back(QFileInfo(AlbumFolder() + QStringLiteral("主图_%1.jpg").arg(i)).lastModified().toSecsSinceEpoch());
    EXPECT_EQ(times[0] - times[1], 60);
    EXPECT_EQ(times[1] - times[2], 60);
}

TEST_F(JobsTest, FixFormatRenamesByContent)
{
    shopServer.PutPage(kProduct, ProductPage("保温杯", {}, {"'//img.jd.com/n5/p1.jpg'"}));
    shopServer.PutPicture("http://img.jd.com/n12/p1.jpg", shop::Png("p1"));
    Naming().wFlags = FixFormat;
    GetList();
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("主图_1.jpg")));
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("主图_1.png")));
    EXPECT_EQ(state.job.arrFileName, QStringList{QStringLiteral("主图_1.png")});
}

TEST_F(JobsTest, OpenFolderWhenDone)
{
    PutProduct(1);
    Naming().wFlags = OpenFolderWhenDone;
    GetList();
    EXPECT_EQ(host.Opened(), QStringList{AlbumFolder()});
}

TEST_F(JobsTest, SecondRunWithSkipDownloadedFetchesNothingNew)
{
    PutProduct(3);
    Naming().wFlags = SkipDownloaded;
    GetList();
    ASSERT_EQ(PictureRequests(), 3);
    shopServer.ResetLog();
    GetList();
    EXPECT_EQ(PictureRequests(), 0);
    // New pictures put in front are the only ones fetched.
    shopServer.PutPage(kProduct, ProductPage("保温杯", {}, {"'//img.jd.com/n5/new.jpg'", "'//img.jd.com/n5/p1.jpg'",
                                                            "'//img.jd.com/n5/p2.jpg'"}));
    shopServer.PutPicture("http://img.jd.com/n12/new.jpg", shop::Jpeg("new"));
    shopServer.ResetLog();
    GetList();
    EXPECT_EQ(PictureRequests(), 1);
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("pic.zvk")), Utf16Le(QStringLiteral("http://img.jd.com/n12/new.jpg")));
}

TEST_F(JobsTest, ZeroByteInThePageHidesNoPicture)
{
    PutProduct(3);
    std::string page = WideToGbk(QString::fromStdString(ProductPage(
        "保温杯", {}, {"'//img.jd.com/n5/p1.jpg'", "'//img.jd.com/n5/p2.jpg'", "'//img.jd.com/n5/p3.jpg'"}))).toStdString();
    page.insert(page.find("p2.jpg"), 1, '\0');
    page.insert(page.find("<li>"), 1, '\0');
    shopServer.Put(kProduct, {page, "text/html; charset=gbk"});
    GetList();
    EXPECT_EQ(state.nJobPicSaved.load(), 3u);
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("主图_3.jpg")));
}

TEST_F(JobsTest, AlbumWithAFailedPictureIsNotMarkedDone)
{
    PutProduct(2);
    shopServer.Put("http://img.jd.com/n12/p2.jpg", {"<h1>Not Found</h1>", "text/html", 404});
    GetList();
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("主图_1.jpg")), QByteArray::fromStdString(shop::Jpeg("p1")));
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("主图_2.jpg")));
    // SkipDownloaded must not pass over the missing picture next time.
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
    EXPECT_EQ(state.nJobPicSaved.load(), 1u);
    EXPECT_EQ(state.nJobPicFailed.load(), 1u);
}

TEST_F(JobsTest, SkipDownloadedNeverReplacesAnEarlierPicture)
{
    PutProduct(2);
    Naming().wFlags = SkipDownloaded | OriginalNameFile;
    GetList();
    // The shop puts a new picture in front: its positional name is taken.
    shopServer.PutPage(kProduct, ProductPage("保温杯", {}, {"'//img.jd.com/n5/new.jpg'", "'//img.jd.com/n5/p1.jpg'"}));
    shopServer.PutPicture("http://img.jd.com/n12/new.jpg", shop::Jpeg("new"));
    GetList();
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("主图_1.jpg")), QByteArray::fromStdString(shop::Jpeg("p1")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("主图_1(1).jpg")), QByteArray::fromStdString(shop::Jpeg("new")));
    EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("保温杯.txt")),
              QByteArray("\xFF\xFE", 2) + Utf16Le(QStringLiteral("主图_1\r\n主图_2\r\n主图_1\r\n")));
    EXPECT_EQ(state.nJobPicSkipped.load(), 1u);
}

TEST_F(JobsTest, EmptySavePath)
{
    PutProduct(1);
    host.savePath = QStringLiteral("  ");
    GetList();
    EXPECT_EQ(host.Messages(), QStringList{notice::NoSavePath()});
    EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
    EXPECT_FALSE(host.Looks().contains(QStringLiteral("download-running")));
}

TEST_F(JobsTest, SavePathBlockedByAFile)
{
    PutProduct(1);
    WriteAll(tmp.path() + QStringLiteral("/blocked"), "x");
    host.savePath = tmp.path() + QStringLiteral("/blocked/sub");
    GetList();
    EXPECT_EQ(host.Messages(), QStringList{notice::BadSavePathAt(tmp.path() + QStringLiteral("/blocked"))});
    EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
    EXPECT_EQ(PictureRequests(), 0);
}

TEST_F(JobsTest, DownloadWithoutChosenAlbum)
{
    OnDownloadClick(state, host);
    state.WaitForJobs();
    EXPECT_EQ(host.Messages(), QStringList{notice::NoAlbumChosen()});
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 0, 0, 0));
    EXPECT_EQ(host.Looks(), (QStringList{QStringLiteral("download-running"), QStringLiteral("download-idle")}));
}

TEST_F(JobsTest, UnknownSiteKindCollectsNothing)
{
    AddAlbum(QStringLiteral("x"));
    host.bSelectAllOnList = true;
    state.SiteKind = 21;
    OnDownloadClick(state, host);
    state.WaitForJobs();
    EXPECT_EQ(host.Messages(), QStringList{notice::BadListType()});
}

TEST_F(JobsTest, StopDuringTheDownloadLeavesNoHalfRun)
{
    PutProduct(6, 500);
    state.settings.arrDownload[SITE_JD].wThreads = 1;
    state.pics.nSingleThreadPauseMs = 10;
    OnGetListClick(state, host);
    while (PictureRequests() < 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    OnDownloadClick(state, host); // the button now reads "终止下载"
    EXPECT_EQ(state.DownloadJobState.load(), DOWN_STOP_REQUESTED);
    EXPECT_TRUE(state.pics.bStopDownPic.load());
    state.WaitForJobs();
    EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
    EXPECT_TRUE(host.Status1().last().startsWith(QStringLiteral("已终止："))) << host.Status1().last().toStdString();
    EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
    EXPECT_LT(PictureRequests(), 6);
    // A stopped album that saved nothing leaves no empty folder.
    if (state.nJobPicSaved.load() == 0) {
        EXPECT_FALSE(QFileInfo::exists(AlbumFolder()));
    }
    // The picture the stop cut was not tried to the end: skipped, not failed.
    EXPECT_EQ(state.nJobPicFailed.load(), 0u);
    EXPECT_EQ(state.nJobPicSaved.load() + state.nJobPicSkipped.load(), 6u);

    // A new job afterwards runs whole.
    state.settings.arrDownload[SITE_JD].wThreads = 6;
    shopServer.ResetLog();
    GetList();
    EXPECT_EQ(PictureRequests(), 6);
    EXPECT_TRUE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
    EXPECT_EQ(host.Status2().contains(QStringLiteral("已下载6/6......")), true);
}

TEST_F(JobsTest, StoppedListJobStartsNoDownload)
{
    PutProduct(1);
    shopServer.PutPage(kProduct, ProductPage("保温杯", {}, {"'//img.jd.com/n5/p1.jpg'"}), 400);
    state.strPageText = QStringLiteral("an earlier product's page");
    OnGetListClick(state, host);
    OnGetListClick(state, host); // stop while the page loads: the load ends at once
    state.WaitForJobs();
    EXPECT_EQ(state.albums.Count(), 0);
    EXPECT_FALSE(host.Looks().contains(QStringLiteral("download-running")));
    EXPECT_EQ(PictureRequests(), 0);
    EXPECT_TRUE(state.strPageText.isEmpty());
}

TEST_F(JobsTest, SiteKindOutsideTheTableUsesTheJdSettings)
{
    AddAlbum(QStringLiteral("x"));
    host.bSelectAllOnList = true;
    state.SiteKind = 99;
    OnDownloadClick(state, host);
    state.WaitForJobs();
    EXPECT_EQ(host.Messages(), QStringList{notice::BadListType()});
    EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, 0, 0, 0));
}

TEST_F(JobsTest, DownloadButtonIsIgnoredWhileAListJobRuns)
{
    shopServer.Put(kProduct, {"<html></html>", "text/html", 200, 300});
    OnGetListClick(state, host);
    OnDownloadClick(state, host);
    EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
    state.WaitForJobs();
}

// A stop that comes while the list job hands its album to the download (the
// window closing, a signal, a second press of "获取相册") reaches the download:
// it must not start one that nobody stops, or a closing window waits for it.
TEST_F(JobsTest, StopDuringTheHandOverStopsTheDownload)
{
    class StopOnSelect : public CTestHost
    {
    public:
        StopOnSelect(CEngineState &s, bool bAll) : CTestHost(s), state(s), bStopAll(bAll) {}
        void SelectAllRows() override // between the list job's last look at its stop and the download's start
        {
            CTestHost::SelectAllRows();
            if (bStopAll)
                state.RequestStopAll();
            else
                OnGetListClick(state, *this);
        }
        CEngineState &state;
        const bool bStopAll;
    };
    PutProduct(3);
    for (const bool bStopAll : {true, false}) {
        StopOnSelect stopping(state, bStopAll);
        stopping.address = host.address;
        stopping.savePath = host.savePath;
        state.job.hNotifyWnd = &stopping;
        shopServer.ResetLog();
        OnGetListClick(state, stopping);
        state.WaitForJobs();
        EXPECT_EQ(PictureRequests(), 0) << bStopAll;
        EXPECT_FALSE(QFile::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
        EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
        EXPECT_TRUE(stopping.Looks().contains(QStringLiteral("download-idle")));
    }
    state.job.hNotifyWnd = &host;
}

TEST(JobState, UserStopIsNeverOverwritten)
{
    CEngineState state;
    state.DownloadJobState = JOB_RUNNING;
    EXPECT_TRUE(state.SetDownloadState(DOWN_SKIP_REST));
    EXPECT_EQ(state.DownloadJobState.load(), DOWN_SKIP_REST);
    state.DownloadJobState = DOWN_STOP_REQUESTED;
    EXPECT_FALSE(state.SetDownloadState(JOB_RUNNING));
    EXPECT_FALSE(state.SetDownloadState(DOWN_SKIP_REST));
    EXPECT_EQ(state.DownloadJobState.load(), DOWN_STOP_REQUESTED);
}

} // namespace

namespace {

TEST_F(JobsTest, DescriptionThatFailsCostsNoMainPicture)
{
    WriteAll(state.ProgramFolder + QStringLiteral("下载器扩展设置.ini"),
             QStringLiteral("[京东]\n下载描述图片=1\n").toUtf8());
    shopServer.PutPicture("http://img.jd.com/n12/p1.jpg", shop::Jpeg("p1"));
    shopServer.PutPicture("http://img.jd.com/d1.jpg", shop::Jpeg("d1"));
    shopServer.Put(kProduct, {shop::ModernPage{"保温杯", "", "//d.3.cn/desc/100", {"'//img.jd.com/n5/p1.jpg'"}}.Html()});
    for (const bool bServed : {false, true}) {
        if (bServed)
            shopServer.Put("http://d.3.cn/desc/100", {"showdesc({\"content\":\"<img src='//img.jd.com/d1.jpg'>\"})"});
        QDir(AlbumFolder()).removeRecursively();
        GetList();
        EXPECT_TRUE(host.Messages().isEmpty()) << host.Messages().join(u'|').toStdString();
        EXPECT_EQ(ReadAll(AlbumFolder() + QStringLiteral("主图_1.jpg")), QByteArray::fromStdString(shop::Jpeg("p1")));
        EXPECT_EQ(QFileInfo::exists(AlbumFolder() + QStringLiteral("描述_1.jpg")), bServed);
        EXPECT_TRUE(QFileInfo::exists(AlbumFolder() + QStringLiteral("pic.zvk")));
        EXPECT_EQ(host.Status1().last(), bulktext::JobEnd(false, bServed ? 2 : 1, 0, 0));
    }
}

} // namespace
