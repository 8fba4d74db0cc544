#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// Hands calls from worker threads to the GUI thread and waits for them, the
// way the platform forwards a worker's change of a control to the window's
// thread.  Once closed (the window is going away) nothing more is handed over
// and every caller, waiting or new, returns at once with the fallback value.
class CGuiThreadGate
{
public:
    explicit CGuiThreadGate(QObject *guiContext);
    ~CGuiThreadGate();
    CGuiThreadGate(const CGuiThreadGate &) = delete;
    CGuiThreadGate &operator=(const CGuiThreadGate &) = delete;

    void Close();
    bool IsClosed() const;

    // Runs fn on the GUI thread (at once when called there); false when the
    // gate closed before fn had run to its end.
    bool Run(std::function<void()> fn);

    // The same with a result; `fallback` when fn did not run to its end.
    template <class R>
    R Call(std::function<R()> fn, R fallback)
    {
        auto slot = std::make_shared<std::optional<R>>();
        // The slot is written before the hand-over is marked done and read
        // only after that, under the gate's lock.
        if (!Run([fn = std::move(fn), slot] { *slot = fn(); }))
            return fallback;
        return slot->has_value() ? std::move(**slot) : fallback;
    }

private:
    struct State
    {
        std::mutex mtx;
        std::condition_variable cv;
        bool closed = false;
    };

    QPointer<QObject> context_;
    QThread *guiThread_ = nullptr;
    std::shared_ptr<State> state_;
};
