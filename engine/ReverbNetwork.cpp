#include "engine/ReverbNetwork.h"

#include <cstdint>
#include <cstring>

namespace tarnwell
{
void NetworkState::clear() noexcept
{
    for (auto& ring : rings)
        for (auto& v : ring)
            v = 0;
    for (auto& s : filterState)
        s = 0;
    writeIndex = 0;
}

namespace
{
using Set = ReverbNetwork::InstructionSet;
} // namespace

ReverbNetwork::ReverbNetwork (InstructionSet wanted) noexcept : chosen (resolve (wanted))
{
    state.clear();

#if defined(__x86_64__) || defined(__i386__)
    const auto set = chosen;
    kernel = set == Set::avx512 ? &kernels::processAvx512
        : set == Set::avx2      ? &kernels::processAvx2
                                : &kernels::processBaseline;
#else
    // Elsewhere (64-bit ARM) the baseline kernel's vectors are the processor's own (NEON).
    kernel = &kernels::processBaseline;
#endif
}

namespace
{
// Whether an output starts a little above its input, counted modulo 4 KiB. The processor
// matches a load against earlier stores by the low 12 address bits only, so there each
// chunk's input load waits for the previous chunk's output store: measured 5 to 35 %
// slower than copying the input over the output and working in place.
bool storesDelayLoads (const float* output, const float* input) noexcept
{
    const auto distance = (reinterpret_cast<std::uintptr_t> (output) - reinterpret_cast<std::uintptr_t> (input)) & 4095;
    return distance != 0 && distance < 128;
}
} // namespace

void ReverbNetwork::process (const NetworkCoefficients& coefficients, const NetworkAudio& audio, int numFrames) noexcept
{
    const bool stereo = audio.outRight != nullptr;
    if (! storesDelayLoads (audio.outLeft, audio.inLeft)
        && ! (stereo && storesDelayLoads (audio.outRight, audio.inRight)))
        return kernel (state, coefficients, audio, numFrames);

    const auto bytes = sizeof (float) * static_cast<std::size_t> (numFrames > 0 ? numFrames : 0);
    std::memmove (audio.outLeft, audio.inLeft, bytes);
    if (stereo)
        std::memmove (audio.outRight, audio.inRight, bytes);
    kernel (state, coefficients, { audio.outLeft, audio.outRight, audio.outLeft, audio.outRight }, numFrames);
}

ReverbNetwork::InstructionSet ReverbNetwork::resolve (InstructionSet set) noexcept
{
    if (set == Set::automatic)
        set = widestAvailable();
    return isAvailable (set) ? set : Set::baseline;
}

ReverbNetwork::InstructionSet ReverbNetwork::named (const char* wanted) noexcept
{
    if (wanted != nullptr)
        for (auto set : { Set::baseline, Set::avx2, Set::avx512 })
            if (std::strcmp (wanted, name (set)) == 0)
                return set;
    return Set::automatic;
}

bool ReverbNetwork::isAvailable (InstructionSet set) noexcept
{
    switch (set)
    {
        case Set::baseline:
            return true;
        case Set::avx2:
            return kernels::avx2Available();
        case Set::avx512:
            return kernels::avx512Available();
        case Set::automatic:
            break;
    }
    return false;
}

ReverbNetwork::InstructionSet ReverbNetwork::widestAvailable() noexcept
{
    return isAvailable (Set::avx512) ? Set::avx512 : isAvailable (Set::avx2) ? Set::avx2 : Set::baseline;
}

const char* ReverbNetwork::name (InstructionSet set) noexcept
{
    switch (set)
    {
        case Set::baseline:
            return "baseline";
        case Set::avx2:
            return "avx2";
        case Set::avx512:
            return "avx512";
        case Set::automatic:
            break;
    }
    return "automatic";
}
} // namespace tarnwell
