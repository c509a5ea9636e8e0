#pragma once

#include <atomic>
#include <cstdint>

namespace tarnwell
{
// Parameter changes on their way to an open editor: one writer (the processor, whose parameter
// changes are serialised) and one reader (the message thread). Pushing never blocks or
// allocates, so any thread, the audio thread included, may change a parameter while the
// editor is open. Should the reader fall behind by a whole queue, the overflow is flagged and
// the reader refreshes every control from the processor instead.
class ParameterChangeQueue
{
public:
    struct Change
    {
        int index;
        float value;
    };

    // Writer side. Does nothing while no reader listens.
    void push (int index, float value) noexcept
    {
        if (! listening.load (std::memory_order_acquire))
            return;

        const auto t = tail.load (std::memory_order_relaxed);
        if (t - head.load (std::memory_order_acquire) >= capacity)
        {
            overflowed.store (true, std::memory_order_release);
            return;
        }
        items[t % capacity] = { index, value };
        tail.store (t + 1, std::memory_order_release);
    }

    // Reader side: starts or stops listening; starting discards anything stale.
    void listen (bool shouldListen) noexcept
    {
        if (shouldListen)
        {
            head.store (tail.load (std::memory_order_acquire), std::memory_order_release);
            overflowed.store (false, std::memory_order_relaxed);
        }
        listening.store (shouldListen, std::memory_order_release);
    }

    // Reader side: hands every queued change to `apply` in order. Returns true if changes were
    // lost to an overflow since the last call.
    template <typename Apply>
    bool drain (Apply&& apply)
    {
        const bool lost = overflowed.exchange (false, std::memory_order_acq_rel);
        const auto t = tail.load (std::memory_order_acquire);
        for (auto h = head.load (std::memory_order_relaxed); h != t; ++h)
        {
            const auto change = items[h % capacity];
            head.store (h + 1, std::memory_order_release);
            apply (change.index, change.value);
        }
        return lost;
    }

private:
    static constexpr std::uint32_t capacity = 1024;

    Change items[capacity];
    std::atomic<std::uint32_t> head { 0 }, tail { 0 };
    std::atomic<bool> listening { false }, overflowed { false };
};
} // namespace tarnwell
