#pragma once

namespace tarnwell
{
// How long a decay of `t60` seconds takes to fall `decibels`: T60 is the time for 60 dB.
constexpr double secondsToFall (double t60, double decibels) noexcept
{
    return t60 * decibels / 60.0;
}

// Where a tail is taken to have ended: the slowest band 90 dB down, below any 16-bit dither.
// The tail hosts are told and the render tool's impulse response both end there.
constexpr double tailDecibels = 90.0;
} // namespace tarnwell
