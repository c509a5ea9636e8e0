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

// The per-block procedure, compiled for baseline x86-64, for AVX2 with FMA and for AVX-512.
struct NetworkCoefficients;
using NetworkKernel = void (*) (NetworkState&, const NetworkCoefficients&, float* left, float* right, int numFrames) noexcept;

namespace kernels
{
    void processBaseline (NetworkState&, const NetworkCoefficients&, float*, float*, int) noexcept;
    void processAvx2 (NetworkState&, const NetworkCoefficients&, float*, float*, int) noexcept;
    void processAvx512 (NetworkState&, const NetworkCoefficients&, float*, float*, int) noexcept;
    bool avx2Available() noexcept;
    bool avx512Available() noexcept; // F, VL and DQ, with AVX2 and FMA
} // namespace kernels
} // namespace tarnwell
