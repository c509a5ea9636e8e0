#include "host/lv2/Lv2UiModel.h"

namespace tarnwell::lv2
{
Lv2UiModel::Lv2UiModel() noexcept
{
    for (int i = 0; i < parameters::count; ++i)
        values[static_cast<size_t> (i)] = static_cast<float> (parameters::storedDefault (i));
}

// Taken as the instance takes it: clamped, so the control and its readout show what plays.
void Lv2UiModel::show (int index, float normalised) noexcept
{
    if (parameters::isValid (index))
        values[static_cast<size_t> (index)] = parameters::clamped (static_cast<double> (normalised));
}

float Lv2UiModel::value (int index) const
{
    return parameters::isValid (index) ? values[static_cast<size_t> (index)].load() : 0.0f;
}

juce::String Lv2UiModel::text (int index) const
{
    return parameters::isValid (index) ? parameters::text (index, parameters::engineValue (index, value (index)))
                                       : juce::String();
}

void Lv2UiModel::set (int index, float normalised)
{
    if (! parameters::isValid (index))
        return;
    show (index, normalised);
    events.push ({ Lv2UiEvents::Event::value, index, normalised });
}

void Lv2UiModel::beginGesture (int index)
{
    if (parameters::isValid (index))
        events.push ({ Lv2UiEvents::Event::beginGesture, index, 0.0f });
}

void Lv2UiModel::endGesture (int index)
{
    if (parameters::isValid (index))
        events.push ({ Lv2UiEvents::Event::endGesture, index, 0.0f });
}
} // namespace tarnwell::lv2
