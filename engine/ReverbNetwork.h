#pragma once

#include "engine/NetworkSettings.h"
#include "engine/NetworkState.h"

namespace tarnwell
{
// The fast network: the same sums as PlainReverbNetwork, computed four frames at a time with
// the matrix applied as four stages of 2 x 2 rotations. 1 MiB of state lives inside the object;
// nothing is allocated after construction.
class ReverbNetwork
{
public:
    enum class InstructionSet { automatic, baseline, avx2 };

    explicit ReverbNetwork (InstructionSet = InstructionSet::automatic) noexcept;

    // Processes in place. right may be null: then only left is read and written and the
    // right input is silence. Non-finite input samples are taken as silence.
    void process (const NetworkCoefficients& coefficients, float* left, float* right, int numFrames) noexcept
    {
        kernel (state, coefficients, left, right, numFrames);
    }

    void clear() noexcept { state.clear(); }

    bool usesAvx2() const noexcept { return kernel == &kernels::processAvx2; }

private:
    NetworkState state;
    NetworkKernel kernel;
};
} // namespace tarnwell
