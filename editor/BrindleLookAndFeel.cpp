#include "editor/BrindleLookAndFeel.h"

#include "editor/ValueColour.h"

namespace tarnwell
{
namespace
{
constexpr juce::uint32 trackColour = 0xFF303030;
constexpr juce::uint32 discColour = 0xFF1E1E1E;
constexpr juce::uint32 disabledWedgeColour = 0xFFFF0000;
constexpr juce::uint32 disabledSmallKnobColour = 0x80808080;

// Below this radius a disc with a wedge is unreadable, so the knob becomes a ring with a pointer.
constexpr int largestSmallKnobRadius = 12;

// The wedge never shrinks to nothing at the bottom of the range.
constexpr float lowestWedgePosition = 0.02f;

juce::Colour toggleInnerColour (bool on, bool down, bool over)
{
    if (on)
        return juce::Colour (down ? 0xFF4B4B73 : over ? 0xFF5A5A82 : 0xFF55557D);
    return juce::Colour (down ? 0xFF464664 : over ? 0xFF3C3C5A : 0xFF323250);
}
} // namespace

void BrindleLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button, bool isMouseOverButton,
                                           bool isButtonDown)
{
    const auto w = button.getWidth();
    const auto h = button.getHeight();
    const bool enabled = button.isEnabled();

    // A disabled button is drawn whole at half opacity, text included.
    auto setColour = [&g, enabled] (juce::Colour c) {
        g.setColour (c);
        if (! enabled)
            g.setOpacity (0.5f);
    };

    setColour (juce::Colour (0xFF000000));
    g.fillRoundedRectangle (1.0f, 1.0f, static_cast<float> (w - 2), static_cast<float> (h - 2),
                            static_cast<float> (h / 2));

    setColour (toggleInnerColour (button.getToggleState(), isButtonDown, isMouseOverButton));
    g.fillRoundedRectangle (2.0f, 2.0f, static_cast<float> (w - 4), static_cast<float> (h - 4),
                            static_cast<float> (h / 2 - 2));

    setColour (juce::Colour (0xFF000000));
    g.setFont (juce::jmin (0.6f * static_cast<float> (h), 15.0f));
    g.drawFittedText (button.getButtonText(), 0, 0, w, h, juce::Justification::centred, 10, 0.7f);
}

void BrindleLookAndFeel::drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                           float, float, juce::Slider::SliderStyle, juce::Slider& slider)
{
    // The pill reaches half a thickness past both ends of the track, so the thumb at either end
    // of the range still sits inside it.
    const bool horizontal = slider.isHorizontal();
    const int t = horizontal ? height : width;
    const int half = t / 2;
    const int q = t / 4;
    const auto thumbStart = static_cast<int> (sliderPos - static_cast<float> (half)) + q / 2;
    const auto thumbSize = static_cast<float> (t - q);

    g.setColour (juce::Colour (trackColour));
    if (horizontal)
        g.fillRoundedRectangle (static_cast<float> (x - half), static_cast<float> (y), static_cast<float> (width + t),
                                static_cast<float> (t), static_cast<float> (half));
    else
        g.fillRoundedRectangle (static_cast<float> (x), static_cast<float> (y - half), static_cast<float> (width),
                                static_cast<float> (height + t), static_cast<float> (half));

    g.setColour (valueColour (static_cast<float> (slider.getValue())));
    if (horizontal)
        g.fillEllipse (static_cast<float> (thumbStart), static_cast<float> (y + q / 2), thumbSize, thumbSize);
    else
        g.fillEllipse (static_cast<float> (x + q / 2), static_cast<float> (thumbStart), thumbSize, thumbSize);
}

void BrindleLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                           float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                                           juce::Slider& slider)
{
    const int r = juce::jmin (width / 2, height / 2) - 2;
    const auto radius = static_cast<float> (r);
    const float cx = static_cast<float> (x) + 0.5f * static_cast<float> (width);
    const float cy = static_cast<float> (y) + 0.5f * static_cast<float> (height);
    const float rw = 2.0f * radius;

    const float p = juce::jmax (sliderPosProportional, lowestWedgePosition);
    const float angle = rotaryStartAngle + p * (rotaryEndAngle - rotaryStartAngle);

    const bool enabled = slider.isEnabled();
    const bool hovered = enabled && slider.isMouseOverOrDragging();

    if (r > largestSmallKnobRadius)
    {
        if (enabled)
        {
            juce::Path disc;
            disc.addEllipse (cx - radius, cy - radius, rw, rw);
            g.setColour (slider.findColour (juce::Slider::rotarySliderOutlineColourId));
            g.strokePath (disc, juce::PathStrokeType (hovered ? 0.5f : 0.3f));
            g.setColour (juce::Colour (discColour));
            g.fillPath (disc);
        }

        // The wedge ends at the pointer; its inner edge moves out as the value rises.
        juce::Path wedge;
        wedge.addPieSegment (cx - radius, cy - radius, rw, rw, angle - juce::MathConstants<float>::pi / 8.0f, angle,
                             0.35f + 0.35f * p);
        g.setColour (enabled ? valueColour (p) : juce::Colour (disabledWedgeColour));
        g.fillPath (wedge);
        return;
    }

    if (enabled)
        g.setColour (juce::Colours::black.withAlpha (hovered ? 1.0f : 0.7f));
    else
        g.setColour (juce::Colour (disabledSmallKnobColour));

    // A ring with a pointer from the centre, built about the origin and turned into place.
    juce::Path circle;
    circle.addEllipse (-0.4f * rw, -0.4f * rw, 0.8f * rw, 0.8f * rw);
    juce::Path knob;
    juce::PathStrokeType (0.1f * rw).createStrokedPath (knob, circle);
    knob.addLineSegment (juce::Line<float> (0.0f, 0.0f, 0.0f, -radius), 0.2f * rw);
    g.fillPath (knob, juce::AffineTransform::rotation (angle).translated (cx, cy));
}
} // namespace tarnwell
