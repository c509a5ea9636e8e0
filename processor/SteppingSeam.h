#pragma once

namespace tarnwell
{
#ifdef TARNWELL_STEPPED
// Test builds only: called between the steps of a call that other threads can see apart, so a
// test can run every interleaving of a few calls one step at a time. `waiting` marks a step
// that only waits for another thread to move. Shipped code has no seam.
inline void (*betweenSteps) (bool waiting) = nullptr;
inline void steppingSeam (bool waiting = false)
{
    if (betweenSteps != nullptr)
        betweenSteps (waiting);
}
#else
constexpr void steppingSeam (bool = false) noexcept {}
#endif
} // namespace tarnwell
