// The counters themselves: a zero from them means nothing unless they see what they must.

#include "AudioThreadCounts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

using namespace tarnwell::test;

TEST (AudioThreadCounts, SeeAllocationsLocksAndWaitsOnTheCountingThreadOnly)
{
    if (! audioThreadCountingWorks())
        GTEST_SKIP() << "the sanitizer's runtime owns malloc and the mutex functions";

    startCounting();
    EXPECT_TRUE (stopCounting().isZero());

    startCounting();
    int* volatile p = new int (1); // volatile: the pair may not be optimised away
    delete p;
    void* aligned = nullptr;
    EXPECT_EQ (posix_memalign (&aligned, 64, 100), 0);
    free (aligned);
    auto counts = stopCounting();
    EXPECT_EQ (counts.allocations, 2);
    EXPECT_EQ (counts.frees, 2);
    EXPECT_EQ (counts.mutexLocks, 0);

    // A mutex held by another thread: one lock, one wait. The other thread's own allocations
    // and locks are not counted here.
    std::mutex mutex;
    std::atomic<bool> held { false };
    std::thread holder ([&] {
        const std::lock_guard lock (mutex);
        held = true;
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
    });
    while (! held)
        std::this_thread::yield();

    startCounting();
    mutex.lock();
    mutex.unlock();
    mutex.lock();
    mutex.unlock();
    counts = stopCounting();
    holder.join();

    EXPECT_EQ (counts.allocations, 0);
    EXPECT_EQ (counts.mutexLocks, 2);
    EXPECT_EQ (counts.mutexWaits, 1);
    EXPECT_EQ (counts.distinctMutexes, 1);
}
