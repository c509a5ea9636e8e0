#include "host/juce_formats/AudioProcessorParameterModel.h"

namespace tarnwell
{
AudioProcessorParameterModel::AudioProcessorParameterModel (juce::AudioProcessor& owner) : processor (owner) {}

juce::AudioProcessorParameter* AudioProcessorParameterModel::parameter (int index) const noexcept
{
    const auto& all = processor.getParameters();
    return index >= 0 && index < all.size() ? all.getUnchecked (index) : nullptr;
}

float AudioProcessorParameterModel::value (int index) const
{
    auto* p = parameter (index);
    return p != nullptr ? p->getValue() : 0.0f;
}

juce::String AudioProcessorParameterModel::text (int index) const
{
    auto* p = parameter (index);
    return p != nullptr ? p->getCurrentValueAsText() : juce::String();
}

void AudioProcessorParameterModel::set (int index, float normalised)
{
    if (auto* p = parameter (index))
        p->setValueNotifyingHost (normalised);
}

void AudioProcessorParameterModel::beginGesture (int index)
{
    if (auto* p = parameter (index))
        p->beginChangeGesture();
}

void AudioProcessorParameterModel::endGesture (int index)
{
    if (auto* p = parameter (index))
        p->endChangeGesture();
}
} // namespace tarnwell
