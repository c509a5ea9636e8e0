#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace tarnwell
{
// The decay-time graph, drawn sideways: frequency runs up, decay time runs right. It paints from
// the three normalised slider positions alone and takes no input.
class T60View : public juce::Component
{
public:
    T60View();
    ~T60View() override = default;

    void paint (juce::Graphics& g) override;

    // Written directly by the main view, which then calls repaint().
    float t60LowValue = 0.8f;
    float t60HighValue = 0.2f;
    float transitionFreqValue = 0.5f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (T60View)
};
} // namespace tarnwell
