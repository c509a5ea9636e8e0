#pragma once

#include "engine/DecayFilter.h"
#include "engine/FeedbackMatrix.h"
#include "engine/NetworkSettings.h"

namespace tarnwell
{
// The network computed the obvious way, one sample at a time with the full matrix product.
// It is the yardstick for the fast network: tests compare against it and the benchmark
// measures both.
class PlainReverbNetwork
{
public:
    PlainReverbNetwork() noexcept;

    // right may be null: then only left is read and written, and the right input is silence.
    void process (const NetworkCoefficients& coefficients, float* left, float* right, int numFrames) noexcept;

private:
    struct DelayLine
    {
        double buffer[ringSize];
        int writePosition, readPosition, length;
    };

    DelayLine lines[numLines];
    DecayFilter filters[numLines];

    // The full matrix of the last block's rotation, built again when the rotation changes.
    DiffusionRotation matrixRotation;
    FeedbackMatrix matrix;
};
} // namespace tarnwell
