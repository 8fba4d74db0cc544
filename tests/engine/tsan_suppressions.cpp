// cpp-httplib comes as an uninstrumented shared library: ThreadSanitizer does
// not see the synchronisation inside it and reports the library's own
// internals.  Our code around the server is still checked.
extern "C" const char *__tsan_default_suppressions();
extern "C" const char *__tsan_default_suppressions()
{
    return "called_from_lib:libcpp-httplib.so.0.11\n";
}
