#include <gtest/gtest.h>

#include <atomic>

#include "Base/Thread.h"

TEST(Thread, OnlyTheMarkedThreadIsTheMainThread)
{
    Thread_MarkMainThread();
    EXPECT_TRUE(Thread_IsMainThread());
    bool workerSawMain = true;
    Thread worker;
    ASSERT_TRUE(worker.Start([](Thread* t) -> int {
        *static_cast<bool*>(t->UserData()) = Thread_IsMainThread();
        return 0;
    }, &workerSawMain));
    worker.Join();
    EXPECT_FALSE(workerSawMain);
    EXPECT_TRUE(Thread_IsMainThread());
}

TEST(Thread, RunsUntilAskedToStop)
{
    Thread worker;
    EXPECT_FALSE(worker.Running());
    std::atomic<int> loops{0};
    ASSERT_TRUE(worker.Start([](Thread* t) -> int {
        auto* count = static_cast<std::atomic<int>*>(t->UserData());
        while (!t->StopRequested()) {
            ++*count;
            Thread_Sleep(1);
        }
        return 0;
    }, &loops));
    while (loops.load() == 0) Thread_Sleep(1);
    EXPECT_TRUE(worker.Running());
    EXPECT_FALSE(worker.Start([](Thread*) -> int { return 0; }, nullptr)) << "one thread per record";
    EXPECT_NE(worker.LastError(), 0u);
    worker.RequestStop();
    worker.Join();
    EXPECT_FALSE(worker.Running());
    worker.Join();  // a second join is harmless
}

TEST(Thread, AnUnjoinedThreadIsJoinedWithItsRecord)
{
    int done = 0;
    {
        Thread worker;
        ASSERT_TRUE(worker.Start([](Thread* t) -> int {
            Thread_Sleep(5);
            *static_cast<int*>(t->UserData()) = 1;
            return 0;
        }, &done));
    }
    EXPECT_EQ(done, 1);
}

TEST(Mutex, IsRecursiveAndExcludesOtherThreads)
{
    struct Shared {
        Mutex lock{"TestMutex"};
        long counter = 0;
    } shared;
    ASSERT_TRUE(shared.lock.Lock());
    ASSERT_TRUE(shared.lock.Lock());  // the owner enters again
    shared.lock.Unlock();
    shared.lock.Unlock();

    auto body = [](Thread* t) -> int {
        auto* s = static_cast<Shared*>(t->UserData());
        for (int i = 0; i < 20000; ++i) {
            s->lock.Lock();
            s->lock.Lock();
            long v = s->counter;
            s->counter = v + 1;
            s->lock.Unlock();
            s->lock.Unlock();
        }
        return 0;
    };
    Thread a, b, c;
    ASSERT_TRUE(a.Start(body, &shared));
    ASSERT_TRUE(b.Start(body, &shared));
    ASSERT_TRUE(c.Start(body, &shared));
    a.Join();
    b.Join();
    c.Join();
    EXPECT_EQ(shared.counter, 60000);
}

TEST(Mutex, LazyInitCreatesTheLockOnce)
{
    Mutex lock;
    EXPECT_FALSE(lock.Lock()) << "no lock before Init";
    lock.Init("Lazy");
    lock.Init("Lazy");
    EXPECT_TRUE(lock.Lock());
    lock.Unlock();
}
