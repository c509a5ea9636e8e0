#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell
{
struct NetworkSettings;

// The five host-visible parameters: names, stored defaults, mapping to physical units and
// display texts. Every other part of the plug-in asks here.
namespace parameters
{
    enum Index { t60Low, t60High, transition, mix, diffusion, count };

    constexpr bool isValid (int index) noexcept { return index >= 0 && index < count; }

    // Also the property key in the saved settings; empty for an invalid index.
    juce::String name (int index);
    const juce::Identifier& propertyId (int index);

    // What a new processor stores (and so reports and saves) for each parameter, and the
    // value its network starts at.
    double storedDefault (int index) noexcept;

    // A host's number as a value in range: 0..1, and 0 for anything not finite. Every way in
    // (a host's set, a port, a restored block) takes its number through here.
    float clamped (double normalised) noexcept;

    // Physical value for a normalised one: seconds, hertz or a fraction. Decay times are kept
    // at 0 or above; the transition is capped at 10 kHz.
    double engineValue (int index, float normalised) noexcept;

    // "3.50 sec", "6700.00 Hz", "25.00%": the physical value with two decimals.
    juce::String text (int index, double engineValue);

    // A stored property as a number: text is read as a decimal number (leading spaces and a
    // sign allowed, trailing text ignored, anything else 0), without JUCE's own parser, which
    // overflows on absurd exponents in restored settings.
    double numberFrom (const juce::var& property);

    // Reads the engine value of `index` from, or writes it into, the network's settings.
    double get (const NetworkSettings&, int index) noexcept;
    void set (NetworkSettings&, int index, double engineValue) noexcept;
} // namespace parameters
} // namespace tarnwell
