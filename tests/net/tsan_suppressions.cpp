// Debian ships cpp-httplib as a compiled, uninstrumented library: ThreadSanitizer
// cannot see its own synchronisation and reports races between its worker
// threads.  The test servers are not under test, so their reports are muted.
// Any stack without a frame in that library is still reported.
extern "C" const char *__tsan_default_suppressions();
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libcpp-httplib.so\n";
}
