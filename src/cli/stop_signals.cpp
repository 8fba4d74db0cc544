#include "cli/stop_signals.h"

#include "engine/engine_state.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <pthread.h>

namespace {

// How long a stopped run may take to end by itself.
constexpr auto kGrace = std::chrono::milliseconds(1500);

sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGQUIT);
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
    const auto deadline = std::chrono::steady_clock::now() + kGrace;
    while (!m_bDone.load()) {
        m_state.RequestStopAll();
        // No stop flag reaches a thread blocked in the kernel (a pipe planted
        // at a file name): the user's stop must still end the program.
        if (std::chrono::steady_clock::now() >= deadline)
            std::_Exit(128 + sig);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
