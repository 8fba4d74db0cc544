#pragma once

#include <atomic>
#include <thread>

class CEngineState;

// SIGINT, SIGTERM, SIGHUP and SIGQUIT end a run as "终止下载" does: the jobs
// stop, running transfers abort and remove their temporary files, and the
// program then exits with 128 + the signal number.  A program that has not
// ended a moment later (a thread stuck in a system call) ends at once, with
// the same status; its temporary files go at the next run into the folder.

// Blocks those signals in the calling thread; call it first in main, before
// any thread starts, so every thread inherits the mask.
void BlockStopSignals();

// Waits for the signals on a thread of its own.  After one, it keeps asking
// the jobs to stop until it is destroyed, so a job that starts a moment later
// (the list job starting the download) stops too.
class CStopSignals
{
public:
    explicit CStopSignals(CEngineState &state);
    ~CStopSignals();
    CStopSignals(const CStopSignals &) = delete;
    CStopSignals &operator=(const CStopSignals &) = delete;

    // The signal that came, or 0.
    int Signal() const { return m_nSignal.load(); }

private:
    void Run();

    CEngineState &m_state;
    std::atomic<int> m_nSignal{0};
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};
