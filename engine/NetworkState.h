#pragma once

#include "engine/NetworkTables.h"

namespace tarnwell
{
// The network's memory: sixteen rings and the decay filters' states, owned by the audio thread.
struct NetworkState
{
    // A few cache lines between rings: rings spaced by a multiple of 4 KiB would make all
    // sixteen streams compete for the same cache sets.
    static constexpr int ringStride = ringSize + 24;

    alignas (64) double rings[numLines][ringStride];
    double filterState[numLines];

    // Ring slot that receives the next frame's values; line i reads the slot written
    // lineLength (i) frames earlier.
    int writeIndex;

    void clear() noexcept;
};

// A block's audio: the inputs read and the outputs written. Each output either is its input
// (in place) or does not overlap it. For one channel both right pointers are null.
struct NetworkAudio
{
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;

    // The same channels from frame n on.
    NetworkAudio from (int n) const noexcept
    {
        return { inLeft + n, inRight != nullptr ? inRight + n : nullptr, outLeft + n,
                 outRight != nullptr ? outRight + n : nullptr };
    }
};

// The per-block procedure, compiled for baseline x86-64, for AVX2 with FMA and for AVX-512.
struct NetworkCoefficients;
using NetworkKernel = void (*) (NetworkState&, const NetworkCoefficients&, const NetworkAudio&, int numFrames) noexcept;

namespace kernels
{
void processBaseline (NetworkState&, const NetworkCoefficients&, const NetworkAudio&, int) noexcept;
void processAvx2 (NetworkState&, const NetworkCoefficients&, const NetworkAudio&, int) noexcept;
void processAvx512 (NetworkState&, const NetworkCoefficients&, const NetworkAudio&, int) noexcept;
bool avx2Available() noexcept;
bool avx512Available() noexcept; // F, VL and DQ, with AVX2 and FMA
} // namespace kernels
} // namespace tarnwell
