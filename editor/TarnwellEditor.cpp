#include "editor/TarnwellEditor.h"

namespace tarnwell
{
TarnwellEditor::TarnwellEditor (ParameterModel& parameterModel) : juce::Component ("TarnwellEditor"), model (parameterModel)
{
    addAndMakeVisible (view);
    view.setModel (&model);
    setSize (view.getWidth(), view.getHeight());

    // An opened editor shows the current state at once, not its controls' start values (nothing
    // has been shown yet: every text differs from the empty one).
    showCurrentValues();
    startTimer (RefreshPace::movingMs);
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
    const int interval = pace.next (showCurrentValues());
    if (getTimerInterval() != interval)
        startTimer (interval);
}
} // namespace tarnwell
