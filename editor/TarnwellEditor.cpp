#include "editor/TarnwellEditor.h"

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

TarnwellEditor::TarnwellEditor (ParameterModel& parameterModel) : juce::Component ("TarnwellEditor"), model (parameterModel)
{
    addAndMakeVisible (view);
    view.setModel (&model);
    setSize (view.getWidth(), view.getHeight());

    // An opened editor shows the current state at once, not its controls' start values (nothing
    // has been shown yet: every text differs from the empty one).
    showCurrentValues();
    startTimer (refreshIntervalMs);
}

TarnwellEditor::~TarnwellEditor()
{
    stopTimer();
}

bool TarnwellEditor::showCurrentValues()
{
    JUCE_ASSERT_MESSAGE_THREAD
    bool changed = false;
    for (int i = 0; i < parameters::count; ++i)
    {
        // The text is compared too, so the first look shows even a value of 0.
        auto& last = shown[static_cast<size_t> (i)];
        const float value = model.value (i);
        auto text = model.text (i);
        if (value == last.value && text == last.text)
            continue;

        view.showParameterValue (i, value);
        last = { value, std::move (text) };
        changed = true;
    }
    return changed;
}

void TarnwellEditor::timerCallback()
{
    unchangedTicks = showCurrentValues() ? 0 : unchangedTicks + 1;
    const int interval = unchangedTicks < ticksUntilResting ? refreshIntervalMs : restingIntervalMs;
    if (getTimerInterval() != interval)
        startTimer (interval);
}
} // namespace tarnwell
