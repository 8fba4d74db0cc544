// On X, Qt talks to the session bus through libdbus, which keeps a buffer
// until the process ends; LeakSanitizer reports it from every display test.
// Leaks with a frame in our code are still reported.
extern "C" const char *__lsan_default_suppressions();
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
