#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace tarnwell
{
struct NetworkSettings;

// The five host-visible parameters. Each is described once, in ParameterTable.cpp; every
// other part of the plug-in asks here.
namespace parameters
{
enum Index { t60Low, t60High, transition, mix, diffusion, count };

constexpr bool isValid (int index) noexcept
{
    return index >= 0 && index < count;
}

// One parameter. Hosts see a normalised value 0..1; the engine runs on the physical value
// `toEngine` gives for it, and the display shows that value times `displayScale`, which
// lies within `displayMinimum`..`displayMaximum` in `unit`. A new instance reports,
// saves and plays `storedDefault`: the engine starts at toEngine (storedDefault).
struct Description
{
    const char* name; // also the saved property's key and the LV2 port's symbol
    double storedDefault; // normalised, written as it is saved
    double (*toEngine) (float normalised) noexcept;
    double (*fromEngine) (double engineValue) noexcept; // toEngine's inverse, on the displayed range
    void (*apply) (NetworkSettings&, double engineValue) noexcept;
    double displayScale;
    double displayMinimum, displayMaximum;
    const char* unit; // the symbol of the displayed unit: "s", "Hz", "%"
    const char* textSuffix; // what the display text puts after the number
};

// The description of a valid index.
const Description& describe (int index) noexcept;

// Also the property key in the saved settings; empty for an invalid index.
juce::String name (int index);
const juce::Identifier& propertyId (int index);

// What a new instance stores, reports and plays for each parameter (0 for an invalid index).
double storedDefault (int index) noexcept;

// A host's number as a value in range: 0..1, and 0 for anything not finite. Every way in
// (a host's set, a port, a restored block) takes its number through here.
float clamped (double normalised) noexcept;

// Physical value for a normalised one: seconds, hertz or a fraction (0 for an invalid index).
double engineValue (int index, float normalised) noexcept;

// The value in the displayed unit (seconds, hertz, per cent) for a normalised one, and back:
// a displayed value is clamped to the displayed range first. The LV2 ports hold these.
double displayValue (int index, float normalised) noexcept;
float normalisedFor (int index, double displayed) noexcept;

// A typed value: a number, optionally followed by its unit ("2.5", "2.5 s", "2.5 sec",
// "1.2 kHz", "35 %"); a bare number is in the displayed unit. Nothing for text that is not
// a value of this parameter.
std::optional<float> valueForText (int index, const juce::String& text);

// The value such text names in the displayed unit, before clamping.
std::optional<double> displayedForText (int index, const juce::String& text);

// "3.50 sec", "6700.00 Hz", "25.00%": the displayed value with two decimals.
juce::String text (int index, double engineValue);

// A stored property as a number: text is read as a decimal number (leading spaces and a
// sign allowed, trailing text ignored, anything else 0), without JUCE's own parser, which
// overflows on absurd exponents in restored settings.
double numberFrom (const juce::var& property);

// Writes the engine value of `index` into the network's settings.
void set (NetworkSettings&, int index, double engineValue) noexcept;
} // namespace parameters
} // namespace tarnwell
