#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

namespace tarnwell
{
// A slider of the main view that can also be driven from the keyboard: arrows move it by a fine
// step, Page Up/Down by a coarse one, Home returns it to its default. Each key change is one
// drag to the slider's listeners (started, changed, ended), so the host records it as one
// gesture, as it does a mouse change. Message thread only.
class ParameterSlider final : public juce::Slider
{
public:
    explicit ParameterSlider (const juce::String& name);

    static constexpr double fineStep = 0.01;
    static constexpr double coarseStep = 0.1;

    // The value a key takes a slider at `current` to (0..1), with `initial` its default;
    // nothing for a key that is none of the slider's.
    static std::optional<double> valueForKey (const juce::KeyPress& key, double current, double initial);

    // Also the double-click value.
    void setDefaultValue (double initial);

    // True while it has the focus given other than by a click: the view then marks it. A click
    // still focuses it (so keys act on it next) without the mark showing.
    bool showsFocusMark() const noexcept { return focusMark; }

    // How far the mark reaches outside the slider's bounds.
    static constexpr int focusMarkMargin = 2;

    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void focusLost (FocusChangeType cause) override;

private:
    void focusMarkChanged (bool shown);

    double defaultValue = 0.0;
    bool focusMark = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterSlider)
};
} // namespace tarnwell
