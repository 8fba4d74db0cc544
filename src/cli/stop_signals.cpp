#include "cli/stop_signals.h"

#include "engine/engine_state.h"

#include <chrono>
#include <csignal>
#include <pthread.h>

namespace {

sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void BlockStopSignals()
{
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

CStopSignals::CStopSignals(CEngineState &state) : m_state(state), m_thread([this] { Run(); }) {}

CStopSignals::~CStopSignals()
{
    m_bDone = true;
    // Wakes the waiting thread if no signal came.
    pthread_kill(m_thread.native_handle(), SIGTERM);
    m_thread.join();
}

void CStopSignals::Run()
{
    const sigset_t set = StopSet();
    int sig = 0;
    if (sigwait(&set, &sig) != 0 || m_bDone.load())
        return;
    m_nSignal = sig;
    while (!m_bDone.load()) {
        m_state.RequestStopAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
