#pragma once

#include "editor/TarnwellView.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

class TarnwellAudioProcessor;

// The plug-in's window content: a thin shell around one TarnwellView, 453 x 200, never resized.
//
// Parameter changes reach it without anyone waiting for the message thread: the processor
// queues every change (ParameterChangeQueue) while an editor listens, and the editor shows them
// in order, from a timer, or at once when the change is made on the message thread itself.
class TarnwellAudioProcessorEditor : public juce::AudioProcessorEditor,
                                     private juce::Timer
{
public:
    explicit TarnwellAudioProcessorEditor (TarnwellAudioProcessor& owner);
    ~TarnwellAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

    // Shows one parameter's value in the view. Message thread only.
    void parameterChanged (int index, float value);

    // Shows every queued parameter change, in order. Message thread only.
    void showQueuedChanges();

    TarnwellView& getView() noexcept { return *view; }

private:
    void timerCallback() override;

    TarnwellAudioProcessor& processor;
    std::unique_ptr<TarnwellView> view;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessorEditor)
};
