#pragma once

#include "editor/BrindleLookAndFeel.h"
#include "editor/EditorFonts.h"
#include "editor/ParameterModel.h"
#include "editor/ParameterSlider.h"
#include "editor/T60View.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace tarnwell
{
// The editor's one view: five sliders with their readouts and captions, the decay-time graph
// and the build date, at fixed positions over the background picture. It is the listener of its
// own sliders and hands every user change to the parameter model; values coming back from the
// model arrive through showParameterValue.
class TarnwellView : public juce::Component, public juce::Slider::Listener
{
public:
    TarnwellView();
    // With other background pictures, which may be invalid: then only the dark grey shows.
    // background2x, twice the size, is drawn wherever a device pixel is smaller than a layout
    // pixel, and background3x where it is smaller than half of one (a zoomed editor); without
    // them the next smaller picture is stretched.
    explicit TarnwellView (juce::Image background, juce::Image background2x = {}, juce::Image background3x = {});
    ~TarnwellView() override;

    void paint (juce::Graphics& g) override;
    void paintOverChildren (juce::Graphics& g) override;
    void resized() override;

    // Tab and Shift+Tab go round the five controls, in the order the eye reads them.
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;

    void setModel (ParameterModel* newModel);

    // Moves the control of one parameter without notifying anyone, and refreshes its readout
    // and, for the decay controls, the graph. Any index other than 0..4 is ignored.
    // Message thread only.
    void showParameterValue (int index, float value);

    // Whether the control of a parameter is at this value and its readout says this text.
    bool shows (int index, float value, const juce::String& text) noexcept;

    static constexpr int width = 453;
    static constexpr int height = 200;

private:
    ParameterSlider* sliderFor (int index) noexcept;
    juce::Label* readoutFor (int index) noexcept;
    int indexOf (const juce::Slider* slider) noexcept;
    void setGraphField (int index, float value);
    void applyTypedValue (int index);

    void addSlider (ParameterSlider& slider, juce::Slider::SliderStyle style);
    void describeForAccessibility (int index);
    void addLabel (juce::Label& label, const juce::Font& font, juce::Justification justification);

    ParameterModel* model = nullptr;
    EditorFonts fonts;

    // Created once the children exist; declared before them so it is released after them.
    std::unique_ptr<BrindleLookAndFeel> lookAndFeel;

    // Declared in creation order; the children are added in the order of the layout table.
    juce::Label dateLabel { "new label", "Sep 26 2010" };
    ParameterSlider t60LowSlider { "t60LowSlider" };
    ParameterSlider t60HighSlider { "t60HighSlider" };
    ParameterSlider transitionFreqSlider { "transitionFreqSlider" };
    juce::Label t60LowValueString { "t60LowValueString", "?" };
    juce::Label t60HighValueString { "t60HighValueString", "?" };
    juce::Label transitionFreqValueString { "transitionFreqValueString", "?" };
    ParameterSlider mixSlider { "mixSlider" };
    juce::Label mixValueString { "mixValueString", "?" };
    juce::Label t60LowLabel { "t60LowLabel", "t60 Low" };
    juce::Label t60HighLabel { "t60HighLabel", "t60 High" };
    juce::Label transitionFreqLabel { "transitionFreqLabel", "Trans. Freq" };
    ParameterSlider diffusionSlider { "diffusionSlider" };
    juce::Label diffusionValueString { "diffusionValueString", "?" };
    T60View t60View;
    juce::Image backgroundImage;
    juce::Image backgroundImage2x;
    juce::Image backgroundImage3x;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellView)
};
} // namespace tarnwell
