#pragma once
// Locks, worker threads and the main-thread marker.
#include <atomic>
#include <cstdint>

struct HostLock;
struct HostThread;

// A recursive lock. The name documents the lock and is not stored.
class Mutex {
public:
    Mutex() = default;
    explicit Mutex(const char* name);
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    // For locks created lazily on first use.
    void Init(const char* name);
    // Blocks until entered; the owning thread may enter again. False only
    // when the lock could not be created.
    bool Lock();
    void Unlock();

private:
    HostLock* m_lock = nullptr;
};

// A worker thread. The owner sets the stop flag and the thread reads it, both
// under the record's "TermMutex".
class Thread {
public:
    using Function = int (*)(Thread* thread);

    Thread();
    // Joins a thread that is still unjoined, so it never outlives its record.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs function on a new thread. False on failure, with LastError() set;
    // also while an earlier thread of this record is not yet joined.
    bool Start(Function function, void* userData);
    // Waits without a time limit for the thread to end.
    void Join();

    void RequestStop();
    bool StopRequested();
    bool Running() const { return m_running.load(); }
    uint32_t LastError() const { return m_lastError; }
    void* UserData() const { return m_userData; }
    Mutex* TermMutex() const { return m_termMutex; }

private:
    static int EntryPoint(void* record);

    HostThread* m_handle = nullptr;
    uint32_t m_lastError = 0;
    bool m_stopRequested = false;
    std::atomic<bool> m_running{false};
    void* m_userData = nullptr;
    Function m_function = nullptr;
    Mutex* m_termMutex = nullptr;
};

// The calling thread becomes the main thread (done once during start-up).
void Thread_MarkMainThread();
// True on the thread marked as the main thread; threads started through
// Thread::Start always answer false.
bool Thread_IsMainThread();

void Thread_Sleep(uint32_t milliseconds);
