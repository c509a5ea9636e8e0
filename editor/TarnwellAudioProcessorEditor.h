#pragma once

#include "editor/TarnwellView.h"
#include "processor/ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <memory>

namespace tarnwell
{
class TarnwellAudioProcessor;

// The plug-in's window content: a thin shell around one TarnwellView, 453 x 200, never resized.
//
// It follows the parameters by reading their current values on a timer, so a change made on any
// thread reaches it without anyone waiting for anybody, and the processor knows nothing of it.
// The timer slows down while nothing changes.
class TarnwellAudioProcessorEditor : public juce::AudioProcessorEditor,
                                     private juce::Timer
{
public:
    explicit TarnwellAudioProcessorEditor (TarnwellAudioProcessor& owner);
    ~TarnwellAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

    // Shows every parameter whose value or text differs from what the view last showed; true
    // if any did. Message thread only; the timer calls it.
    bool showCurrentValues();

    TarnwellView& getView() noexcept { return *view; }

private:
    void timerCallback() override;

    TarnwellAudioProcessor& processor;
    std::unique_ptr<TarnwellView> view;

    struct Shown
    {
        float value;
        juce::String text;
    };
    std::array<Shown, parameters::count> shown {};
    int unchangedTicks = 0; // timer ticks since a value last changed

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessorEditor)
};
} // namespace tarnwell
