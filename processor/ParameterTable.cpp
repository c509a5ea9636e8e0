#include "processor/ParameterTable.h"

#include "engine/NetworkSettings.h"
#include "processor/NumberText.h"

#include <cmath>

namespace tarnwell::parameters
{
namespace
{
    struct Entry
    {
        const char* name;
        double storedDefault;
        const char* unit;
        double textScale;
    };

    constexpr Entry table[count] = {
        { "T60Low", 0.25, " sec", 1.0 },
        { "T60High", 0.35, " sec", 1.0 },
        { "Transition", 0.8, " Hz", 1.0 },
        { "Mix", 0.25, "%", 100.0 },
        { "Diffusion", 0.5, "%", 100.0 },
    };

    constexpr double highestTransition = 10000.0;
} // namespace

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

double engineValue (int index, float normalised) noexcept
{
    const auto v = static_cast<double> (normalised);
    switch (index)
    {
        case t60Low:
        case t60High:    return std::fmax (0.0, 10.0 * v);
        case transition: return std::fmin (50.0 * std::pow (10.0, v * std::log10 (320.0)), highestTransition);
        case mix:
        case diffusion:  return v;
        default:         return 0.0;
    }
}

juce::String text (int index, double value)
{
    if (! isValid (index))
        return {};

    // Not printf, which follows whatever locale the host has set.
    char digits[400];
    const auto end = numberText::fixed (digits, digits + sizeof (digits), value * table[index].textScale, 2);
    return juce::String (digits, static_cast<size_t> (end - digits)) + table[index].unit;
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

double get (const NetworkSettings& s, int index) noexcept
{
    switch (index)
    {
        case t60Low:     return s.t60Low;
        case t60High:    return s.t60High;
        case transition: return s.transitionFrequency;
        case mix:        return static_cast<double> (s.mix);
        case diffusion:  return static_cast<double> (s.diffusion);
        default:         return 0.0;
    }
}

void set (NetworkSettings& s, int index, double value) noexcept
{
    switch (index)
    {
        case t60Low:     s.t60Low = value; break;
        case t60High:    s.t60High = value; break;
        case transition: s.transitionFrequency = value; break;
        case mix:        s.mix = static_cast<float> (value); break;
        case diffusion:  s.diffusion = static_cast<float> (value); break;
        default:         break;
    }
}
} // namespace tarnwell::parameters
