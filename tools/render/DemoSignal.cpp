#include "tools/render/DemoSignal.h"

#include <cmath>
#include <vector>

namespace tarnwell::render
{
namespace
{
void addClick (juce::AudioBuffer<float>& out, int at, float left, float right)
{
    // Two samples of opposite sign: a click with no DC.
    for (int n = 0; n < 2 && at + n < out.getNumSamples(); ++n)
    {
        const float sign = n == 0 ? 1.0f : -1.0f;
        out.addSample (0, at + n, sign * left);
        out.addSample (1, at + n, sign * right);
    }
}

// Karplus-Strong string: a burst of noise circulating through a delay of one period with
// a gentle low-pass in the loop.
void addPluck (juce::AudioBuffer<float>& out, int at, double frequency, double sampleRate, float gain, float pan,
               juce::Random& random)
{
    const auto period = static_cast<size_t> (std::lround (sampleRate / frequency));
    std::vector<float> loop (period);
    for (auto& s : loop)
        s = random.nextFloat() * 2.0f - 1.0f;

    const int length = static_cast<int> (sampleRate * 2.0);
    size_t pos = 0;
    for (int n = 0; n < length && at + n < out.getNumSamples(); ++n)
    {
        const size_t next = (pos + 1) % period;
        const float s = loop[pos];
        loop[pos] = 0.996f * 0.5f * (loop[pos] + loop[next]);
        pos = next;

        out.addSample (0, at + n, gain * (1.0f - pan) * s);
        out.addSample (1, at + n, gain * (1.0f + pan) * s);
    }
}
} // namespace

juce::AudioBuffer<float> makeDemoSignal (double sampleRate)
{
    const auto at = [sampleRate] (double seconds) { return static_cast<int> (seconds * sampleRate); };

    juce::AudioBuffer<float> out (2, at (9.0));
    out.clear();

    addClick (out, at (0.25), 0.8f, 0.8f);
    addClick (out, at (1.25), 0.8f, 0.0f);
    addClick (out, at (2.25), 0.0f, 0.8f);

    // C major, strummed upward.
    juce::Random random (4);
    const double notes[] = { 130.81, 164.81, 196.00, 261.63, 329.63 };
    for (int i = 0; i < 5; ++i)
        addPluck (out, at (3.5 + 0.03 * i), notes[i], sampleRate, 0.18f, -0.4f + 0.2f * static_cast<float> (i), random);

    return out;
}

std::vector<std::pair<juce::String, float>> demoSettings()
{
    return { { "T60Low", 0.35f },
             { "T60High", 0.1f },
             { "Transition", 0.45f },
             { "Mix", 0.35f },
             { "Diffusion", 0.7f } };
}
} // namespace tarnwell::render
