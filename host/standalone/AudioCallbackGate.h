#pragma once

#include "processor/SteppingSeam.h"

#include <atomic>
#include <thread>

namespace tarnwell::standalone
{
// Keeps the audio callback out of state that the message thread changes, without the audio
// thread ever waiting: while the gate is closed the callback skips its work (and plays
// silence), and closing waits until a callback already inside has left. Whoever closes it must
// be serialised among themselves; here that is the message thread alone. The pattern is a
// Dekker-style flag handshake in which only the closing side ever waits.
class AudioCallbackGate
{
public:
    // [audio-thread] True if the callback may go on, and must then call leave().
    bool tryEnter() noexcept
    {
        // Both sides store their own flag, then read the other's (sequentially consistent):
        // either the callback sees the gate closed, or the closer sees the callback inside.
        inside.store (true);
        steppingSeam();
        if (! closed.load())
            return true;
        steppingSeam();
        inside.store (false, std::memory_order_release);
        return false;
    }

    // [audio-thread]
    void leave() noexcept { inside.store (false, std::memory_order_release); }

    // [message-thread] From when close() returns until open(), no callback is inside.
    void close() noexcept
    {
        closed.store (true);
        steppingSeam();
        while (inside.load())
        {
            steppingSeam (true);
            std::this_thread::yield();
        }
    }

    void open() noexcept { closed.store (false, std::memory_order_release); }

private:
    std::atomic<bool> inside { false };
    std::atomic<bool> closed { false };
};

// Closes a gate for its own lifetime.
class ScopedGateClosed
{
public:
    explicit ScopedGateClosed (AudioCallbackGate& g) noexcept : gate (g) { gate.close(); }
    ~ScopedGateClosed() { gate.open(); }
    ScopedGateClosed (const ScopedGateClosed&) = delete;
    ScopedGateClosed& operator= (const ScopedGateClosed&) = delete;

private:
    AudioCallbackGate& gate;
};
} // namespace tarnwell::standalone
