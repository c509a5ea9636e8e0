#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace tarnwell
{
// The editor's own drawing of sliders and toggle buttons; everything else is the V2 look.
class BrindleLookAndFeel : public juce::LookAndFeel_V2
{
public:
    BrindleLookAndFeel() = default;
    ~BrindleLookAndFeel() override = default;

    void drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isMouseOverButton,
                           bool isButtonDown) override;

    void drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos, float minSliderPos,
                           float maxSliderPos, juce::Slider::SliderStyle style, juce::Slider& slider) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BrindleLookAndFeel)
};
} // namespace tarnwell
