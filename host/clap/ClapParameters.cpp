#include "host/clap/ClapParameters.h"

#include "processor/ParameterTable.h"

#include <algorithm>
#include <cstring>

namespace tarnwell::clapParameters
{
namespace params = parameters;

bool describe (std::uint32_t index, clap::ParamInfo& info) noexcept
{
    if (index >= static_cast<std::uint32_t> (params::count))
        return false;

    const auto i = static_cast<int> (index);
    const auto& d = params::describe (i);
    info = {};
    info.id = index;
    info.flags = clap::paramIsAutomatable;
    std::strncpy (info.name, d.name, sizeof (info.name) - 1);
    info.minValue = d.displayMinimum;
    info.maxValue = d.displayMaximum;
    info.defaultValue = valueOf (i, static_cast<float> (d.storedDefault));
    return true;
}

std::optional<int> indexOf (clap::Id id) noexcept
{
    if (id >= static_cast<clap::Id> (params::count))
        return std::nullopt;
    return static_cast<int> (id);
}

double valueOf (int index, float normalised) noexcept
{
    return params::displayValue (index, normalised);
}

float normalisedOf (int index, double value) noexcept
{
    return params::normalisedFor (index, value);
}

bool toText (InstanceCore::Controls controls, int index, double value, char* text, std::uint32_t capacity)
{
    if (text == nullptr || capacity == 0)
        return false;
    const auto shown = controls.textFor (index, normalisedOf (index, value)).toStdString();
    const auto length = std::min<size_t> (shown.size(), capacity - 1);
    std::memcpy (text, shown.data(), length);
    text[length] = 0;
    return true;
}

std::optional<double> fromText (int index, const char* text)
{
    if (text == nullptr)
        return std::nullopt;
    if (const auto normalised = params::valueForText (index, juce::String::fromUTF8 (text)))
        return valueOf (index, *normalised);
    return std::nullopt;
}

void apply (InstanceCore::Audio processing, const clap::EventHeader& header) noexcept
{
    if (header.spaceId != clap::coreEventSpace || header.type != clap::eventParamValue
        || header.size < sizeof (clap::ParamValueEvent))
        return;
    const auto& event = reinterpret_cast<const clap::ParamValueEvent&> (header);
    if (const auto index = indexOf (event.paramId))
        processing.setParameter (*index, normalisedOf (*index, event.value));
}
} // namespace tarnwell::clapParameters
