// Allocations that system libraries keep for the life of the process (the
// Mesa driver, D-Bus) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\n"
           "leak:libdbus-1.so\n";
}
