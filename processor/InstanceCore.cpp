#include "processor/InstanceCore.h"

#include "processor/DecayTail.h"
#include "processor/SavedSettings.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tarnwell
{
namespace params = parameters;

namespace
{
NetworkSettings settingsFor (const ParameterValues::Snapshot& values, double sampleRate) noexcept
{
    NetworkSettings settings;
    settings.sampleRate = sampleRate;
    for (int i = 0; i < params::count; ++i)
        params::set (settings, i, values.engineValue (i));
    return settings;
}

// A tree skips a write whose value compares equal, and restored text such as "1.0" equals the
// number 1: clear it first (keeping its place) so the number is what is saved.
void storeNumber (juce::ValueTree& tree, int index, double value)
{
    const auto& id = params::propertyId (index);
    if (tree.getProperty (id).isString())
        tree.setProperty (id, {}, nullptr);
    tree.setProperty (id, value, nullptr);
}

// The kernel a user may name in TARNWELL_KERNEL ("baseline", "avx2", "avx512"), to compare
// kernels in a host or to rule one out; read once per process.
ReverbNetwork::InstructionSet kernelNamedByEnvironment() noexcept
{
    static const auto set = ReverbNetwork::named (std::getenv ("TARNWELL_KERNEL"));
    return set;
}

bool overlaps (const float* a, const float* b, int frames) noexcept
{
    return a != nullptr && b != nullptr && a < b + frames && b < a + frames;
}

// Whether `output` may be written while the inputs are still to be read: it is its own
// channel's input or lies apart from every input.
bool writableBeforeReading (const float* output, const float* ownInput, const float* otherInput, int frames) noexcept
{
    return (output == ownInput || ! overlaps (output, ownInput, frames)) && ! overlaps (output, otherInput, frames);
}
} // namespace

InstanceCore::InstanceCore()
    : designedValues (values.snapshot()), designedSampleRate (sampleRate.load()),
      coefficients (designNetwork (settingsFor (designedValues, designedSampleRate))),
      network (kernelNamedByEnvironment())
{
    for (int i = 0; i < params::count; ++i)
        properties.setProperty (params::propertyId (i), params::storedDefault (i), nullptr);
}

void InstanceCore::setParameter (int index, float normalised) noexcept
{
    values.set (index, normalised);
}

float InstanceCore::parameter (int index) const noexcept
{
    return values.normalised (index);
}

juce::String InstanceCore::parameterText (int index) const
{
    return params::isValid (index) ? params::text (index, values.engineValue (index)) : juce::String();
}

double InstanceCore::tailSeconds() const noexcept
{
    return secondsToFall (std::max (values.engineValue (params::t60Low), values.engineValue (params::t60High)),
                          tailDecibels);
}

juce::String InstanceCore::textFor (int index, float normalised) const
{
    if (normalised == parameter (index))
        return parameterText (index);
    return params::isValid (index)
        ? params::text (index, params::engineValue (index, params::clamped (static_cast<double> (normalised))))
        : juce::String();
}

void InstanceCore::prepare (double newSampleRate) noexcept
{
    // The next block redesigns the filters for a new rate, so decay times stay in seconds.
    if (newSampleRate > 0 && std::isfinite (newSampleRate))
        sampleRate = newSampleRate;
}

void InstanceCore::save (juce::MemoryBlock& destData)
{
    const std::lock_guard lock (stateLock);
    const auto now = values.snapshot();
    // Each value as the float it is, however it was reached, so the same values always save
    // the same bytes.
    for (int i = 0; i < params::count; ++i)
        storeNumber (properties, i, static_cast<double> (now.normalised[static_cast<size_t> (i)]));
    writeSavedSettings (properties, destData);
}

bool InstanceCore::restore (const void* data, int sizeInBytes)
{
    auto restored = readSavedSettings (data, sizeInBytes);
    if (! restored.isValid())
        return false;

    // Every parameter is applied as read, within its range; a missing or unreadable one becomes
    // 0, and each is stored back as the number it was applied as.
    std::array<float, params::count> restoredValues {};
    for (int i = 0; i < params::count; ++i)
    {
        const auto value = params::clamped (params::numberFrom (restored.getProperty (params::propertyId (i), 0)));
        restoredValues[static_cast<size_t> (i)] = value;
        storeNumber (restored, i, static_cast<double> (value));
    }

    const std::lock_guard lock (stateLock);
    properties = restored;
    values.restore (restoredValues);
    return true;
}

NetworkSettings InstanceCore::networkSettings() const
{
    return settingsFor (values.snapshot(), sampleRate.load());
}

void InstanceCore::designForCurrentValues() noexcept
{
    // A few tries at a consistent read; should other threads' changes keep overlapping it, the
    // piece runs on the last design and the next one tries again.
    ParameterValues::Snapshot now;
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        if (! values.trySnapshot (now))
            continue;

        const double rate = sampleRate.load();
        if (now != designedValues || rate != designedSampleRate)
        {
            // A design that is not finite would poison the rings for good: keep the last one.
            const auto designed = designNetwork (settingsFor (now, rate));
            if (isFinite (designed))
                coefficients = designed;
            designedValues = now;
            designedSampleRate = rate;
        }
        return;
    }
}

void InstanceCore::process (const float* const* in, int numIn, float* const* out, int numOut, int frames) noexcept
{
    if (in == nullptr || out == nullptr || numIn < 1 || numOut < 1 || frames <= 0)
        return;
    numIn = std::min (numIn, 2);
    numOut = std::min (numOut, 2);
    for (int ch = 0; ch < numIn; ++ch)
        if (in[ch] == nullptr)
            return;
    for (int ch = 0; ch < numOut; ++ch)
        if (out[ch] == nullptr)
            return;

    const juce::ScopedNoDenormals noDenormals;
    const float* inR = numIn > 1 && numOut > 1 ? in[1] : nullptr;
    float* outR = numOut > 1 ? out[1] : nullptr;
    for (int start = 0; start < frames; start += maxPiece)
    {
        const auto at = [start] (auto* p) { return p != nullptr ? p + start : p; };
        processPiece (in[0] + start, at (inR), out[0] + start, at (outR), std::min (maxPiece, frames - start));
    }
}

void InstanceCore::processPiece (const float* inL, const float* inR, float* outL, float* outR, int frames) noexcept
{
    designForCurrentValues();

    // An output that would overwrite an input before it is read works from a copy of the inputs.
    if (! writableBeforeReading (outL, inL, inR, frames) || ! writableBeforeReading (outR, inR, inL, frames))
    {
        std::memcpy (inputCopy[0].data(), inL, sizeof (float) * static_cast<size_t> (frames));
        inL = inputCopy[0].data();
        if (inR != nullptr)
        {
            std::memcpy (inputCopy[1].data(), inR, sizeof (float) * static_cast<size_t> (frames));
            inR = inputCopy[1].data();
        }
    }

    // One input into two outputs: the right output is cleared and is then its own silent input.
    if (outR != nullptr && inR == nullptr)
    {
        std::fill_n (outR, frames, 0.0f);
        inR = outR;
    }

    network.process (coefficients, { inL, inR, outL, outR }, frames);
}
} // namespace tarnwell
