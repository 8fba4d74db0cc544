// The window's close: every job asked to stop, and a bounded wait for them.
#include "ui/tamblin_dlg.h"

#include <QElapsedTimer>

#include <chrono>

CTamblinDlg::~CTamblinDlg()
{
    // From here on job threads get their answers without the GUI thread; the
    // engine state (destroyed first) then waits for them.
    gate_.Close();
    RequestStopAll();
    // A close that gave up waiting left its waiter running: it owns the joins.
    while (threadsEnded_ && !threadsEnded_->load())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (startupThread_.joinable())
        startupThread_.join();
    JoinRebuildThread();
}

void CTamblinDlg::RequestStopAll()
{
    state_.RequestStopAll();
    if (albumList_) {
        uint8_t running = 1;
        albumList_->ThumbJobState.compare_exchange_strong(running, 2);
        albumList_->bAbortDownloads = true;
    }
}

void CTamblinDlg::JoinRebuildThread()
{
    if (rebuildThread_.joinable())
        rebuildThread_.join();
}

bool CTamblinDlg::StopAndWaitForThreads(int ms)
{
    gate_.Close();
    RequestStopAll();
    if (threadsEnded_)
        return threadsEnded_->load();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    threadsEnded_ = finished;
    std::thread waiter([this, finished] {
        state_.WaitForJobs();
        JoinRebuildThread();
        if (startupThread_.joinable())
            startupThread_.join();
        *finished = true;
    });
    QElapsedTimer waited;
    waited.start();
    while (!finished->load() && waited.elapsed() < ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (finished->load()) {
        waiter.join();
        return true;
    }
    // A transfer that does not end in time must not keep the process alive.
    waiter.detach();
    return false;
}
