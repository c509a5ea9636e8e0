#pragma once

#include <juce_core/juce_core.h>

#include <array>

namespace tarnwell::lv2
{
// What the editor did, on its way from JUCE's message thread to the host's UI thread, where
// the LV2 UI protocol must be spoken: a single-producer single-consumer ring (juce::AbstractFifo),
// one writer, one reader, no locks. Should the host stop
// calling idle for a while, changes beyond the queue's room are dropped, not waited for.
class Lv2UiEvents
{
public:
    struct Event
    {
        enum Kind { beginGesture, value, endGesture } kind;
        int parameter;
        float newValue;
    };

    // [message-thread]
    bool push (const Event& event) noexcept
    {
        const auto scope = fifo.write (1);
        if (scope.blockSize1 == 0)
            return false;
        events[static_cast<size_t> (scope.startIndex1)] = event;
        return true;
    }

    // [main-thread] (the host's UI thread)
    template <typename Handle>
    void drain (Handle&& handle)
    {
        const auto scope = fifo.read (fifo.getNumReady());
        scope.forEach ([&] (int index) { handle (events[static_cast<size_t> (index)]); });
    }

private:
    static constexpr int capacity = 512;
    juce::AbstractFifo fifo { capacity };
    std::array<Event, capacity> events {};
};
} // namespace tarnwell::lv2
