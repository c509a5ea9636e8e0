#pragma once

#include "engine/NetworkSettings.h"
#include "engine/NetworkState.h"

namespace tarnwell
{
// The fast network: the same sums as PlainReverbNetwork, computed four or eight frames at a
// time with the matrix applied as four stages of 2 x 2 rotations. 1 MiB of state lives inside
// the object; nothing is allocated after construction.
class ReverbNetwork
{
public:
    enum class InstructionSet { automatic, baseline, avx2, avx512 };

    // automatic takes the widest kernel this processor runs. A set the processor lacks falls back
    // to the baseline. Whoever constructs the network may let its user name a narrower one, to
    // compare kernels in a host or to rule one out: see named().
    explicit ReverbNetwork (InstructionSet = InstructionSet::automatic) noexcept;

    // Processes in place. right may be null: then only left is read and written and the
    // right input is silence. Non-finite input samples are taken as silence.
    void process (const NetworkCoefficients& coefficients, float* left, float* right, int numFrames) noexcept
    {
        kernel (state, coefficients, { left, right, left, right }, numFrames);
    }

    // The same from input buffers into output buffers (see NetworkAudio), for hosts whose
    // buffers differ: as a rule without copying the input first.
    void process (const NetworkCoefficients& coefficients, const NetworkAudio& audio, int numFrames) noexcept;

    // Silences the tail: rings and filter states back to 0.
    void clear() noexcept { state.clear(); }

    InstructionSet instructionSet() const noexcept { return chosen; }

    // The set the constructor takes for a request, on this processor.
    static InstructionSet resolve (InstructionSet) noexcept;
    // The set called `name` ("baseline", "avx2", "avx512"); automatic for null or any other text.
    static InstructionSet named (const char* name) noexcept;
    static bool isAvailable (InstructionSet) noexcept;
    static InstructionSet widestAvailable() noexcept;
    static const char* name (InstructionSet) noexcept;

private:
    NetworkState state;
    InstructionSet chosen;
    NetworkKernel kernel;
};
} // namespace tarnwell
