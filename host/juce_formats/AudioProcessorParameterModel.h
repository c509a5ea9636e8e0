#pragma once

#include "editor/ParameterModel.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// The editor's parameters as a JUCE processor's parameter objects, for JUCE's wrappers (the
// VST3 and the standalone app): changes and gestures go through the objects, so the wrappers
// tell their hosts of them as of any other JUCE plug-in's.
class AudioProcessorParameterModel final : public ParameterModel
{
public:
    // The processor outlives the model.
    explicit AudioProcessorParameterModel (juce::AudioProcessor& processor);

    float value (int index) const override;
    juce::String text (int index) const override;
    void set (int index, float normalised) override;
    void beginGesture (int index) override;
    void endGesture (int index) override;

private:
    juce::AudioProcessorParameter* parameter (int index) const noexcept;

    juce::AudioProcessor& processor;
};
} // namespace tarnwell
