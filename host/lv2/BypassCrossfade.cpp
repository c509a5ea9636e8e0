#include "host/lv2/BypassCrossfade.h"

#include <algorithm>
#include <cmath>

namespace tarnwell::lv2
{
BypassCrossfade::BypassCrossfade (double sampleRate) noexcept
    : length (std::isfinite (sampleRate)
                  ? static_cast<int> (std::clamp (std::round (sampleRate * fadeSeconds), 1.0, 1.0e6))
                  : 1),
      position (length)
{}

void BypassCrossfade::apply (const float* const dry[2], float* const out[2], int frames, bool on) noexcept
{
    const int target = on ? length : 0;
    for (int n = 0; n < frames; ++n)
    {
        position += position < target ? 1 : position > target ? -1 : 0;
        if (position == length)
            continue; // the network's own output, as it is
        const float wet = static_cast<float> (position) / static_cast<float> (length);
        for (int ch = 0; ch < 2; ++ch)
            out[ch][n] = position == 0 ? dry[ch][n] : wet * out[ch][n] + (1.0f - wet) * dry[ch][n];
    }
}
} // namespace tarnwell::lv2
