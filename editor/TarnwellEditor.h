#pragma once

#include "editor/ParameterModel.h"
#include "editor/RefreshPace.h"
#include "editor/ResizeHandle.h"
#include "editor/TarnwellView.h"
#include "processor/ParameterTable.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace tarnwell
{
// The plug-in's window content: a thin shell around one TarnwellView, bound to a parameter model
// and to nothing else, so every format can host it. Its layout is always 453 x 200; a larger
// editor is this one zoomed by whoever hosts it, which the corner handle asks for.
//
// It follows the parameters by reading their current values on a timer, so a change made on any
// thread reaches it without anyone waiting for anybody, and the model knows nothing of it.
// The timer slows down while nothing changes (RefreshPace).
class TarnwellEditor : public juce::Component, private juce::Timer
{
public:
    // The model outlives the editor.
    explicit TarnwellEditor (ParameterModel& model);
    ~TarnwellEditor() override;

    // Shows every parameter whose value or text differs from what the view last showed; true
    // if any did. Message thread only; the timer calls it.
    bool showCurrentValues();

    TarnwellView& getView() noexcept { return view; }

    // Offers the corner handle, whose drags go to `resize` (see ResizeHandle::onDrag); empty
    // takes it away again. Without it, nothing the user does changes the size.
    void setUserResize (std::function<void (float widthFactor, float heightFactor)> resize);

private:
    void timerCallback() override;

    ParameterModel& model;
    TarnwellView view;
    ResizeHandle resizeHandle;
    RefreshPace pace;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellEditor)
};
} // namespace tarnwell
