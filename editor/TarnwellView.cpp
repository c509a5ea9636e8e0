#include "editor/TarnwellView.h"

#include "editor/BuildDate.h"
#include "processor/ParameterTable.h"

#include <TarnwellArtwork.h>

#include <algorithm>
#include <vector>

namespace tarnwell
{
namespace
{
constexpr float labelHeight = 12.0f;
constexpr float dateHeight = 12.9f;
const juce::Colour knobOutline { 0xff202020 };
const juce::Colour dateColour { 0x8a000000 };

// Keyed by the data's address, so a reopened editor reuses the decoded pictures.
juce::Image embeddedBackground()
{
    return juce::ImageCache::getFromMemory (TarnwellArtwork::background_png, TarnwellArtwork::background_pngSize);
}

juce::Image embeddedBackground2x()
{
    return juce::ImageCache::getFromMemory (TarnwellArtwork::background2x_png, TarnwellArtwork::background2x_pngSize);
}

juce::Image embeddedBackground3x()
{
    return juce::ImageCache::getFromMemory (TarnwellArtwork::background3x_png, TarnwellArtwork::background3x_pngSize);
}

const juce::Colour focusMarkColour { 0xe0ffffff };

// What a screen reader says for each control: the caption the user sees, and the unit in words.
const char* accessibleTitle (int index)
{
    static const char* const titles[parameters::count] = { "t60 Low", "t60 High", "Trans. Freq", "Mixture",
                                                           "Diffusion" };
    return titles[index];
}

juce::String unitInWords (const char* symbol)
{
    const juce::String unit (symbol);
    if (unit == "s")
        return "seconds";
    if (unit == "Hz")
        return "hertz";
    if (unit == "%")
        return "per cent";
    return unit;
}

// The five controls in reading order: the knobs down the left, then the rows top to bottom.
// Focus goes round them and nowhere else: the readouts open for typing by a click only.
class ControlFocusOrder final : public juce::ComponentTraverser
{
public:
    explicit ControlFocusOrder (std::vector<juce::Component*> order) : controls (std::move (order)) {}

    juce::Component* getDefaultComponent (juce::Component*) override { return controls.front(); }

    juce::Component* getNextComponent (juce::Component* current) override
    {
        const auto at = std::find (controls.begin(), controls.end(), current);
        if (at == controls.end() || std::next (at) == controls.end())
            return controls.front();
        return *std::next (at);
    }

    juce::Component* getPreviousComponent (juce::Component* current) override
    {
        const auto at = std::find (controls.begin(), controls.end(), current);
        if (at == controls.end() || at == controls.begin())
            return controls.back();
        return *std::prev (at);
    }

    std::vector<juce::Component*> getAllComponents (juce::Component*) override { return controls; }

private:
    const std::vector<juce::Component*> controls;
};
} // namespace

TarnwellView::TarnwellView() : TarnwellView (embeddedBackground(), embeddedBackground2x(), embeddedBackground3x()) {}

TarnwellView::TarnwellView (juce::Image background, juce::Image background2x, juce::Image background3x)
    : juce::Component ("TarnwellView")
{
    const auto gill = fonts.gillSans (labelHeight);

    addSlider (t60LowSlider, juce::Slider::LinearHorizontal);
    addSlider (t60HighSlider, juce::Slider::LinearHorizontal);
    addSlider (transitionFreqSlider, juce::Slider::LinearHorizontal);
    addLabel (t60LowValueString, gill, juce::Justification::centredLeft);
    addLabel (t60HighValueString, gill, juce::Justification::centredLeft);
    addLabel (transitionFreqValueString, gill, juce::Justification::centredLeft);
    addSlider (mixSlider, juce::Slider::RotaryVerticalDrag);
    addLabel (mixValueString, gill, juce::Justification::centred);
    // The captions come after the sliders, so they lie over the sliders' left ends.
    addLabel (t60LowLabel, gill, juce::Justification::centredLeft);
    addLabel (t60HighLabel, gill, juce::Justification::centredLeft);
    addLabel (transitionFreqLabel, gill, juce::Justification::centredLeft);
    addSlider (diffusionSlider, juce::Slider::RotaryVerticalDrag);
    addLabel (diffusionValueString, gill, juce::Justification::centred);

    addAndMakeVisible (t60View);

    // A readout takes a typed value: a click opens it for editing, Return applies, Escape
    // leaves the value as it was. A double-click on a control returns it to the value a new
    // instance starts at, inside the slider's drag notifications, so the host records it as one
    // begin/set/end gesture.
    for (int index = 0; index < parameters::count; ++index)
    {
        sliderFor (index)->setDefaultValue (parameters::storedDefault (index));
        readoutFor (index)->setEditable (true, true, false);
        readoutFor (index)->setWantsKeyboardFocus (false);
        readoutFor (index)->onTextChange = [this, index] { applyTypedValue (index); };
        describeForAccessibility (index);
    }

    backgroundImage = std::move (background);
    backgroundImage2x = std::move (background2x);
    backgroundImage3x = std::move (background3x);

    dateLabel.setText (buildDateText(), juce::dontSendNotification);
    addLabel (dateLabel, fonts.lucidaGrande (dateHeight), juce::Justification::centredLeft);
    dateLabel.setColour (juce::Label::textColourId, dateColour);

    setSize (width, height);
    setWantsKeyboardFocus (true);

    lookAndFeel = std::make_unique<BrindleLookAndFeel>();
    setLookAndFeel (lookAndFeel.get());
}

TarnwellView::~TarnwellView()
{
    // The children go first (they are declared after the look-and-feel); none of them may
    // still point at it when it is released.
    setLookAndFeel (nullptr);
}

void TarnwellView::describeForAccessibility (int index)
{
    auto& slider = *sliderFor (index);
    slider.setTitle (accessibleTitle (index));
    slider.setDescription (unitInWords (parameters::describe (index).unit));
    slider.textFromValueFunction = [index] (double value) {
        return parameters::text (index, parameters::engineValue (index, parameters::clamped (value)));
    };
    slider.valueFromTextFunction = [index, &slider] (const juce::String& text) {
        const auto value = parameters::valueForText (index, text);
        return value.has_value() ? static_cast<double> (*value) : slider.getValue();
    };
}

std::unique_ptr<juce::ComponentTraverser> TarnwellView::createKeyboardFocusTraverser()
{
    return std::make_unique<ControlFocusOrder> (std::vector<juce::Component*> {
        &mixSlider, &diffusionSlider, &t60HighSlider, &t60LowSlider, &transitionFreqSlider });
}

void TarnwellView::addSlider (ParameterSlider& slider, juce::Slider::SliderStyle style)
{
    slider.setRange (0.0, 1.0, 0.0);
    slider.setSliderStyle (style);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 80, 20);
    if (style == juce::Slider::RotaryVerticalDrag)
        slider.setColour (juce::Slider::rotarySliderOutlineColourId, knobOutline);
    slider.addListener (this);
    addAndMakeVisible (slider);
}

void TarnwellView::addLabel (juce::Label& label, const juce::Font& font, juce::Justification justification)
{
    label.setFont (font);
    label.setJustificationType (justification);
    label.setEditable (false, false, false);
    addAndMakeVisible (label);
}

void TarnwellView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::darkgrey);
    g.setColour (juce::Colours::black);
    // At 100 % the 1x picture maps pixel for pixel; on denser displays (or a zoomed editor) the
    // smallest picture at least as fine as a device pixel, shrunk for scales between, so none is
    // ever enlarged below 300 %. An invalid picture draws nothing, leaving the dark grey.
    const auto scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const auto& picture = scale > 2.0f && backgroundImage3x.isValid() ? backgroundImage3x
        : scale > 1.0f && backgroundImage2x.isValid()                 ? backgroundImage2x
                                                                      : backgroundImage;
    g.drawImage (picture, 0, 0, width, height, 0, 0, picture.getWidth(), picture.getHeight(), false);
}

void TarnwellView::paintOverChildren (juce::Graphics& g)
{
    // Only a control focused from the keyboard is marked; otherwise nothing is drawn here.
    for (int index = 0; index < parameters::count; ++index)
    {
        const auto& slider = *sliderFor (index);
        if (! slider.showsFocusMark())
            continue;
        const auto margin = static_cast<float> (ParameterSlider::focusMarkMargin);
        g.setColour (focusMarkColour);
        g.drawRoundedRectangle (slider.getBounds().toFloat().expanded (margin - 0.5f), margin + 1.0f, 1.0f);
    }
}

void TarnwellView::resized()
{
    t60LowSlider.setBounds (165, 167, 208, 10);
    t60HighSlider.setBounds (165, 152, 208, 10);
    transitionFreqSlider.setBounds (165, 182, 208, 10);
    t60LowValueString.setBounds (376, 165, 64, 13);
    t60HighValueString.setBounds (376, 150, 64, 13);
    transitionFreqValueString.setBounds (376, 180, 64, 13);
    mixSlider.setBounds (38, 55, 35, 35);
    mixValueString.setBounds (21, 84, 71, 24);
    t60LowLabel.setBounds (107, 165, 71, 13);
    t60HighLabel.setBounds (107, 150, 71, 13);
    transitionFreqLabel.setBounds (106, 179, 71, 13);
    diffusionSlider.setBounds (39, 122, 35, 35);
    diffusionValueString.setBounds (21, 152, 71, 24);
    t60View.setBounds (118, 35, 283, 106);
    dateLabel.setBounds (7, getY() + getHeight() - 25, 73, 24);
}

void TarnwellView::setModel (ParameterModel* newModel)
{
    model = newModel;
}

ParameterSlider* TarnwellView::sliderFor (int index) noexcept
{
    switch (index)
    {
        case parameters::t60Low:
            return &t60LowSlider;
        case parameters::t60High:
            return &t60HighSlider;
        case parameters::transition:
            return &transitionFreqSlider;
        case parameters::mix:
            return &mixSlider;
        case parameters::diffusion:
            return &diffusionSlider;
        default:
            return nullptr;
    }
}

juce::Label* TarnwellView::readoutFor (int index) noexcept
{
    switch (index)
    {
        case parameters::t60Low:
            return &t60LowValueString;
        case parameters::t60High:
            return &t60HighValueString;
        case parameters::transition:
            return &transitionFreqValueString;
        case parameters::mix:
            return &mixValueString;
        case parameters::diffusion:
            return &diffusionValueString;
        default:
            return nullptr;
    }
}

int TarnwellView::indexOf (const juce::Slider* slider) noexcept
{
    for (int i = 0; i < parameters::count; ++i)
        if (sliderFor (i) == slider)
            return i;
    return -1;
}

void TarnwellView::setGraphField (int index, float value)
{
    switch (index)
    {
        case parameters::t60Low:
            t60View.t60LowValue = value;
            break;
        case parameters::t60High:
            t60View.t60HighValue = value;
            break;
        case parameters::transition:
            t60View.transitionFreqValue = value;
            break;
        default:
            return;
    }
    t60View.repaint();
}

void TarnwellView::sliderValueChanged (juce::Slider* slider)
{
    const int index = indexOf (slider);
    if (model == nullptr || index < 0)
        return;

    // Reaches the instance, then the host as automation.
    model->set (index, static_cast<float> (slider->getValue()));

    // The control holds the value the instance took, and the readout its text, at once.
    showParameterValue (index, model->value (index));
}

void TarnwellView::sliderDragStarted (juce::Slider* slider)
{
    const int index = indexOf (slider);
    if (model != nullptr && index >= 0)
        model->beginGesture (index);
}

void TarnwellView::sliderDragEnded (juce::Slider* slider)
{
    const int index = indexOf (slider);
    if (model != nullptr && index >= 0)
        model->endGesture (index);
}

void TarnwellView::applyTypedValue (int index)
{
    if (model == nullptr)
        return;

    // One step for the host to record, as a drag is; text that is no value changes nothing.
    if (const auto value = parameters::valueForText (index, readoutFor (index)->getText()))
    {
        model->beginGesture (index);
        model->set (index, *value);
        model->endGesture (index);
    }

    // The readout shows the instance's text again, not what was typed.
    showParameterValue (index, model->value (index));
}

bool TarnwellView::shows (int index, float value, const juce::String& text) noexcept
{
    const auto* slider = sliderFor (index);
    return slider != nullptr && slider->getValue() == static_cast<double> (value)
        && readoutFor (index)->getText() == text;
}

void TarnwellView::showParameterValue (int index, float value)
{
    auto* slider = sliderFor (index);
    if (slider == nullptr)
        return;

    // No notification: nothing goes back to the model or the host.
    slider->setValue (static_cast<double> (value), juce::dontSendNotification);
    setGraphField (index, static_cast<float> (slider->getValue()));

    if (model != nullptr)
        readoutFor (index)->setText (model->text (index), juce::dontSendNotification);
}
} // namespace tarnwell
