#include "engine/script_heap.h"

#include <pthread.h>

#include <algorithm>
#include <cstdlib>

#if !defined(DUK_USE_EXEC_TIMEOUT_CHECK) || !defined(DUK_USE_NATIVE_STACK_CHECK)
#error "duktape.h came with Debian's duk_config.h: src/engine/duktape must come first on the include path"
#endif

// The payload after it stays aligned for any type, as malloc's is.
struct alignas(alignof(std::max_align_t)) CScriptHeap::SBlock
{
    SBlock *prev;
    SBlock *next;
    std::size_t size; // bytes asked for
};

namespace {

// Room below the floor for what Duktape does after a check said no: building
// and throwing the error.
constexpr std::size_t kStackReserve = std::size_t{1} << 20;

// Duktape's own bound on the compiler's nesting, and the C stack one level
// may take: nested functions take about 3.5 KiB per four levels under ASan.
constexpr duk_int_t kCompileLevels = 2500;
constexpr std::ptrdiff_t kStackPerCompileLevel = 2048;

// The heap whose script runs on this thread, for the stack hook, which gets no argument.
thread_local CScriptHeap *t_current = nullptr;

const char *StackFloor()
{
    thread_local const char *const floor = []() -> const char * {
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) != 0)
            return nullptr;
        void *low = nullptr;
        std::size_t size = 0;
        const bool known = pthread_attr_getstack(&attr, &low, &size) == 0;
        pthread_attr_destroy(&attr);
        if (!known || !low)
            return nullptr;
        return static_cast<const char *>(low) + std::min(kStackReserve, size / 2);
    }();
    return floor;
}

} // namespace

extern "C" duk_bool_t OstrelScriptTimedOut(void *heapUdata)
{
    // Duktape asks only every 256K instructions, so the clock is read each time.
    return heapUdata && static_cast<CScriptHeap *>(heapUdata)->CheckDeadline();
}

extern "C" duk_bool_t OstrelScriptNativeCheck(void)
{
    return t_current && t_current->NativeCheck();
}

extern "C" duk_int_t OstrelScriptCompileDepth(void)
{
    return t_current ? t_current->CompileDepth() : kCompileLevels;
}

CScriptHeap::CScriptHeap(std::chrono::milliseconds timeLimit, std::size_t maxBytes)
    : deadline_(Clock::now() + timeLimit), maxBytes_(maxBytes), stackFloor_(StackFloor()), outer_(t_current)
{
    t_current = this;
    Guard([this] { ctx_ = duk_create_heap(Alloc, Realloc, Free, this, Fatal); });
}

CScriptHeap::~CScriptHeap()
{
    if (ctx_) {
        duk_context *const ctx = ctx_;
        Guard([ctx] { duk_destroy_heap(ctx); });
    }
    Abandon();
    t_current = outer_;
}

bool CScriptHeap::CheckDeadline()
{
    if (!expired_ && Clock::now() >= deadline_)
        expired_ = true;
    return expired_;
}

bool CScriptHeap::PollDeadline()
{
    if (expired_)
        return true;
    return (++polls_ & 0xFF) == 0 && CheckDeadline();
}

bool CScriptHeap::NativeCheck()
{
    // Regular expression matching asks on every step it recurses: mostly
    // without the clock.
    const auto *const here = static_cast<const char *>(__builtin_frame_address(0));
    return (stackFloor_ && here < stackFloor_) || PollDeadline();
}

duk_int_t CScriptHeap::CompileDepth() const
{
    const auto *const here = static_cast<const char *>(__builtin_frame_address(0));
    if (!stackFloor_)
        return kCompileLevels;
    if (here <= stackFloor_)
        return 0;
    return duk_int_t(std::min<std::ptrdiff_t>(kCompileLevels, (here - stackFloor_) / kStackPerCompileLevel));
}

void *CScriptHeap::Alloc(void *udata, duk_size_t size)
{
    CScriptHeap &heap = *static_cast<CScriptHeap *>(udata);
    const std::size_t room = heap.maxBytes_ - heap.live_;
    if (size > room || sizeof(SBlock) + size > room)
        return nullptr; // Duktape collects garbage and tries again, then throws a RangeError
    auto *const block = static_cast<SBlock *>(std::malloc(sizeof(SBlock) + size));
    if (!block)
        return nullptr;
    heap.Link(block, size);
    return block + 1;
}

void *CScriptHeap::Realloc(void *udata, void *ptr, duk_size_t size)
{
    if (!ptr)
        return Alloc(udata, size);
    if (size == 0) {
        Free(udata, ptr);
        return nullptr;
    }
    CScriptHeap &heap = *static_cast<CScriptHeap *>(udata);
    SBlock *const old = static_cast<SBlock *>(ptr) - 1;
    const std::size_t room = heap.maxBytes_ - (heap.live_ - sizeof(SBlock) - old->size);
    if (size > room || sizeof(SBlock) + size > room)
        return nullptr;
    heap.Unlink(old);
    auto *const moved = static_cast<SBlock *>(std::realloc(old, sizeof(SBlock) + size));
    if (!moved) {
        heap.Link(old, old->size); // a failed realloc leaves the block as it was
        return nullptr;
    }
    heap.Link(moved, size);
    return moved + 1;
}

void CScriptHeap::Free(void *udata, void *ptr)
{
    if (!ptr)
        return;
    SBlock *const block = static_cast<SBlock *>(ptr) - 1;
    static_cast<CScriptHeap *>(udata)->Unlink(block);
    std::free(block);
}

void CScriptHeap::Fatal(void *udata, const char *)
{
    // Duktape's state is broken past repair here and the handler may not
    // return into it: jump back to the guard, which drops the heap whole.
    auto *const heap = static_cast<CScriptHeap *>(udata);
    if (heap && heap->guarded_)
        std::longjmp(heap->escape_, 1);
    std::abort(); // unreachable: every call into Duktape is guarded
}

void CScriptHeap::Link(SBlock *block, std::size_t size)
{
    block->size = size;
    block->prev = nullptr;
    block->next = blocks_;
    if (blocks_)
        blocks_->prev = block;
    blocks_ = block;
    live_ += sizeof(SBlock) + size;
}

void CScriptHeap::Unlink(SBlock *block)
{
    if (block->prev)
        block->prev->next = block->next;
    else
        blocks_ = block->next;
    if (block->next)
        block->next->prev = block->prev;
    live_ -= sizeof(SBlock) + block->size;
}

void CScriptHeap::Abandon()
{
    while (blocks_) {
        SBlock *const next = blocks_->next;
        std::free(blocks_);
        blocks_ = next;
    }
    live_ = 0;
    ctx_ = nullptr;
}
