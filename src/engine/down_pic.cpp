#include "engine/down_pic.h"

#include "engine/engine_state.h"
#include "net/url_fetcher.h"

#include <QStringLiteral>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

using namespace std::chrono_literals;

// How often the manager looks at the stop flag while it waits.
constexpr auto kStopPoll = 100ms;
// Host fragment of the picture site whose small answers are error pages.
constexpr char16_t kTopitFragment[] = u".topit.";
constexpr uint64_t kTopitErrorBodyBytes = 600;

// Slots whose worker has ended, for the manager to reuse; guarded by the
// engine's mtxWake.  One per run, so workers that a stop leaves behind never
// touch the next run's.
struct PoolRun
{
    std::deque<int> ended;
};

bool StopRequested(const CEngineState &state)
{
    return state.pics.bStopDownPic.load();
}

// Sleeps `ms`, waking early for a stop.
void PauseUnlessStopped(const CEngineState &state, int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!StopRequested(state) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kStopPoll, until - std::chrono::steady_clock::now()));
}

} // namespace

std::thread StartDownPic(CEngineState &state)
{
    state.pics.bStopDownPic = false;
    // A stop asked between the job's last look and the line above still counts.
    if (state.DownloadJobState.load() == DOWN_STOP_REQUESTED)
        state.pics.bStopDownPic = true;
    try {
        return std::thread([&state] {
            try {
                DownPicFunc(state);
            } catch (...) {
                // Only the manager's own small lists can fail here: the run
                // ends as a stopped one, its workers are kept and waited for.
                state.pics.bStopDownPic = true;
                state.pics.bDownPicBusy = false;
            }
        });
    } catch (const std::system_error &) {
        return {};
    }
}

void DownPicFunc(CEngineState &state)
{
    DownPicEngine &pics = state.pics;
    const ST_DOWNJOB &job = state.job;
    pics.nPicDone = 0;
    pics.nBytesDone = 0;
    pics.nPicSaved = 0;
    {
        std::lock_guard lock(pics.mtxWake);
        pics.arrSavedPics.clear();
    }
    pics.nPicCut = 0;
    const int nSlots = std::max<int>(1, pics.wThreads);
    if (job.Count() <= 0 && !pics.bMorePictures.load())
        return;
    pics.bDownPicBusy = true;
    state.SetBusyFolder(job.strFolder);
    const auto started = std::chrono::steady_clock::now();

    auto run = std::make_shared<PoolRun>();
    std::vector<std::thread> workers(static_cast<size_t>(nSlots));
    std::vector<int> freeSlots;
    for (int s = nSlots - 1; s >= 0; --s)
        freeSlots.push_back(s);
    auto slotEnded = [&state, run](int slot) {
        {
            std::lock_guard lock(state.pics.mtxWake);
            run->ended.push_back(slot);
        }
        state.pics.cvWake.notify_all();
    };
    // A worker that cannot be started counts as done at once, so the run never
    // waits for a picture that never runs.
    auto startWorker = [&](int slot, int pic) {
        try {
            workers[size_t(slot)] = std::thread([&state, slotEnded, slot, pic] {
                DownOnePicFunc(state, pic);
                slotEnded(slot);
            });
        } catch (const std::system_error &) {
            ++pics.nPicDone;
            slotEnded(slot);
        }
    };
    int next = 0;
    int shownDone = -1;
    int shownCount = -1;

    for (;;) {
        // Read before the count: once no more pictures come, the count is final.
        const bool bMore = pics.bMorePictures.load();
        const int nCount = job.Count();
        while (!freeSlots.empty() && next < nCount && !StopRequested(state)) {
            if (pics.wThreads == 1 && next > 0)
                PauseUnlessStopped(state, pics.nSingleThreadPauseMs);
            if (StopRequested(state))
                break;
            const int slot = freeSlots.back();
            freeSlots.pop_back();
            startWorker(slot, next++);
        }
        if (StopRequested(state))
            break;
        const int done = pics.nPicDone.load();
        if ((done != shownDone || nCount != shownCount) && job.hNotifyWnd) {
            job.hNotifyWnd->SetControlText(job.nNotifyCtrl,
                                           QStringLiteral("已下载%1/%2......").arg(done).arg(nCount));
            shownDone = done;
            shownCount = nCount;
        }
        if (done >= nCount && !bMore)
            break;

        std::deque<int> ended;
        {
            std::unique_lock lock(pics.mtxWake);
            pics.cvWake.wait_for(lock, kStopPoll, [&] {
                return !run->ended.empty() || StopRequested(state) || bMore != pics.bMorePictures.load() ||
                       (!freeSlots.empty() && job.Count() > next);
            });
            ended.swap(run->ended);
        }
        for (const int slot : ended) {
            if (workers[size_t(slot)].joinable())
                workers[size_t(slot)].join(); // already past its last step
            freeSlots.push_back(slot);
        }
    }

    if (StopRequested(state)) {
        // Running workers finish their picture on their own; the download job
        // waits for them before it empties the job object.
        state.KeepLeftWorkers(std::move(workers));
    } else {
        for (std::thread &t : workers)
            if (t.joinable())
                t.join();
    }

    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    if (job.hNotifyWnd)
        job.hNotifyWnd->DownloadFinished(seconds.count(), job.Count());
    state.SetBusyFolder(QString());
    pics.bDownPicBusy = false;
}

void DownOnePicFunc(CEngineState &state, int i)
{
    const ST_DOWNJOB &job = state.job;
    DownPicEngine &pics = state.pics;
    ST_URLREQUEST req;
    InitUrlRequest(req, QString(), QString(), 20000);
    req.pNet = &pics.net;
    ST_URLRESPONSE resp;
    InitUrlResponse(resp);

    const ST_DOWNENTRY pic = job.Entry(i);
    const QString &entry = pic.strUrl;
    const qsizetype crlf = entry.indexOf(QStringLiteral("\r\n"));
    const QString url = crlf < 0 ? entry : entry.left(crlf);
    const QString alt = crlf < 0 ? QString() : entry.mid(crlf + 2);

    req.strUrl = url;
    req.dwReadTimeout = uint32_t(pics.wTimeoutSec) * 1000;
    req.strHeaders = pic.strHeader;
    req.nMinKB = pics.wMinKB;
    req.nMaxKB = pics.wMaxKB;
    req.strSavePath = pic.strPath;
    req.bPicture = true;
    req.byAttempts = 2;
    req.byRetryDelaySec = 1;
    req.pAbort = &pics.bStopDownPic; // a stop ends the transfer and removes its temporary file
    bool bSaved = false;
    try {
        bSaved = FetchUrl(req, resp, URLF_CACHEABLE | URLF_NO_RELOAD);
        if (!alt.isEmpty() && !StopRequested(state) &&
            (!bSaved || (alt.indexOf(kTopitFragment) > 0 && resp.nBodyBytes < kTopitErrorBodyBytes))) {
            req.strUrl = alt;
            bSaved = FetchUrl(req, resp, URLF_CACHEABLE | URLF_NO_RELOAD);
        }
        if (bSaved)
            state.pics.nBytesDone += int64_t(resp.nBodyBytes);
    } catch (...) {
        // A picture that fails in any way counts as done like any other.
        bSaved = false;
    }
    if (bSaved) {
        {
            std::lock_guard lock(pics.mtxWake);
            pics.arrSavedPics.push_back(i);
        }
        ++state.pics.nPicSaved;
    } else if (StopRequested(state)) {
        ++state.pics.nPicCut; // not tried to the end: skipped, not failed
    }
    ++state.pics.nPicDone;
}
