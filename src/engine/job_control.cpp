#include "engine/job_control.h"

#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "engine/jobs.h"
#include "engine/notices.h"

namespace {

// Idle → running (true), or running → `stopValue` (false).  A job that ends
// between the two steps is seen, so a stop never sticks to an idle job.
bool StartOrStop(std::atomic<uint8_t> &jobState, uint8_t stopValue)
{
    uint8_t cur = jobState.load();
    for (;;) {
        const uint8_t next = cur == JOB_IDLE ? JOB_RUNNING : stopValue;
        if (jobState.compare_exchange_weak(cur, next))
            return next == JOB_RUNNING;
    }
}

// No exception may end a job thread (that would end the process): a job that
// meets one, out of memory above all, ends like a failed one.
void RunListJob(CEngineState &state, IJobHost &host)
{
    try {
        GetListFunc(state, host);
    } catch (...) {
        host.ShowMessage(notice::JobFailed());
        host.ShowListIdleLook(state.albums.Count());
        state.ListJobState = JOB_IDLE;
    }
}

void RunDownloadJob(CEngineState &state, IJobHost &host)
{
    try {
        DownJobFunc(state, host);
    } catch (...) {
        state.pics.bStopDownPic = true;
        state.JoinLeftWorkers();
        host.ShowMessage(notice::JobFailed());
        host.ShowDownloadIdleLook();
        state.bOnlyMissing = false;
        state.DownloadJobState = JOB_IDLE;
    }
}

} // namespace

void OnGetListClick(CEngineState &state, IJobHost &host)
{
    if (state.StartupReady.load() != 1)
        return;
    if (state.DownloadJobState.load() != JOB_IDLE)
        return; // the two jobs never run together
    if (!StartOrStop(state.ListJobState, LIST_STOP_REQUESTED)) {
        state.bAbortList = true; // the page being loaded ends at once
        return;
    }
    // A stop asked since the line above still counts.
    state.bAbortList = state.ListJobState.load() == LIST_STOP_REQUESTED;
    host.ResetAlbumGrid();
    state.albums.Clear();
    state.nListType = -1;
    state.SiteKind = SITE_JD;
    if (!state.StartListThread([&state, &host] { RunListJob(state, host); })) {
        state.ListJobState = JOB_IDLE; // nothing runs that would set it back
        host.ShowMessage(notice::JobThreadFailed());
    }
}

void RunDownloadCommand(CEngineState &state, IJobHost &host)
{
    if (!StartOrStop(state.DownloadJobState, DOWN_STOP_REQUESTED)) {
        state.pics.bStopDownPic = true;
        return;
    }
    if (!state.StartDownloadThread([&state, &host] { RunDownloadJob(state, host); })) {
        state.DownloadJobState = JOB_IDLE;
        host.ShowMessage(notice::JobThreadFailed());
    }
}

void OnDownloadClick(CEngineState &state, IJobHost &host)
{
    if (state.ListJobState.load() != JOB_IDLE)
        return;
    RunDownloadCommand(state, host);
}
