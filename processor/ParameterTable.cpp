#include "processor/ParameterTable.h"

#include "engine/NetworkSettings.h"
#include "processor/NumberText.h"

#include <cmath>

namespace tarnwell::parameters
{
namespace
{
double decaySeconds (float normalised) noexcept
{
    return std::fmax (0.0, 10.0 * static_cast<double> (normalised));
}
double decayNormalised (double seconds) noexcept
{
    return seconds / 10.0;
}

// 50 Hz at 0, rising by a factor of 320 over the range, capped at 10 kHz.
constexpr double lowestTransition = 50.0, highestTransition = 10000.0;
double transitionHertz (float normalised) noexcept
{
    return std::fmin (lowestTransition * std::pow (10.0, static_cast<double> (normalised) * std::log10 (320.0)),
                      highestTransition);
}

double transitionNormalised (double hertz) noexcept
{
    return std::log (hertz / lowestTransition) / std::log (320.0);
}

double fraction (float normalised) noexcept
{
    return static_cast<double> (normalised);
}
double sameFraction (double value) noexcept
{
    return value;
}

// The stored defaults are where the network starts: 3.5 s, 0.5 s and, for the transition,
// the single-precision value nearest 6700 Hz, written with the fewest digits that read back
// as it.
constexpr Description table[count] = {
    { "T60Low", 0.35, decaySeconds, decayNormalised, [] (NetworkSettings& s, double v) noexcept { s.t60Low = v; }, 1.0,
      0.0, 10.0, "s", " sec" },
    { "T60High", 0.05, decaySeconds, decayNormalised, [] (NetworkSettings& s, double v) noexcept { s.t60High = v; },
      1.0, 0.0, 10.0, "s", " sec" },
    { "Transition", 0.8490928, transitionHertz, transitionNormalised,
      [] (NetworkSettings& s, double v) noexcept { s.transitionFrequency = v; }, 1.0, lowestTransition,
      highestTransition, "Hz", " Hz" },
    { "Mix", 0.25, fraction, sameFraction,
      [] (NetworkSettings& s, double v) noexcept { s.mix = static_cast<float> (v); }, 100.0, 0.0, 100.0, "%", "%" },
    { "Diffusion", 0.5, fraction, sameFraction,
      [] (NetworkSettings& s, double v) noexcept { s.diffusion = static_cast<float> (v); }, 100.0, 0.0, 100.0, "%",
      "%" },
};
} // namespace

const Description& describe (int index) noexcept
{
    jassert (isValid (index));
    return table[isValid (index) ? index : 0];
}

juce::String name (int index)
{
    return isValid (index) ? juce::String (table[index].name) : juce::String();
}

const juce::Identifier& propertyId (int index)
{
    // Built once: making an Identifier goes through JUCE's string pool, which locks.
    static const juce::Identifier ids[count + 1] = { table[0].name, table[1].name, table[2].name,
                                                     table[3].name, table[4].name, {} };
    return ids[isValid (index) ? index : count];
}

double storedDefault (int index) noexcept
{
    return isValid (index) ? table[index].storedDefault : 0.0;
}

float clamped (double normalised) noexcept
{
    if (! std::isfinite (normalised))
        return 0.0f;
    return static_cast<float> (std::fmin (std::fmax (normalised, 0.0), 1.0));
}

double engineValue (int index, float normalised) noexcept
{
    return isValid (index) ? table[index].toEngine (normalised) : 0.0;
}

double displayValue (int index, float normalised) noexcept
{
    return isValid (index) ? table[index].toEngine (normalised) * table[index].displayScale : 0.0;
}

float normalisedFor (int index, double displayed) noexcept
{
    if (! isValid (index) || ! std::isfinite (displayed))
        return 0.0f; // as a host's number that is not finite
    const auto& d = table[index];
    const double inRange = std::fmin (std::fmax (displayed, d.displayMinimum), d.displayMaximum);
    return clamped (d.fromEngine (inRange / d.displayScale));
}

juce::String text (int index, double value)
{
    if (! isValid (index))
        return {};

    // Not printf, which follows whatever locale the host has set.
    char digits[400];
    const auto end = numberText::fixed (digits, digits + sizeof (digits), value * table[index].displayScale, 2);
    return juce::String (digits, static_cast<size_t> (end - digits)) + table[index].textSuffix;
}

double numberFrom (const juce::var& property)
{
    if (! property.isString())
        return static_cast<double> (property);

    const auto utf8 = property.toString().toStdString();
    const char* begin = utf8.data();
    const char* end = begin + utf8.size();
    while (begin != end && (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;

    double value = 0.0;
    const auto result = numberText::parse (begin, end, value);
    if (result.ec == std::errc::result_out_of_range)
        return begin != end && *begin == '-' ? -HUGE_VAL : HUGE_VAL;
    return result.ec == std::errc() ? value : 0.0;
}

void set (NetworkSettings& settings, int index, double value) noexcept
{
    if (isValid (index))
        table[index].apply (settings, value);
}
} // namespace tarnwell::parameters
