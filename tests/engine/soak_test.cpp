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
#include "engine/saved_record.h"
#include "engine/soak_shop.h"
#include "util/part_file.h"

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
        : nAlbums(EnvInt("OSTREL_SOAK_ALBUMS", 3)), nPictures(EnvInt("OSTREL_SOAK_PICTURES", 10)),
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
    QString ZvkPath(int a) const { return AlbumFolder(a) + QStringLiteral("pic.zvk"); }

    // Thread count and naming for the next job, as the menus set them.
    void ChooseSettings()
    {
        std::lock_guard lock(state.mtxSettings);
        state.settings.arrDownload[SITE_JD] = DownloadParams{0, 0, uint16_t(Between(0, 19) == 0 ? 1 : Between(2, 15)), 10};
        Naming().wFlags = Between(0, 2) == 0 ? SkipDownloaded : 0;
    }

    bool Idle() const
    {
        return state.ListJobState.load() == JOB_IDLE && state.DownloadJobState.load() == JOB_IDLE;
    }

    // The stop as the user or a signal gives it: everything, or the running
    // job's button.  False when the press met no job to stop: a button
    // pressed just as its job ended starts a new one instead.
    bool PressStop(bool bAll)
    {
        if (bAll) {
            state.RequestStopAll();
            return true;
        }
        if (state.ListJobState.load() != JOB_IDLE) {
            OnGetListClick(state, host); // ignored when the download took over meanwhile
            return state.ListJobState.load() == LIST_STOP_REQUESTED;
        }
        OnDownloadClick(state, host);
        return state.DownloadJobState.load() != JOB_RUNNING;
    }

    // Presses stop after `ms` unless the jobs ended before, and waits until
    // both buttons are back; true when a stop was pressed.
    bool StopAfter(int ms)
    {
        const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!Idle() && std::chrono::steady_clock::now() < at)
            std::this_thread::sleep_for(2ms);
        const bool bAll = Between(0, 2) == 0;
        bool bStopped = false;
        while (!Idle() && !(bStopped = PressStop(bAll)))
            std::this_thread::sleep_for(1ms);
        const auto pressed = std::chrono::steady_clock::now();
        while (!Idle() && std::chrono::steady_clock::now() - pressed < kStopWithin)
            std::this_thread::sleep_for(2ms);
        EXPECT_TRUE(Idle()) << "jobs still running " << kStopWithin.count() << " s after a stop";
        stopLatency = std::max(stopLatency, std::chrono::steady_clock::now() - pressed);
        return bStopped;
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

    // After the last job of album `a`: the counts add up; pic.zvk, when that
    // job wrote it, follows a complete album.
    void CheckJob(int a, std::filesystem::file_time_type zvkBefore)
    {
        const uint32_t total = state.nJobPicTotal, saved = state.nJobPicSaved, failed = state.nJobPicFailed,
                       skipped = state.nJobPicSkipped, upToDate = state.nJobAlbumsUpToDate;
        // Pictures of an album found complete are skipped without being
        // collected (a stop just after that finding leaves the album uncounted),
        // and so are those the album's record holds as saved.
        const int64_t notCollected = int64_t(saved) + failed + skipped - total;
        const int64_t recorded = state.albumRun.nSkippedSaved;
        EXPECT_TRUE((notCollected == recorded && (upToDate == 0 || recorded == nPictures)) ||
                    notCollected == nPictures)
            << saved << " saved, " << failed << " failed, " << skipped << " skipped, " << total << " collected, "
            << upToDate << " complete, " << recorded << " recorded";
        if (WriteTime(ZvkPath(a)) != zvkBefore) {
            EXPECT_TRUE(saved + recorded == nPictures && total == saved)
                << "pic.zvk written after " << saved << " of " << total << " pictures, " << recorded
                << " saved before";
        }
        CheckAlbum(a);
    }

    // Presses "获取相册" for album `a`; at random stops it at a random moment
    // and starts again, at once or after every thread has ended.
    void RunAlbum(int a)
    {
        constexpr int kRestarts = 3;
        host.address = QString::fromStdString(shop.Albums()[size_t(a)].address);
        for (int attempt = 0;; ++attempt) {
            ChooseSettings();
            const auto zvkBefore = WriteTime(ZvkPath(a));
            const auto started = std::chrono::steady_clock::now();
            OnGetListClick(state, host);
            ++nJobs;
            const bool bStop = attempt < kRestarts && Between(0, 1) == 0;
            // Mostly within a job's run, sometimes at its very end.
            const int latestStopMs = nJobsTimed ? int(msJobsTimed / nJobsTimed * 3 / 2) : 200 + 40 * nPictures;
            const bool bStopped = bStop && StopAfter(Between(0, latestStopMs));
            if (bStopped) {
                ++nStops;
                if (Between(0, 1) == 0)
                    continue;
            }
            WaitForEveryThread();
            if (!bStopped) {
                const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
                msJobsTimed += ms.count();
                ++nJobsTimed;
            }
            CheckJob(a, zvkBefore);
            if (!bStopped || HasFailure())
                return;
        }
    }

    // Only pictures that hold their address's bytes, pic.zvk, the record of
    // saved pictures, no temporary file.
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
            } else if (name == CSavedRecord::FileName()) {
                // the record of saved pictures
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
    int64_t msJobsTimed = 0, nJobsTimed = 0; // the jobs that ran unstopped
    int nJobs = 0, nStops = 0;
    std::chrono::steady_clock::duration stopLatency{}; // longest from a stop to both buttons back
    static constexpr std::chrono::seconds kStopWithin{10};
    const uint64_t seed;
    std::mt19937_64 rng;
    FakeShop shopServer;
    SoakShop shop;
    ProxyEnv proxy;
};

TEST_F(SoakTest, RandomFaultsAndStopsLoseNoPictureAndLeaveNoThread)
{
    std::this_thread::sleep_for(200ms); // the shop starts its pool after it reports running
    nThreadsIdle = ThreadCount();
    for (int round = 1; round <= nRounds && !HasFailure(); ++round) {
        const auto started = std::chrono::steady_clock::now();
        shop.Deal();
        nJobs = nStops = 0;
        stopLatency = {};
        for (int a = 0; a < nAlbums && !HasFailure(); ++a) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", round " << round << ", album " << a);
            RunAlbum(a);
        }
        CheckSavePath();
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("soak: round %d: %d jobs, %d stopped (longest stop %.2f s), %.1f s\n", round, nJobs, nStops,
                    std::chrono::duration<double>(stopLatency).count(), seconds);
        std::fflush(stdout);
    }
    if (HasFailure())
        std::printf("soak: failed; OSTREL_SOAK_SEED=%llu deals the same run again\n",
                    static_cast<unsigned long long>(seed));
}

} // namespace
