#pragma once

#include "processor/InstanceCore.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// How JUCE, and every host wrapper built on it, sees one of the instance's parameters: the
// value, name and text are the core's own, and changes go straight to it.
// The parameter's name is also its stable ID, which formats such as LV2 need as a symbol.
class ProcessorParameter final : public juce::AudioProcessorParameterWithID
{
public:
    ProcessorParameter (InstanceCore::Controls, int index);

    // [thread-safe] JUCE's wrappers set and read values on the audio thread too (the VST3's
    // parameter changes arrive inside process).
    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;
    // [main-thread] The rest makes strings.
    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override;
    juce::String getText (float value, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;

private:
    const InstanceCore::Controls controls;
    const int index;
};
} // namespace tarnwell
