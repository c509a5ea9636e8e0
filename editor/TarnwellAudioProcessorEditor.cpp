#include "editor/TarnwellAudioProcessorEditor.h"

#include "processor/TarnwellAudioProcessor.h"

namespace tarnwell
{
namespace
{
// Fast enough that host automation looks continuous while values move. Once they have rested
// for a second, slower: every tick wakes two threads, which costs the host even when nothing is
// drawn, and a change after a rest still shows within a tenth of a second.
constexpr int refreshIntervalMs = 20;
constexpr int restingIntervalMs = 100;
constexpr int ticksUntilResting = 1000 / refreshIntervalMs;
} // namespace

TarnwellAudioProcessorEditor::TarnwellAudioProcessorEditor (TarnwellAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), processor (owner), view (std::make_unique<TarnwellView>())
{
    addAndMakeVisible (*view);
    view->setProcessor (&processor);
    setSize (view->getWidth(), view->getHeight());

    // An opened editor shows the current state at once, not its controls' start values (nothing
    // has been shown yet: every text differs from the empty one).
    showCurrentValues();
    startTimer (refreshIntervalMs);
}

TarnwellAudioProcessorEditor::~TarnwellAudioProcessorEditor()
{
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

bool TarnwellAudioProcessorEditor::showCurrentValues()
{
    JUCE_ASSERT_MESSAGE_THREAD
    bool changed = false;
    for (int i = 0; i < parameters::count; ++i)
    {
        // The text is compared too: the first set of a decay parameter to its stored default
        // moves the engine, and so the readout, but not the value.
        auto& last = shown[static_cast<size_t> (i)];
        const float value = processor.getParameter (i);
        auto text = processor.getParameterText (i);
        if (value == last.value && text == last.text)
            continue;

        view->showParameterValue (i, value);
        last = { value, std::move (text) };
        changed = true;
    }
    return changed;
}

void TarnwellAudioProcessorEditor::timerCallback()
{
    unchangedTicks = showCurrentValues() ? 0 : unchangedTicks + 1;
    const int interval = unchangedTicks < ticksUntilResting ? refreshIntervalMs : restingIntervalMs;
    if (getTimerInterval() != interval)
        startTimer (interval);
}
} // namespace tarnwell
