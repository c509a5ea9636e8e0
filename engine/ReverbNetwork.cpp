#include "engine/ReverbNetwork.h"

#include <cstdlib>
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

    constexpr Set namedSets[] = { Set::baseline, Set::avx2, Set::avx512 };

    // The kernel the environment asks for, if it names one.
    Set fromEnvironment() noexcept
    {
        if (const char* wanted = std::getenv ("TARNWELL_KERNEL"))
            for (auto set : namedSets)
                if (std::strcmp (wanted, ReverbNetwork::name (set)) == 0)
                    return set;
        return Set::automatic;
    }
} // namespace

ReverbNetwork::ReverbNetwork (InstructionSet wanted) noexcept : chosen (resolve (wanted))
{
    state.clear();

    const auto set = chosen;
    kernel = set == Set::avx512 ? &kernels::processAvx512
           : set == Set::avx2   ? &kernels::processAvx2
                                : &kernels::processBaseline;
}

ReverbNetwork::InstructionSet ReverbNetwork::resolve (InstructionSet set) noexcept
{
    if (set == Set::automatic)
        set = fromEnvironment();
    if (set == Set::automatic)
        set = widestAvailable();
    return isAvailable (set) ? set : Set::baseline;
}

bool ReverbNetwork::isAvailable (InstructionSet set) noexcept
{
    switch (set)
    {
        case Set::baseline: return true;
        case Set::avx2: return kernels::avx2Available();
        case Set::avx512: return kernels::avx512Available();
        case Set::automatic: break;
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
        case Set::baseline: return "baseline";
        case Set::avx2: return "avx2";
        case Set::avx512: return "avx512";
        case Set::automatic: break;
    }
    return "automatic";
}
} // namespace tarnwell
