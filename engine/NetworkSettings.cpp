#include "engine/NetworkSettings.h"

#include "engine/DecayFilter.h"

#include <cmath>

namespace tarnwell
{
NetworkCoefficients designNetwork (const NetworkSettings& settings) noexcept
{
    NetworkCoefficients c;

    for (int line = 0; line < numLines; ++line)
    {
        const auto f = designDecayFilter (lineLength (line), settings.transitionFrequency, settings.t60Low,
                                          settings.t60High, settings.sampleRate);
        c.b0[line] = f.b0;
        c.b1[line] = f.b1;
        c.a1[line] = f.a1;
    }

    c.rotation = diffusionRotation (settings.diffusion);
    c.mix = settings.mix;
    return c;
}

bool isFinite (const NetworkCoefficients& c) noexcept
{
    bool finite = std::isfinite (c.mix) && std::isfinite (c.rotation.c) && std::isfinite (c.rotation.s);
    for (int line = 0; line < numLines; ++line)
        finite = finite && std::isfinite (c.b0[line]) && std::isfinite (c.b1[line]) && std::isfinite (c.a1[line]);
    return finite;
}
} // namespace tarnwell
