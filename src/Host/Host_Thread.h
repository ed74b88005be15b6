#pragma once
// POSIX threads and recursive locks for the engine's thread layer.
#include <cstdint>

// A recursive lock: the owning thread may enter it again.
struct HostLock;
// Null when the C heap or the platform cannot supply one.
HostLock* HostLock_Create();
void HostLock_Destroy(HostLock* lock);
void HostLock_Enter(HostLock* lock);
void HostLock_Leave(HostLock* lock);

struct HostThread;
using HostThreadFunction = int (*)(void* argument);
// Starts function(argument) on a new thread with the default stack. Null on
// failure, with the platform error code in *error.
HostThread* HostThread_Create(HostThreadFunction function, void* argument, uint32_t* error);
// Waits without a time limit for the thread to end, then releases the handle.
void HostThread_Join(HostThread* thread);
