#include "engine/engine_state.h"

#include "util/text_utils.h"

#include <memory>
#include <system_error>

CEngineState::~CEngineState()
{
    RequestStopAll();
    WaitForJobs();
}

QString CEngineState::KeptPageHtml() const
{
    QString decoded = strPageHtml;
    DecodeHtmlEntities(decoded);
    return !strPageHtml.isEmpty() && decoded == strPageText ? strPageHtml : strPageText;
}

void CEngineState::RequestStopAll()
{
    uint8_t running = JOB_RUNNING;
    ListJobState.compare_exchange_strong(running, LIST_STOP_REQUESTED);
    bAbortList = true;
    // An idle download stays idle: a stop must never stick to the next job.
    uint8_t cur = DownloadJobState.load();
    while (cur != JOB_IDLE && !DownloadJobState.compare_exchange_weak(cur, DOWN_STOP_REQUESTED)) {
    }
    pics.bStopDownPic = true;
}

bool CEngineState::SetDownloadState(uint8_t value)
{
    uint8_t cur = DownloadJobState.load();
    while (cur != DOWN_STOP_REQUESTED) {
        if (DownloadJobState.compare_exchange_weak(cur, value))
            return true;
    }
    return false;
}

QString CEngineState::BusyFolder() const
{
    std::lock_guard lock(m_mtx);
    return m_busyFolder;
}

void CEngineState::SetBusyFolder(const QString &folder)
{
    std::lock_guard lock(m_mtx);
    m_busyFolder = folder;
}

namespace {

// Starts `body` on a new thread that first waits for `slot`'s previous thread.
bool StartAfter(std::thread &slot, std::function<void()> body)
{
    // Shared, so a failed start can hand the previous thread back to the slot.
    auto prev = std::make_shared<std::thread>(std::move(slot));
    try {
        slot = std::thread([prev, body = std::move(body)] {
            if (prev->joinable())
                prev->join();
            body();
        });
    } catch (const std::system_error &) {
        slot = std::move(*prev);
        return false;
    }
    return true;
}

} // namespace

bool CEngineState::StartListThread(std::function<void()> body)
{
    std::lock_guard lock(m_mtx);
    return StartAfter(m_listThread, std::move(body));
}

bool CEngineState::StartDownloadThread(std::function<void()> body)
{
    std::lock_guard lock(m_mtx);
    return StartAfter(m_downThread, std::move(body));
}

void CEngineState::KeepLeftWorkers(std::vector<std::thread> &&workers)
{
    std::lock_guard lock(m_mtx);
    for (std::thread &t : workers)
        if (t.joinable())
            m_leftWorkers.push_back(std::move(t));
}

void CEngineState::JoinLeftWorkers()
{
    std::vector<std::thread> left;
    {
        std::lock_guard lock(m_mtx);
        left.swap(m_leftWorkers);
    }
    for (std::thread &t : left)
        t.join();
}

void CEngineState::WaitForJobs()
{
    // The list job may start a download job at its end, so the list thread goes first.
    for (std::thread *slot : {&m_listThread, &m_downThread}) {
        std::thread t;
        {
            std::lock_guard lock(m_mtx);
            t = std::move(*slot);
        }
        if (t.joinable())
            t.join();
    }
    JoinLeftWorkers();
}
