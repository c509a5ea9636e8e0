#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <string>

// Counts what a thread does that an audio thread must never do: allocate or free memory, lock
// a mutex, or wait for one. The test executable that links AudioThreadCounts.cpp exports its own
// malloc, calloc, realloc, free, memalign, posix_memalign, aligned_alloc and
// pthread_mutex_lock/trylock/timedlock, which forward to the C library; plug-ins loaded with
// dlopen, and the C++ runtime's operator new and delete, go through them too.
//
// Only the calling thread's calls between startCounting and stopCounting are counted, so a
// test brackets exactly the plug-in call it hands to the "audio thread".
namespace tarnwell::test
{
struct AudioThreadCounts
{
    long allocations = 0; // malloc, calloc, realloc and the aligned forms (operator new too)
    long frees = 0; // free of a non-null pointer (operator delete too)
    long mutexLocks = 0; // every pthread mutex lock, trylock or timedlock
    long mutexWaits = 0; // of those, the ones that found the mutex held
    int distinctMutexes = 0; // how many different mutexes were locked (up to 16 are told apart)

    bool isZero() const noexcept { return allocations == 0 && frees == 0 && mutexLocks == 0 && mutexWaits == 0; }

    AudioThreadCounts& operator+= (const AudioThreadCounts& c) noexcept
    {
        allocations += c.allocations;
        frees += c.frees;
        mutexLocks += c.mutexLocks;
        mutexWaits += c.mutexWaits;
        distinctMutexes = distinctMutexes > c.distinctMutexes ? distinctMutexes : c.distinctMutexes;
        return *this;
    }
};

// Counts over many blocks, with the one lock a wrapper may take per block (its callback lock:
// one mutex, once, never found held) set apart from everything else.
struct BlockCounts
{
    AudioThreadCounts besidesTheLock;
    long lockedBlocks = 0;

    void add (AudioThreadCounts block) noexcept
    {
        if (block.mutexLocks == 1 && block.mutexWaits == 0)
        {
            block.mutexLocks = 0;
            ++lockedBlocks;
        }
        besidesTheLock += block;
    }

    // Where counting works: reports how often `lock` was taken in `blocks` blocks, and expects
    // nothing besides it (and, with `inEveryBlock`, that lock once in every block).
    void expectOnly (const char* lock, long blocks, bool inEveryBlock, const std::string& what) const;
};

// False where the counters cannot see anything: under AddressSanitizer or ThreadSanitizer,
// whose runtimes own malloc and the mutex functions themselves. Counting then gives zeros, and
// tests that assert counts skip those assertions (they still run, for the sanitizer's sake).
bool audioThreadCountingWorks() noexcept;

// Starts counting on this thread from zero.
void startCounting() noexcept;

// Stops counting on this thread and returns what was counted since startCounting.
AudioThreadCounts stopCounting() noexcept;

inline std::ostream& operator<< (std::ostream& out, const AudioThreadCounts& c)
{
    return out << c.allocations << " allocations, " << c.frees << " frees, " << c.mutexLocks << " mutex locks ("
               << c.distinctMutexes << " mutexes), " << c.mutexWaits << " waits";
}

inline void BlockCounts::expectOnly (const char* lock, long blocks, bool inEveryBlock, const std::string& what) const
{
    if (! audioThreadCountingWorks())
        return;
    std::cout << what << ": " << lock << " in " << lockedBlocks << " of " << blocks << " blocks, never found held\n";
    if (inEveryBlock)
    {
        EXPECT_EQ (lockedBlocks, blocks) << what;
    }
    EXPECT_TRUE (besidesTheLock.isZero()) << what << ", besides that lock: " << besidesTheLock;
}
} // namespace tarnwell::test
