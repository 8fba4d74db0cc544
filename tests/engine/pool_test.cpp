// The picture pool: thread count, the single-thread pause, size limits,
// alternative addresses, stop, progress and the end call.

#include "engine/down_pic.h"
#include "engine/engine_fixture.h"
#include "engine/fake_shop.h"
#include "engine/shop_pages.h"

#include <QDir>

namespace {

class PoolTest : public EngineFixture
{
protected:
    PoolTest()
    {
        state.job.hNotifyWnd = &host;
        state.pics.wTimeoutSec = 10;
        StartAlbum(tmp.path() + QStringLiteral("/album/"));
    }

    // Pictures p0.jpg ... served with `delayMs` each.
    void AddPictures(int n, int delayMs = 0, size_t size = 2048)
    {
        for (int i = 0; i < n; ++i) {
            const std::string path = "/p" + std::to_string(i) + ".jpg";
            shopServer.PutPicture(shopServer.Direct(path), shop::Jpeg(path, size), delayMs);
            state.job.AppendPicture(QString::fromStdString(shopServer.Direct(path)),
                                    QStringLiteral("p%1.jpg").arg(i), QString());
        }
    }

    void Run()
    {
        std::thread manager = StartDownPic(state);
        ASSERT_TRUE(manager.joinable());
        manager.join();
    }

    FakeShop shopServer;
};

TEST_F(PoolTest, DownloadsEveryPictureIntoItsFile)
{
    AddPictures(4);
    state.pics.wThreads = 2;
    Run();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadAll(state.job.FullPath(i)), QByteArray::fromStdString(shop::Jpeg("/p" + std::to_string(i) + ".jpg")));
    EXPECT_EQ(state.pics.nPicDone.load(), 4);
    EXPECT_EQ(host.Status2().last(), QStringLiteral("已下载4/4......"));
    ASSERT_EQ(host.Finished().size(), 1u);
    EXPECT_EQ(host.Finished()[0].second, 4);
    EXPECT_FALSE(state.pics.bDownPicBusy.load());
}

TEST_F(PoolTest, ThreeOfFifteenThreadsRunAtOnce)
{
    AddPictures(3, 400);
    state.pics.wThreads = 15;
    Run();
    EXPECT_EQ(shopServer.MaxConcurrent(), 3);
    EXPECT_EQ(state.pics.nPicDone.load(), 3);
}

TEST_F(PoolTest, NeverMoreWorkersThanTheThreadCount)
{
    AddPictures(8, 150);
    state.pics.wThreads = 3;
    Run();
    EXPECT_LE(shopServer.MaxConcurrent(), 3);
    EXPECT_GE(shopServer.MaxConcurrent(), 2);
    EXPECT_EQ(shopServer.Requests().size(), 8u);
}

TEST_F(PoolTest, OneThreadDownloadsOneAtATimeWithAPause)
{
    AddPictures(4, 20);
    state.pics.wThreads = 1;
    state.pics.nSingleThreadPauseMs = 150;
    Run();
    EXPECT_EQ(shopServer.MaxConcurrent(), 1);
    const auto at = shopServer.ArrivalMs();
    ASSERT_EQ(at.size(), 4u);
    for (size_t i = 1; i < at.size(); ++i)
        EXPECT_GE(at[i] - at[i - 1], 150) << i;
}

TEST_F(PoolTest, PicturesOutsideTheSizeLimitsCountAsDone)
{
    AddPictures(3, 0, 1024);
    state.pics.wThreads = 3;
    state.pics.wMinKB = 10;
    Run();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(QFile::exists(state.job.FullPath(i)));
    EXPECT_EQ(host.Status2().last(), QStringLiteral("已下载3/3......"));
    ASSERT_EQ(host.Finished().size(), 1u);
}

TEST_F(PoolTest, EmptyAnswerFallsBackToTheAlternativeAddress)
{
    shopServer.Put(shopServer.Direct("/empty.jpg"), {"", "image/jpeg"});
    shopServer.PutPicture(shopServer.Direct("/alt.jpg"), shop::Jpeg("alt"));
    state.job.AppendPicture(QString::fromStdString(shopServer.Direct("/empty.jpg") + "\r\n" + shopServer.Direct("/alt.jpg")),
                            QStringLiteral("one.jpg"), QString());
    state.pics.wThreads = 5;
    Run();
    EXPECT_EQ(ReadAll(state.job.FullPath(0)), QByteArray::fromStdString(shop::Jpeg("alt")));
}

TEST_F(PoolTest, ErrorAnswerFallsBackToTheAlternativeAddress)
{
    shopServer.Put(shopServer.Direct("/gone.jpg"), {"<h1>404</h1>", "text/html", 404});
    shopServer.PutPicture(shopServer.Direct("/alt.jpg"), shop::Jpeg("alt"));
    state.job.AppendPicture(QString::fromStdString(shopServer.Direct("/gone.jpg") + "\r\n" + shopServer.Direct("/alt.jpg")),
                            QStringLiteral("one.jpg"), QString());
    state.pics.wThreads = 5;
    Run();
    EXPECT_EQ(shopServer.Count(shopServer.Direct("/gone.jpg")), 2);
    EXPECT_EQ(ReadAll(state.job.FullPath(0)), QByteArray::fromStdString(shop::Jpeg("alt")));
    EXPECT_EQ(state.pics.nPicSaved.load(), 1);
}

TEST_F(PoolTest, StopAllAbortsRunningPicturesAndLeavesNoTemporaryFile)
{
    for (int i = 0; i < 4; ++i) {
        const std::string url = shopServer.Direct("/slow" + std::to_string(i) + ".jpg");
        shopServer.PutFault(url, FakeShop::Fault::Trickle, std::string(100000, 's'));
        state.job.AppendPicture(QString::fromStdString(url), QStringLiteral("s%1.jpg").arg(i), QString());
    }
    state.pics.wThreads = 2;
    std::thread manager = StartDownPic(state);
    while (shopServer.Requests().size() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // bytes are in the temporary files
    const auto asked = std::chrono::steady_clock::now();
    state.RequestStopAll();
    manager.join();
    state.JoinLeftWorkers();
    // Without the abort the workers would trickle on for minutes.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(3));
    EXPECT_EQ(shopServer.Requests().size(), 2u);
    EXPECT_TRUE(QDir(state.job.strFolder).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(state.pics.nPicSaved.load(), 0);
}

TEST_F(PoolTest, GoodFirstAnswerLeavesTheAlternativeAlone)
{
    AddPictures(1);
    shopServer.PutPicture(shopServer.Direct("/alt.jpg"), shop::Jpeg("alt"));
    state.job.arrUrl[0] += QString::fromStdString("\r\n" + shopServer.Direct("/alt.jpg"));
    state.pics.wThreads = 5;
    Run();
    EXPECT_EQ(shopServer.Count(shopServer.Direct("/alt.jpg")), 0);
    EXPECT_EQ(ReadAll(state.job.FullPath(0)), QByteArray::fromStdString(shop::Jpeg("/p0.jpg")));
}

TEST_F(PoolTest, ExtraHeadersGoWithTheirPicture)
{
    AddPictures(1);
    state.job.arrHeader = QStringList{QStringLiteral("Referer: http://item.jd.com/1.html")};
    state.pics.wThreads = 1;
    Run();
    EXPECT_EQ(shopServer.Referer(shopServer.Direct("/p0.jpg")), "http://item.jd.com/1.html");
    EXPECT_EQ(state.pics.nPicDone.load(), 1);
}

TEST_F(PoolTest, NoPicturesNoRun)
{
    state.pics.wThreads = 5;
    Run();
    EXPECT_TRUE(host.Finished().empty());
    EXPECT_FALSE(state.pics.bDownPicBusy.load());
}

TEST_F(PoolTest, StopEndsTheManagerAndTheWorkersAreWaitedFor)
{
    AddPictures(10, 600);
    state.pics.wThreads = 2;
    std::thread manager = StartDownPic(state);
    while (state.pics.nPicDone.load() < 1 && shopServer.Requests().size() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(state.pics.bDownPicBusy.load());
    EXPECT_EQ(state.BusyFolder(), state.job.strFolder);
    state.pics.bStopDownPic = true;
    manager.join();
    EXPECT_LT(state.pics.nPicDone.load(), 10);
    ASSERT_EQ(host.Finished().size(), 1u); // the end call comes also after a stop
    EXPECT_EQ(host.Finished()[0].second, 10);
    EXPECT_FALSE(state.pics.bDownPicBusy.load());
    EXPECT_TRUE(state.BusyFolder().isEmpty());
    // The workers still running finish their picture; after the wait nothing
    // touches the job object any more, so a new run may start on a new list.
    state.JoinLeftWorkers();
    const int done = state.pics.nPicDone.load();
    EXPECT_LT(done, 10);
    EXPECT_LT(shopServer.Requests().size(), 10u);
    state.job.ResetPictures();
    AddPictures(2);
    Run();
    EXPECT_EQ(state.pics.nPicDone.load(), 2);
    EXPECT_EQ(host.Status2().last(), QStringLiteral("已下载2/2......"));
}

} // namespace
