#include "Base/Thread.h"

#include <cerrno>
#include <new>

#include "Host/Host_Thread.h"
#include "Host/Host_Time.h"

namespace {
thread_local bool t_isMainThread = false;
}

Mutex::Mutex(const char* name)
{
    Init(name);
}

Mutex::~Mutex()
{
    HostLock_Destroy(m_lock);
}

void Mutex::Init(const char*)
{
    if (!m_lock) m_lock = HostLock_Create();
}

bool Mutex::Lock()
{
    if (!m_lock) return false;
    HostLock_Enter(m_lock);
    return true;
}

void Mutex::Unlock()
{
    if (m_lock) HostLock_Leave(m_lock);
}

Thread::Thread() : m_termMutex(new (std::nothrow) Mutex("TermMutex")) {}

Thread::~Thread()
{
    Join();
    delete m_termMutex;
}

bool Thread::Start(Function function, void* userData)
{
    if (m_handle) {  // the earlier thread must be joined first
        m_lastError = EBUSY;
        return false;
    }
    m_function = function;
    m_userData = userData;
    m_running = true;
    m_handle = HostThread_Create(&Thread::EntryPoint, this, &m_lastError);
    if (!m_handle) {
        m_running = false;
        return false;
    }
    return true;
}

int Thread::EntryPoint(void* record)
{
    auto* thread = static_cast<Thread*>(record);
    t_isMainThread = false;
    const int code = thread->m_function(thread);
    thread->m_running = false;
    return code;
}

void Thread::Join()
{
    HostThread_Join(m_handle);
    m_handle = nullptr;
}

void Thread::RequestStop()
{
    if (m_termMutex) m_termMutex->Lock();
    m_stopRequested = true;
    if (m_termMutex) m_termMutex->Unlock();
}

bool Thread::StopRequested()
{
    if (m_termMutex) m_termMutex->Lock();
    const bool stop = m_stopRequested;
    if (m_termMutex) m_termMutex->Unlock();
    return stop;
}

void Thread_MarkMainThread()
{
    t_isMainThread = true;
}

bool Thread_IsMainThread()
{
    return t_isMainThread;
}

void Thread_Sleep(uint32_t milliseconds)
{
    HostTime_Wait(static_cast<int64_t>(milliseconds) * 1000);
}
