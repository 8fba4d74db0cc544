#pragma once

// One Duktape heap for one run of a page's script, made, used and destroyed
// on the calling thread.  Its memory is counted and capped (a refused
// allocation is a RangeError in the script), its run is bounded in time and
// in C stack, and a fatal error of the engine ends in Run() returning false
// instead of in abort().  Heaps on other threads share nothing with it.

#include <duktape.h>

#include <chrono>
#include <csetjmp>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kScriptHeapBytes = std::size_t{64} << 20;

class CScriptHeap
{
public:
    CScriptHeap(std::chrono::milliseconds timeLimit, std::size_t maxBytes = kScriptHeapBytes);
    ~CScriptHeap();
    CScriptHeap(const CScriptHeap &) = delete;
    CScriptHeap &operator=(const CScriptHeap &) = delete;

    // Null when the heap could not be made or a fatal error ended it.
    duk_context *Context() const { return ctx_; }

    // Runs body(Context()).  False when Duktape met a fatal error inside: the
    // heap is then dropped whole, its memory freed, and Context() is null.
    // Only Duktape's C frames and `body` lie between here and such an error,
    // so `body` must hold no object with a destructor across a call into
    // Duktape that may throw; everything that may throw goes into protected
    // calls anyway.
    template <class Body>
    bool Run(Body &&body)
    {
        return ctx_ && Guard([&] { body(ctx_); });
    }

    // Past the deadline?  Once it is, it stays so.  PollDeadline reads the
    // clock on every 256th call only, for loops that ask per element.
    bool PollDeadline();
    bool CheckDeadline();
    bool DeadlinePassed() const { return expired_; }

    std::size_t LiveBytes() const { return live_; }

    // The hooks of duktape/duk_config.h.
    bool NativeCheck();
    duk_int_t CompileDepth() const;

private:
    struct SBlock; // header of every allocation, linked so that all can be freed at once

    static void *Alloc(void *udata, duk_size_t size);
    static void *Realloc(void *udata, void *ptr, duk_size_t size);
    static void Free(void *udata, void *ptr);
    [[noreturn]] static void Fatal(void *udata, const char *msg);

    void Link(SBlock *block, std::size_t size);
    void Unlink(SBlock *block);
    void Abandon();

    // Calls `step` with a fatal error of Duktape landing here.
    template <class Step>
    bool Guard(Step &&step)
    {
        if (guarded_)
            return false;
        guarded_ = true;
        if (setjmp(escape_) != 0) {
            guarded_ = false;
            Abandon();
            return false;
        }
        step();
        guarded_ = false;
        return true;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline_;
    const std::size_t maxBytes_;
    std::size_t live_ = 0;    // bytes held, headers included
    SBlock *blocks_ = nullptr; // every live allocation of this heap
    std::uint32_t polls_ = 0;
    bool expired_ = false;
    const char *stackFloor_ = nullptr; // below this the C stack is nearly used up
    CScriptHeap *outer_ = nullptr;     // the heap this thread ran before this one
    bool guarded_ = false;
    std::jmp_buf escape_{};
    duk_context *ctx_ = nullptr;
};
