#include "ui/gui_thread.h"

CGuiThreadGate::CGuiThreadGate(QObject *guiContext)
    : context_(guiContext), guiThread_(guiContext->thread()), state_(std::make_shared<State>())
{
}

CGuiThreadGate::~CGuiThreadGate()
{
    Close();
}

void CGuiThreadGate::Close()
{
    {
        const std::lock_guard lock(state_->mtx);
        state_->closed = true;
    }
    state_->cv.notify_all();
}

bool CGuiThreadGate::IsClosed() const
{
    const std::lock_guard lock(state_->mtx);
    return state_->closed;
}

bool CGuiThreadGate::Run(std::function<void()> fn)
{
    if (QThread::currentThread() == guiThread_) {
        fn();
        return true;
    }
    const std::shared_ptr<State> state = state_;
    auto done = std::make_shared<bool>(false);  // guarded by state->mtx
    {
        const std::lock_guard lock(state->mtx);
        if (state->closed || !context_)
            return false;
    }
    const bool posted = QMetaObject::invokeMethod(
        context_.data(),
        [state, done, fn = std::move(fn)] {
            {
                const std::lock_guard lock(state->mtx);
                if (state->closed)
                    return;
            }
            // Runs unlocked: the call may open a message box with its own event loop.
            fn();
            {
                const std::lock_guard lock(state->mtx);
                *done = true;
            }
            state->cv.notify_all();
        },
        Qt::QueuedConnection);
    if (!posted)
        return false;
    std::unique_lock lock(state->mtx);
    state->cv.wait(lock, [&] { return state->closed || *done; });
    return *done;
}
