#pragma once

#include "host/clap/ClapAbi.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace tarnwell
{
// What the editor did, on its way to the host: gestures and new values, kept in a fixed
// single-producer single-consumer ring that the editor's thread fills and the thread that
// processes (or flushes) empties, without locks or allocation. One consumer at a time: CLAP
// never flushes while processing. A full ring drops the newest event; the value itself is in
// the core already, and the host reads it back on its next rescan.
class ClapEditorEvents
{
public:
    enum class Kind : std::uint8_t { value, gestureBegin, gestureEnd };

    struct Event
    {
        Kind kind;
        int index;
        double value; // in the parameter's unit, for Kind::value
    };

    // [message-thread]
    bool push (const Event& event) noexcept
    {
        const auto tail = written.load (std::memory_order_relaxed);
        if (tail - read.load (std::memory_order_acquire) >= ring.size())
            return false;
        ring[tail % ring.size()] = event;
        written.store (tail + 1, std::memory_order_release);
        return true;
    }

    // [audio-thread] or [main-thread] when not processing: every waiting event to the host's
    // list, in order, as CLAP events.
    void sendTo (const clap::OutputEvents* out) noexcept;

private:
    std::array<Event, 256> ring {};
    std::atomic<std::uint32_t> written { 0 }, read { 0 };
};
} // namespace tarnwell
