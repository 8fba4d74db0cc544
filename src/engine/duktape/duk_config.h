/* Duktape's build options: Debian's, and the hooks that bound a page's script
 * in time and in C stack.  This file stands first on the include path of
 * duktape.c and of our code, so both are built with the same options. */
#ifndef OSTREL_DUK_CONFIG_H
#define OSTREL_DUK_CONFIG_H

#include OSTREL_DUKTAPE_SYSTEM_CONFIG

#if defined(__cplusplus)
extern "C" {
#endif

/* Nonzero once the run that owns the heap is past its deadline, and from
 * then on: Duktape needs that to unwind every catch of the script. */
duk_bool_t OstrelScriptTimedOut(void *heapUdata);

/* Nonzero when the C stack is nearly used up, or the run is past its
 * deadline: regular expressions, JSON, number conversion and calls ask this,
 * never the other. */
duk_bool_t OstrelScriptNativeCheck(void);

/* How deep the compiler may nest, for the C stack left where it starts. */
duk_int_t OstrelScriptCompileDepth(void);

#if defined(__cplusplus)
}
#endif

/* Asked every 256K bytecode instructions. */
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) OstrelScriptTimedOut(udata)
#define DUK_USE_NATIVE_STACK_CHECK() OstrelScriptNativeCheck()
/* The compiler asks neither hook; this is read once per compile. */
#undef DUK_USE_COMPILER_RECLIMIT
#define DUK_USE_COMPILER_RECLIMIT OstrelScriptCompileDepth()

#endif
