#pragma once

#include "editor/ParameterModel.h"
#include "editor/RefreshPace.h"
#include "editor/TarnwellView.h"
#include "processor/ParameterTable.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

namespace tarnwell
{
// The plug-in's window content: a thin shell around one TarnwellView, 453 x 200, never resized,
// bound to a parameter model and to nothing else, so every format can host it.
//
// It follows the parameters by reading their current values on a timer, so a change made on any
// thread reaches it without anyone waiting for anybody, and the model knows nothing of it.
// The timer slows down while nothing changes (RefreshPace).
class TarnwellEditor : public juce::Component,
                       private juce::Timer
{
public:
    // The model outlives the editor.
    explicit TarnwellEditor (ParameterModel& model);
    ~TarnwellEditor() override;

    // Shows every parameter whose value or text differs from what the view last showed; true
    // if any did. Message thread only; the timer calls it.
    bool showCurrentValues();

    TarnwellView& getView() noexcept { return view; }

private:
    void timerCallback() override;

    ParameterModel& model;
    TarnwellView view;

    struct Shown
    {
        float value;
        juce::String text;
    };
    std::array<Shown, parameters::count> shown {};
    RefreshPace pace;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellEditor)
};
} // namespace tarnwell
