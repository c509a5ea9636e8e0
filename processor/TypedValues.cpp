#include "processor/NumberText.h"
#include "processor/ParameterTable.h"

#include <cmath>
#include <cstring>
#include <string>

// Values typed by a user (into a host's field or the render tool's command line), read in the
// parameter's displayed unit.
namespace tarnwell::parameters
{
namespace
{
struct Suffix
{
    const char* unit; // the displayed unit it belongs to
    const char* typed; // lower case, after the number and any spaces
    double factor; // to the displayed unit
};

constexpr Suffix suffixes[] = {
    { "s", "", 1.0 },        { "s", "s", 1.0 },    { "s", "sec", 1.0 }, { "s", "secs", 1.0 }, { "s", "second", 1.0 },
    { "s", "seconds", 1.0 }, { "s", "ms", 0.001 }, { "Hz", "", 1.0 },   { "Hz", "hz", 1.0 },  { "Hz", "khz", 1000.0 },
    { "Hz", "k", 1000.0 },   { "%", "", 1.0 },     { "%", "%", 1.0 },
};

bool isSpace (char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

std::optional<double> displayedForText (int index, const juce::String& text)
{
    if (! isValid (index))
        return std::nullopt;

    const auto utf8 = text.toStdString();
    const char* begin = utf8.data();
    const char* end = begin + utf8.size();
    while (begin != end && isSpace (*begin))
        ++begin;
    while (end != begin && isSpace (end[-1]))
        --end;
    if (begin != end && *begin == '+')
        ++begin;

    // Not strtod, which reads the decimal point of whatever locale the host has set.
    double number = 0.0;
    const auto result = numberText::parse (begin, end, number);
    if (result.ec != std::errc() || ! std::isfinite (number))
        return std::nullopt;

    const char* rest = result.ptr;
    while (rest != end && isSpace (*rest))
        ++rest;
    std::string typed (rest, end);
    for (auto& c : typed)
        c = static_cast<char> (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);

    for (const auto& suffix : suffixes)
        if (std::strcmp (suffix.unit, describe (index).unit) == 0 && typed == suffix.typed)
            return number * suffix.factor;
    return std::nullopt;
}

std::optional<float> valueForText (int index, const juce::String& text)
{
    if (const auto displayed = displayedForText (index, text))
        return normalisedFor (index, *displayed);
    return std::nullopt;
}
} // namespace tarnwell::parameters
