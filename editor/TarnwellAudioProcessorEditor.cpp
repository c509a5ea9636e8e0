#include "editor/TarnwellAudioProcessorEditor.h"

#include "processor/TarnwellAudioProcessor.h"

namespace
{
// Fast enough that host automation looks continuous, slow enough to cost nothing when idle.
constexpr int drainIntervalMs = 20;
} // namespace

TarnwellAudioProcessorEditor::TarnwellAudioProcessorEditor (TarnwellAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), processor (owner), view (std::make_unique<TarnwellView>())
{
    addAndMakeVisible (*view);
    view->setProcessor (&processor);
    setSize (view->getWidth(), view->getHeight());

    processor.getParameterChangeQueue().listen (true);
    startTimer (drainIntervalMs);
}

TarnwellAudioProcessorEditor::~TarnwellAudioProcessorEditor()
{
    processor.getParameterChangeQueue().listen (false);
    stopTimer();
}

void TarnwellAudioProcessorEditor::paint (juce::Graphics& g)
{
    // Entirely covered by the view.
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.setFont (15.0f);
    g.drawFittedText ("Hello World!", 0, 0, getWidth(), getHeight(), juce::Justification::centred, 1, 0.7f);
}

void TarnwellAudioProcessorEditor::parameterChanged (int index, float value)
{
    JUCE_ASSERT_MESSAGE_THREAD
    view->showParameterValue (index, value);
}

void TarnwellAudioProcessorEditor::showQueuedChanges()
{
    JUCE_ASSERT_MESSAGE_THREAD
    const bool lost = processor.getParameterChangeQueue().drain ([this] (int index, float value)
                                                                 { view->showParameterValue (index, value); });
    // Some changes never made it into the queue: the stored values are the truth.
    if (lost)
        for (int i = 0; i < tarnwell::parameters::count; ++i)
            view->showParameterValue (i, processor.getParameter (i));
}

void TarnwellAudioProcessorEditor::timerCallback()
{
    showQueuedChanges();
}
