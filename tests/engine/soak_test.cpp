// Soak of the download pool: products whose pictures fail at random, stops
// pressed at random moments and every stopped job started again, as the
// window's buttons and ostrel-cli do.  After every job and every round:
// every picture file holds what the shop serves for its address, no
// temporary file is left, pic.zvk marks only complete albums, every thread
// has ended and the counts add up.
//
// OSTREL_SOAK_ALBUMS, OSTREL_SOAK_PICTURES, OSTREL_SOAK_ROUNDS size the run
// (a brief one by default; scripts/soak.sh sets a long one); OSTREL_SOAK_SEED
// deals the same faults, thread counts and stop moments again.

#include "engine/engine_fixture.h"
#include "engine/job_control.h"
#include "engine/proxy_env.h"
#include "engine/soak_shop.h"
#include "net/part_file.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>

namespace {

using namespace std::chrono_literals;

int EnvInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

int ThreadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

uint64_t Seed()
{
    bool ok = false;
    const uint64_t seed = qEnvironmentVariable("OSTREL_SOAK_SEED").toULongLong(&ok);
    return ok ? seed : std::random_device{}();
}

// Time of the last write, or none.
std::filesystem::file_time_type WriteTime(const QString &path)
{
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(path.toStdString(), ec);
    return ec ? std::filesystem::file_time_type::min() : t;
}

class SoakTest : public EngineFixture
{
protected:
    SoakTest()
        : nAlbums(EnvInt("OSTREL_SOAK_ALBUMS", 4)), nPictures(EnvInt("OSTREL_SOAK_PICTURES", 10)),
          nRounds(EnvInt("OSTREL_SOAK_ROUNDS", 3)), seed(Seed()), rng(seed),
          shop(shopServer, nAlbums, nPictures, rng), proxy(shopServer.ProxyUrl())
    {
        state.job.hNotifyWnd = &host;
        state.pics.nSingleThreadPauseMs = 10;
        std::printf("soak: %d albums x %d pictures, %d rounds, seed %llu (OSTREL_SOAK_SEED repeats it)\n",
                    nAlbums, nPictures, nRounds, static_cast<unsigned long long>(seed));
        std::fflush(stdout);
    }

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    QString JobFolder() const { return host.savePath + QStringLiteral("/京东/"); }
    QString AlbumFolder(int a) const { return JobFolder() + shop.Albums()[size_t(a)].title + u'/'; }

    // Thread count and naming for the next job, as the menus set them.
    void ChooseSettings()
    {
        std::lock_guard lock(state.mtxSettings);
        state.settings.arrDownload[SITE_JD] = DownloadParams{0, 0, uint16_t(Between(0, 19) == 0 ? 1 : Between(2, 15)), 10};
        Naming().wFlags = Between(0, 2) == 0 ? SkipDownloaded : 0;
    }

    // The stop as the user or a signal gives it: the running job's button, or everything.
    void PressStop()
    {
        if (Between(0, 2) == 0)
            state.RequestStopAll();
        else if (state.ListJobState.load() != JOB_IDLE)
            OnGetListClick(state, host);
        else
            OnDownloadClick(state, host); // when the job just ended: a new download, also fine
    }

    // Every job thread and picture worker must end; a hang aborts with the seed.
    void WaitForEveryThread()
    {
        auto ended = std::async(std::launch::async, [this] { state.WaitForJobs(); });
        if (ended.wait_for(600s) != std::future_status::ready) {
            std::fprintf(stderr, "soak: jobs still running after 600 s (seed %llu)\n",
                         static_cast<unsigned long long>(seed));
            std::abort();
        }
        EXPECT_EQ(state.ListJobState.load(), JOB_IDLE);
        EXPECT_EQ(state.DownloadJobState.load(), JOB_IDLE);
        EXPECT_FALSE(state.pics.bDownPicBusy.load());
        // Not only the threads the engine keeps track of: none is left but
        // the loops of the two network contexts (pages, pictures), which stay.
        const int allowed = nThreadsIdle + 2;
        for (int i = 0; i < 100 && ThreadCount() > allowed; ++i)
            std::this_thread::sleep_for(20ms);
        EXPECT_LE(ThreadCount(), allowed) << "threads left running";
    }

    // One press of "获取相册" on album `a`, stopped after `stopAfterMs` when
    // that is not negative; true when the stop came while a job ran.
    bool RunJob(int a, int stopAfterMs)
    {
        const QString zvk = AlbumFolder(a) + QStringLiteral("pic.zvk");
        const auto zvkBefore = WriteTime(zvk);
        host.address = QString::fromStdString(shop.Albums()[size_t(a)].address);
        OnGetListClick(state, host);
        bool stopped = false;
        if (stopAfterMs >= 0) {
            const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(stopAfterMs);
            const auto idle = [this] {
                return state.ListJobState.load() == JOB_IDLE && state.DownloadJobState.load() == JOB_IDLE;
            };
            while (!idle() && std::chrono::steady_clock::now() < at)
                std::this_thread::sleep_for(2ms);
            if (!idle()) {
                PressStop();
                stopped = true;
            }
        }
        WaitForEveryThread();

        const uint32_t total = state.nJobPicTotal, saved = state.nJobPicSaved, failed = state.nJobPicFailed,
                       skipped = state.nJobPicSkipped, upToDate = state.nJobAlbumsUpToDate;
        // Pictures of an album found complete are skipped without being collected.
        EXPECT_EQ(saved + failed + skipped, total + upToDate * uint32_t(nPictures))
            << saved << " saved, " << failed << " failed, " << skipped << " skipped, " << total << " collected";
        if (WriteTime(zvk) != zvkBefore) {
            EXPECT_TRUE(saved == uint32_t(nPictures) && total == saved)
                << "pic.zvk written after " << saved << " of " << total << " pictures";
        }
        CheckAlbum(a);
        return stopped;
    }

    // Only pictures that hold their address's bytes, pic.zvk, no temporary file.
    void CheckAlbum(int a)
    {
        const SoakShop::Album &album = shop.Albums()[size_t(a)];
        static const QRegularExpression pictureName(QStringLiteral("^主图_(\\d+)(\\(\\d+\\))?\\.jpg$"));
        std::vector<bool> present(size_t(nPictures), false);
        bool bMarked = false;
        QDirIterator it(AlbumFolder(a), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            const auto m = pictureName.match(name);
            const int j = m.hasMatch() ? m.captured(1).toInt() : 0;
            if (name.startsWith(QLatin1String(kPartFilePrefix))) {
                ADD_FAILURE() << "temporary file left: " << it.filePath().toStdString();
            } else if (name == QLatin1String("pic.zvk")) {
                bMarked = true;
                EXPECT_EQ(ReadAll(it.filePath()), Utf16Le(QString::fromStdString(album.urls[0])));
            } else if (j >= 1 && j <= nPictures) {
                present[size_t(j - 1)] = true;
                EXPECT_TRUE(ReadAll(it.filePath()) == album.bytes[size_t(j - 1)])
                    << it.filePath().toStdString() << " differs from what " << album.urls[size_t(j - 1)] << " serves";
            } else {
                ADD_FAILURE() << "unexpected file: " << it.filePath().toStdString();
            }
        }
        for (int j = 0; bMarked && j < nPictures; ++j)
            EXPECT_TRUE(present[size_t(j)]) << "pic.zvk marks " << album.title.toStdString()
                                            << " complete without " << album.urls[size_t(j)];
    }

    // Nothing in the save path but the album folders.
    void CheckSavePath()
    {
        QStringList expected{JobFolder().chopped(1)};
        for (const SoakShop::Album &album : shop.Albums())
            expected << JobFolder() + album.title;
        QDirIterator it(host.savePath, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext())
            EXPECT_TRUE(expected.contains(it.next())) << "unexpected: " << it.filePath().toStdString();
        QDirIterator albums(JobFolder(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (albums.hasNext())
            EXPECT_TRUE(expected.contains(albums.next()) && albums.fileInfo().isDir())
                << "unexpected: " << albums.filePath().toStdString();
        for (int a = 0; a < nAlbums; ++a)
            CheckAlbum(a);
    }

    const int nAlbums, nPictures, nRounds;
    int nThreadsIdle = 0; // the test's and the shop's
    const uint64_t seed;
    std::mt19937_64 rng;
    FakeShop shopServer;
    SoakShop shop;
    ProxyEnv proxy;
};

TEST_F(SoakTest, RandomFaultsAndStopsLoseNoPictureAndLeaveNoThread)
{
    constexpr int kRestartsPerAlbum = 3;
    const int latestStopMs = 200 + 40 * nPictures;
    std::this_thread::sleep_for(200ms); // the shop starts its pool after it reports running
    nThreadsIdle = ThreadCount();
    for (int round = 1; round <= nRounds && !HasFailure(); ++round) {
        const auto started = std::chrono::steady_clock::now();
        shop.Deal();
        int nJobs = 0, nStops = 0;
        for (int a = 0; a < nAlbums && !HasFailure(); ++a) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", round " << round << ", album " << a);
            for (int attempt = 0;; ++attempt) {
                ChooseSettings();
                const bool bStop = attempt < kRestartsPerAlbum && Between(0, 99) < 35;
                ++nJobs;
                if (!RunJob(a, bStop ? Between(0, latestStopMs) : -1) || HasFailure())
                    break;
                ++nStops; // and start again
            }
        }
        CheckSavePath();
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("soak: round %d: %d jobs, %d stopped, %.1f s\n", round, nJobs, nStops, seconds);
        std::fflush(stdout);
    }
    if (HasFailure())
        std::printf("soak: failed; OSTREL_SOAK_SEED=%llu deals the same run again\n",
                    static_cast<unsigned long long>(seed));
}

} // namespace
