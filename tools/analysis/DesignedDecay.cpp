#include "tools/analysis/DesignedDecay.h"

#include "engine/DecayFilter.h"
#include "engine/NetworkTables.h"

#include <cmath>
#include <complex>
#include <limits>

namespace tarnwell::analysis
{
double designedT60 (const DecaySettings& s, double frequency)
{
    constexpr double twoPi = 6.28318530717958647692;
    const auto z1 = std::polar (1.0, -twoPi * frequency / s.sampleRate); // z^-1 on the unit circle

    double lossDb = 0, seconds = 0;
    for (int line = 0; line < numLines; ++line)
    {
        const auto c = designDecayFilter (lineLength (line), s.transitionFrequency, s.t60Low, s.t60High, s.sampleRate);
        const double gain = std::abs ((c.b0 + c.b1 * z1) / (1.0 + c.a1 * z1));
        if (! (gain > 0))
            return 0; // nothing comes back: no decay time
        lossDb += 20 * std::log10 (gain);
        seconds += lineLength (line) / s.sampleRate;
    }
    return lossDb < 0 ? -60 * seconds / lossDb : std::numeric_limits<double>::infinity();
}
} // namespace tarnwell::analysis
