#include "Host/Host_Thread.h"

#include <pthread.h>

#include <cerrno>
#include <cstdlib>
#include <new>

struct HostLock {
    pthread_mutex_t mutex;
};

struct HostThread {
    pthread_t thread;
    HostThreadFunction function;
    void* argument;
};

HostLock* HostLock_Create()
{
    auto* lock = static_cast<HostLock*>(std::malloc(sizeof(HostLock)));
    if (!lock) return nullptr;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    const int rc = pthread_mutex_init(&lock->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
    if (rc != 0) {
        std::free(lock);
        return nullptr;
    }
    return lock;
}

void HostLock_Destroy(HostLock* lock)
{
    if (!lock) return;
    pthread_mutex_destroy(&lock->mutex);
    std::free(lock);
}

void HostLock_Enter(HostLock* lock)
{
    pthread_mutex_lock(&lock->mutex);
}

void HostLock_Leave(HostLock* lock)
{
    pthread_mutex_unlock(&lock->mutex);
}

namespace {
void* Trampoline(void* raw)
{
    auto* thread = static_cast<HostThread*>(raw);
    const int code = thread->function(thread->argument);
    return reinterpret_cast<void*>(static_cast<intptr_t>(code));
}
}  // namespace

HostThread* HostThread_Create(HostThreadFunction function, void* argument, uint32_t* error)
{
    auto* thread = new (std::nothrow) HostThread{};
    if (!thread) {
        if (error) *error = ENOMEM;
        return nullptr;
    }
    thread->function = function;
    thread->argument = argument;
    const int rc = pthread_create(&thread->thread, nullptr, Trampoline, thread);
    if (rc != 0) {
        if (error) *error = static_cast<uint32_t>(rc);
        delete thread;
        return nullptr;
    }
    return thread;
}

void HostThread_Join(HostThread* thread)
{
    if (!thread) return;
    pthread_join(thread->thread, nullptr);
    delete thread;
}
