#pragma once

#include <atomic>

namespace tarnwell
{
// Hands the newest value of T from one writer to one reader without locks or waiting: three
// slots, one owned by each side and one in between, swapped atomically. The reader always
// sees a whole value, the newest one published before its pull. Writers must be serialised
// by the caller.
template <typename T>
class LatestValueHandOff
{
public:
    explicit LatestValueHandOff (const T& initial = {}) : slots { initial, initial, initial } {}

    // Writer: fill this, then publish().
    T& writeSlot() noexcept { return slots[writerSlot]; }

    void publish() noexcept
    {
        writerSlot = spare.exchange (writerSlot | freshBit, std::memory_order_acq_rel) & indexMask;
    }

    // Reader: the newest published value (or the one read last time, if none is newer).
    const T& pull() noexcept
    {
        if (spare.load (std::memory_order_relaxed) & freshBit)
            readerSlot = spare.exchange (readerSlot, std::memory_order_acq_rel) & indexMask;
        return slots[readerSlot];
    }

private:
    static constexpr int freshBit = 4, indexMask = 3;

    T slots[3];
    int writerSlot = 0, readerSlot = 1;
    std::atomic<int> spare { 2 };
};
} // namespace tarnwell
