#include "engine/ReverbNetwork.h"

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

ReverbNetwork::ReverbNetwork (InstructionSet set) noexcept
{
    state.clear();

    const bool avx2 = set != InstructionSet::baseline && kernels::avx2Available();
    kernel = avx2 ? &kernels::processAvx2 : &kernels::processBaseline;
}
} // namespace tarnwell
