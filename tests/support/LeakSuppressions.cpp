// Allocations that system libraries keep for the life of the process (the
// Mesa driver, D-Bus) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\n"
           "leak:libdbus-1.so\n";
}

// The leak checker's walk of dynamic TLS can read a stale slot of the Mesa
// driver's modules and crash at exit, depending only on memory layout; the
// blocks it would find there belong to the driver anyway.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
