#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ext_settings.h"
#include "core/records.h"
#include "core/soft_settings.h"
#include "engine/kept_pages.h"
#include "engine/run_options.h"
#include "engine/saved_record.h"
#include "net/net_context.h"

class IPageBrowser;

// Job state values (ListJobState, DownloadJobState).
inline constexpr uint8_t JOB_IDLE = 0;
inline constexpr uint8_t JOB_RUNNING = 1;
inline constexpr uint8_t LIST_STOP_REQUESTED = 2;   // ListJobState: user stop
inline constexpr uint8_t DOWN_SKIP_REST = 2;        // DownloadJobState: rest of the album was downloaded before
inline constexpr uint8_t DOWN_STOP_REQUESTED = 3;   // DownloadJobState: user stop, never overwritten

// The download engine's own state: one picture pool run at a time.
struct DownPicEngine
{
    // Set by the stop command, cleared by StartDownPic and the download job's
    // start.  Also the abort flag of the download's transfers (page loads and
    // pictures), so a stop ends them at once.
    std::atomic<bool> bStopDownPic{false};
    std::atomic<bool> bDownPicBusy{false}; // true while DownPicFunc runs its pool
    // True while the collection may still add pictures to a running pool (its
    // choice pages are loading); the manager then waits for them.
    std::atomic<bool> bMorePictures{false};
    std::atomic<int> nPicDone{0};          // pictures of the run whose worker has ended
    std::atomic<int64_t> nBytesDone{0};    // bytes of the run's pictures fetched so far
    std::atomic<int> nPicSaved{0};         // of those, the ones that reached their file
    std::vector<int> arrSavedPics;         // their indexes in the job object; guarded by mtxWake
    std::atomic<int> nPicCut{0};           // of those, the ones a stop ended unsaved
    // Copied from DownloadParams by the download job before each run; read by
    // the threads that run starts.
    uint16_t wThreads = 5;
    uint16_t wTimeoutSec = 30;
    uint16_t wMinKB = 0;
    uint16_t wMaxKB = 0;
    // Pause before each picture after the first when wThreads is 1.
    int nSingleThreadPauseMs = 2000;
    // The pictures' connections, TLS sessions and CA store, kept from one
    // picture and one album to the next.
    CNetContext net;

    // The manager waits on this for ended workers and added pictures.
    std::mutex mtxWake;
    std::condition_variable cvWake;
    // A picture was added or bMorePictures changed: any thread.
    void WakeManager()
    {
        { std::lock_guard lock(mtxWake); }
        cvWake.notify_all();
    }
};

// The state the window keeps for the jobs: settings, album list, the kept
// product page, the folders the list job makes, the job object, the job state
// bytes and the download engine.  The window owns one; the headless front end
// and the tests make their own.  Never copied.
//
// Threads: the list job writes the album list, the page text and the folders
// while it runs; the download job reads them and owns the job object; the
// window starts neither while the other runs (job_control.h).  Settings are
// written by the window's menus and by the list job (address history): hold
// mtxSettings while changing them during a job; the jobs take copies under it.
class CEngineState
{
public:
    CEngineState() = default;
    // Asks running jobs to stop and waits for them and their picture workers.
    // A host that hands calls to another thread must answer at once (without
    // that thread) from then on, or the wait never ends.
    ~CEngineState();
    CEngineState(const CEngineState &) = delete;
    CEngineState &operator=(const CEngineState &) = delete;

    QString ProgramFolder;          // current folder at start-up, ending in '/'
    SoftSettings settings;          // soft.dat
    std::mutex mtxSettings;         // see above
    CAlbumList albums;              // album list of the last list job
    QString strPageText;            // kept product page text (AddProductAlbum)
    QString strPageHtml;            // the same page as served, entities kept
    QString strSiteFolder;          // "京东/" after a JD list job
    QString strSecondFolder;        // empty for JD
    ExtSettings ext;                // 下载器扩展设置.ini, loaded at each job start
    ST_DOWNJOB job;                 // picture list of the album being downloaded; the
                                    // window points job.hNotifyWnd at its host at start-up
    QString strFirstUrl;            // first address remembered in the album's pic.zvk
    CKeptPages keptPages;           // pages of a list of several addresses, by album address
    ST_ALBUMRUN albumRun;           // the album being downloaded: download job thread only
    // The album's folder is a link: nothing of the album is written.  Set by
    // AddPicture, cleared by the download job at each album.
    std::atomic<bool> bAlbumRefused{false};

    std::atomic<int> SiteKind{SITE_JD}; // site entry whose settings apply
    std::atomic<int> nListType{-1}; // list-type choice
    std::atomic<uint8_t> ListJobState{JOB_IDLE};
    std::atomic<uint8_t> DownloadJobState{JOB_IDLE};
    std::atomic<uint8_t> StartupReady{0};
    // Set by 重试失败 for the next download job, which then fetches only the
    // pictures the albums' records lack (as SkipDownloaded does, without the
    // pic.zvk rule); the job clears it when it ends.
    std::atomic<bool> bOnlyMissing{false};
    std::atomic<uint32_t> nJobPicTotal{0}; // pictures collected by the last download job
    std::atomic<uint32_t> nJobAlbumsUpToDate{0}; // of its albums, those SkipDownloaded found done
    std::atomic<uint32_t> nJobPicSaved{0};   // pictures the last download job wrote
    std::atomic<uint32_t> nJobPicFailed{0};  // pictures it tried and could not write
    std::atomic<uint32_t> nJobPicSkipped{0}; // pictures not downloaded: listed only, left by a
                                             // stop, or found downloaded by an earlier run
    // Abort flag of the list job's page load: set by its stop, cleared at its start.
    std::atomic<bool> bAbortList{false};

    DownPicEngine pics;
    RunOptions run;                 // front-end choices for this run (headless only)
    // The front end's browser for product pages, or null.  Set before the
    // first job starts; outlives every job.
    IPageBrowser *pPageBrowser = nullptr;
    // The user passed the shop's gate in the log-in browser: from then on
    // the pages are read there, as plain requests would meet the gate again.
    std::atomic<bool> bGatePassedInBrowser{false};
    std::atomic<bool> bNoBrowserSaid{false}; // "no browser" was said once already

    // Index into the per-site settings: SiteKind, or the JD entry when
    // SiteKind names no entry.
    size_t SiteEntry() const
    {
        const int kind = SiteKind.load();
        return size_t(kind >= 0 && kind < SITE_COUNT ? kind : SITE_JD);
    }

    // The kept page as served: strPageHtml when it belongs to strPageText,
    // else the text itself.
    QString KeptPageHtml() const;

    // Asks every running job to stop (list job, download job, picture pool)
    // and makes their running transfers end at once.  Any thread; waits for nothing.
    void RequestStopAll();

    // Sets DownloadJobState unless the user asked to stop (3); true when set.
    bool SetDownloadState(uint8_t value);

    // Folder of the album being downloaded while the pool runs, else empty
    // ("打开" opens it instead of the save path).
    QString BusyFolder() const;

    // Waits until no list or download job runs and every picture worker has
    // ended.  For callers without an event loop (front end, tests): never from
    // a thread the host hands its calls to.
    void WaitForJobs();

    // Used by the jobs themselves.
    // Start the list / download job thread; false when it cannot be created.
    // A new job thread first waits for the end of the previous one.
    bool StartListThread(std::function<void()> body);
    bool StartDownloadThread(std::function<void()> body);
    // Picture workers a stop left running: kept, and waited for before the
    // job object is emptied for the next album.
    void KeepLeftWorkers(std::vector<std::thread> &&workers);
    void JoinLeftWorkers();
    void SetBusyFolder(const QString &folder);

private:
    mutable std::mutex m_mtx;
    QString m_busyFolder;
    std::thread m_listThread;
    std::thread m_downThread;
    std::vector<std::thread> m_leftWorkers; // workers a stop left running
};
