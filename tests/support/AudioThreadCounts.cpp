#include "AudioThreadCounts.h"

#include <dlfcn.h>
#include <errno.h>
#include <malloc.h>
#include <pthread.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARNWELL_COUNTERS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TARNWELL_COUNTERS_SANITIZED 1
#endif
#endif

namespace tarnwell::test
{
namespace
{
// Plain thread-locals of the executable: static TLS, readable inside malloc without
// allocating, on any thread.
constexpr int maxTrackedMutexes = 16;
thread_local bool counting = false;
thread_local long allocations = 0, frees = 0, mutexLocks = 0, mutexWaits = 0;
thread_local int distinctMutexes = 0;
thread_local const void* trackedMutexes[maxTrackedMutexes];

[[maybe_unused]] void countAllocation() noexcept
{
    if (counting)
        ++allocations;
}

[[maybe_unused]] void countFree (const void* p) noexcept
{
    if (counting && p != nullptr)
        ++frees;
}

[[maybe_unused]] void countLock (const void* mutex, bool waited) noexcept
{
    ++mutexLocks;
    if (waited)
        ++mutexWaits;
    for (int i = 0; i < distinctMutexes; ++i)
        if (trackedMutexes[i] == mutex)
            return;
    if (distinctMutexes < maxTrackedMutexes)
        trackedMutexes[distinctMutexes++] = mutex;
}
} // namespace

bool audioThreadCountingWorks() noexcept
{
#if TARNWELL_COUNTERS_SANITIZED
    return false;
#else
    return true;
#endif
}

void startCounting() noexcept
{
    counting = false;
    allocations = frees = mutexLocks = mutexWaits = 0;
    distinctMutexes = 0;
    counting = true;
}

AudioThreadCounts stopCounting() noexcept
{
    counting = false;
    AudioThreadCounts counts;
    counts.allocations = allocations;
    counts.frees = frees;
    counts.mutexLocks = mutexLocks;
    counts.mutexWaits = mutexWaits;
    counts.distinctMutexes = distinctMutexes;
    return counts;
}
} // namespace tarnwell::test

#if ! TARNWELL_COUNTERS_SANITIZED

// The C library's own entry points, which its malloc family forwards to; no dlsym needed here,
// since dlsym itself may allocate.
extern "C" void* __libc_malloc (size_t);
extern "C" void* __libc_calloc (size_t, size_t);
extern "C" void* __libc_realloc (void*, size_t);
extern "C" void __libc_free (void*);
extern "C" void* __libc_memalign (size_t, size_t);

namespace
{
// The next definition of a function after ours, looked up once (a benign race: every thread
// finds the same address). No function-local static: its guard may lock a mutex.
template <typename Function>
Function next (std::atomic<Function>& cache, const char* name) noexcept
{
    auto f = cache.load (std::memory_order_acquire);
    if (f == nullptr)
    {
        f = reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
        cache.store (f, std::memory_order_release);
    }
    return f;
}

using LockFunction = int (*) (pthread_mutex_t*);
using TimedLockFunction = int (*) (pthread_mutex_t*, const timespec*);
using ClockLockFunction = int (*) (pthread_mutex_t*, clockid_t, const timespec*);

std::atomic<LockFunction> nextLock { nullptr }, nextTryLock { nullptr };
std::atomic<TimedLockFunction> nextTimedLock { nullptr };
std::atomic<ClockLockFunction> nextClockLock { nullptr };

bool isPowerOfTwo (size_t n) noexcept
{
    return n != 0 && (n & (n - 1)) == 0;
}

// A blocking lock: tried first, so that a lock that has to wait is told apart.
template <typename Lock>
int lockCounted (pthread_mutex_t* mutex, Lock&& lock) noexcept
{
    using namespace tarnwell::test;
    if (! counting)
        return lock();

    const int tried = next (nextTryLock, "pthread_mutex_trylock") (mutex);
    if (tried != EBUSY)
    {
        countLock (mutex, false);
        return tried == 0 ? 0 : lock();
    }
    countLock (mutex, true);
    return lock();
}
} // namespace

extern "C"
{
    void* malloc (size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* p, size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        return __libc_realloc (p, size);
    }

    void free (void* p) noexcept
    {
        tarnwell::test::countFree (p);
        __libc_free (p);
    }

    void* memalign (size_t alignment, size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size) noexcept
    {
        tarnwell::test::countAllocation();
        if (! isPowerOfTwo (alignment) || alignment % sizeof (void*) != 0)
            return EINVAL;
        void* p = __libc_memalign (alignment, size);
        if (p == nullptr)
            return ENOMEM;
        *result = p;
        return 0;
    }

    int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept
    {
        return lockCounted (mutex, [mutex] { return next (nextLock, "pthread_mutex_lock") (mutex); });
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex) noexcept
    {
        const int result = next (nextTryLock, "pthread_mutex_trylock") (mutex);
        if (tarnwell::test::counting)
            tarnwell::test::countLock (mutex, false);
        return result;
    }

    int pthread_mutex_timedlock (pthread_mutex_t* mutex, const timespec* until) noexcept
    {
        return lockCounted (mutex,
                            [mutex, until] { return next (nextTimedLock, "pthread_mutex_timedlock") (mutex, until); });
    }

    int pthread_mutex_clocklock (pthread_mutex_t* mutex, clockid_t clock, const timespec* until) noexcept
    {
        return lockCounted (mutex, [mutex, clock, until] {
            return next (nextClockLock, "pthread_mutex_clocklock") (mutex, clock, until);
        });
    }
} // extern "C"

#endif
