#pragma once

#include "editor/AudioProcessorParameterModel.h"
#include "editor/TarnwellEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// The editor as JUCE's wrappers (the VST3 and the standalone app) want it: a
// juce::AudioProcessorEditor holding the window content, bound to the processor's parameter
// objects. Our own glue hosts the content without it.
class TarnwellAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit TarnwellAudioProcessorEditor (juce::AudioProcessor& owner);
    ~TarnwellAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

    TarnwellView& getView() noexcept { return content.getView(); }

private:
    AudioProcessorParameterModel model;
    TarnwellEditor content; // declared after the model it reads

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessorEditor)
};
} // namespace tarnwell
