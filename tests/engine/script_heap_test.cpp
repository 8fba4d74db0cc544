// The heap a page's script runs in: its memory cap, and a fatal error of the
// engine that ends in a refusal instead of abort().

#include "engine/script_heap.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

TEST(ScriptHeapTest, RefusedAllocationIsAnErrorInTheScript)
{
    CScriptHeap heap(5s, std::size_t{4} << 20);
    ASSERT_NE(heap.Context(), nullptr);
    duk_int_t rc = DUK_EXEC_SUCCESS;
    EXPECT_TRUE(heap.Run([&rc](duk_context *ctx) {
        rc = duk_peval_string(ctx, "var s = 'x'; for (;;) s += s;");
        duk_pop(ctx);
    }));
    EXPECT_NE(rc, DUK_EXEC_SUCCESS);
    EXPECT_LE(heap.LiveBytes(), std::size_t{4} << 20);
    EXPECT_NE(heap.Context(), nullptr);
}

TEST(ScriptHeapTest, FatalErrorDropsTheHeapWhole)
{
    CScriptHeap heap(5s);
    ASSERT_NE(heap.Context(), nullptr);
    EXPECT_GT(heap.LiveBytes(), 0u);
    // An error thrown outside any protected call is fatal to Duktape.
    EXPECT_FALSE(heap.Run([](duk_context *ctx) {
        duk_push_string(ctx, "outside");
        duk_throw(ctx);
    }));
    EXPECT_EQ(heap.Context(), nullptr);
    EXPECT_EQ(heap.LiveBytes(), 0u);
    EXPECT_FALSE(heap.Run([](duk_context *) { FAIL() << "ran on a dropped heap"; }));
}

} // namespace
