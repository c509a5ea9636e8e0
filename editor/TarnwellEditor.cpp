#include "editor/TarnwellEditor.h"

namespace tarnwell
{
TarnwellEditor::TarnwellEditor (ParameterModel& parameterModel)
    : juce::Component ("TarnwellEditor"), model (parameterModel)
{
    addAndMakeVisible (view);
    view.setModel (&model);
    setSize (view.getWidth(), view.getHeight());
    addChildComponent (resizeHandle);
    resizeHandle.setBounds (getWidth() - ResizeHandle::size, getHeight() - ResizeHandle::size, ResizeHandle::size,
                            ResizeHandle::size);

    // An opened editor shows the current state at once, not its controls' start values (nothing
    // has been shown yet: every text differs from the empty one).
    showCurrentValues();
    startTimer (RefreshPace::movingMs);
}

TarnwellEditor::~TarnwellEditor()
{
    stopTimer();
}

void TarnwellEditor::setUserResize (std::function<void (float, float)> resize)
{
    resizeHandle.setVisible (resize != nullptr);
    resizeHandle.onDrag = std::move (resize);
}

bool TarnwellEditor::showCurrentValues()
{
    JUCE_ASSERT_MESSAGE_THREAD
    bool changed = false;
    for (int i = 0; i < parameters::count; ++i)
    {
        // Against what the view shows, which the user's own changes also set; the text is
        // compared too, so the first look shows even a value of 0.
        const float value = model.value (i);
        if (view.shows (i, value, model.text (i)))
            continue;

        view.showParameterValue (i, value);
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
