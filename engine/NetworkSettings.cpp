#include "engine/NetworkSettings.h"

#include "engine/DecayFilter.h"

namespace tarnwell
{
NetworkCoefficients designNetwork (const NetworkSettings& settings) noexcept
{
    NetworkCoefficients c;

    for (int line = 0; line < numLines; ++line)
    {
        const auto f = designDecayFilter (lineLength (line), settings.transitionFrequency,
                                          settings.t60Low, settings.t60High, settings.sampleRate);
        c.b0[line] = f.b0;
        c.b1[line] = f.b1;
        c.a1[line] = f.a1;
    }

    c.matrix = buildFeedbackMatrix (settings.diffusion);
    c.rotation = diffusionRotation (settings.diffusion);
    c.mix = settings.mix;
    return c;
}
} // namespace tarnwell
