#include "editor/BuildDate.h"
#include "editor/ScaledEditorFrame.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/Snapshot.h"

#include <TarnwellArtwork.h>

#include <regex>

using namespace tarnwell::test::ui;
namespace snapshot = tarnwell::test::snapshot;
using snapshot::near;
using tarnwell::TarnwellAudioProcessor;
using tarnwell::TarnwellAudioProcessorEditor;
using tarnwell::TarnwellView;
using tarnwell::T60View;

namespace
{
struct ChildSpec
{
    const char* name;
    juce::Rectangle<int> bounds;
    const char* text;     // labels only
    int justification;    // labels only
};

// In z-order, bottom first.
const ChildSpec layout[] = {
    { "t60LowSlider", { 165, 167, 208, 10 }, nullptr, 0 },
    { "t60HighSlider", { 165, 152, 208, 10 }, nullptr, 0 },
    { "transitionFreqSlider", { 165, 182, 208, 10 }, nullptr, 0 },
    { "t60LowValueString", { 376, 165, 64, 13 }, "?", juce::Justification::centredLeft },
    { "t60HighValueString", { 376, 150, 64, 13 }, "?", juce::Justification::centredLeft },
    { "transitionFreqValueString", { 376, 180, 64, 13 }, "?", juce::Justification::centredLeft },
    { "mixSlider", { 38, 55, 35, 35 }, nullptr, 0 },
    { "mixValueString", { 21, 84, 71, 24 }, "?", juce::Justification::centred },
    { "t60LowLabel", { 107, 165, 71, 13 }, "t60 Low", juce::Justification::centredLeft },
    { "t60HighLabel", { 107, 150, 71, 13 }, "t60 High", juce::Justification::centredLeft },
    { "transitionFreqLabel", { 106, 179, 71, 13 }, "Trans. Freq", juce::Justification::centredLeft },
    { "diffusionSlider", { 39, 122, 35, 35 }, nullptr, 0 },
    { "diffusionValueString", { 21, 152, 71, 24 }, "?", juce::Justification::centred },
    { "", { 118, 35, 283, 106 }, nullptr, 0 },
    { "new label", { 7, 175, 73, 24 }, nullptr, juce::Justification::centredLeft },
};

juce::Image embeddedArtwork()
{
    return juce::ImageCache::getFromMemory (TarnwellArtwork::background_png, TarnwellArtwork::background_pngSize);
}
} // namespace

// A bare view, before any value reaches it: the children as laid out, every readout "?".
TEST (TarnwellView, ChildrenInZOrderWithTheirBoundsTextsAndFonts)
{
    TarnwellView view;
    EXPECT_EQ (view.getName(), "TarnwellView");
    EXPECT_EQ (view.getBounds(), juce::Rectangle<int> (0, 0, 453, 200));
    EXPECT_TRUE (view.getWantsKeyboardFocus());

    ASSERT_EQ (view.getNumChildComponents(), 15);
    for (int i = 0; i < 15; ++i)
    {
        const auto& expected = layout[i];
        SCOPED_TRACE (expected.name);
        auto* c = view.getChildComponent (i);
        EXPECT_EQ (c->getName(), expected.name);
        EXPECT_EQ (c->getBounds(), expected.bounds);
        EXPECT_TRUE (c->isVisible());
        EXPECT_EQ (&c->getLookAndFeel(), &view.getLookAndFeel()) << "draws through the view's look-and-feel";

        if (auto* label = dynamic_cast<juce::Label*> (c))
        {
            if (expected.text != nullptr)
            {
                EXPECT_EQ (label->getText(), expected.text);
            }
            EXPECT_EQ (label->getJustificationType().getFlags(), expected.justification);
            // The readouts take typed values; the captions and the date are text only.
            const bool readout = juce::String (expected.name).endsWith ("ValueString");
            EXPECT_EQ (label->isEditableOnSingleClick(), readout);
            EXPECT_EQ (label->isEditableOnDoubleClick(), readout);
            EXPECT_EQ (label->getFont().getTypefaceName(), "Gillius ADF") << "the embedded face, not a system fallback";
            EXPECT_EQ (label->getFont().getHeight(), juce::String (expected.name) == "new label" ? 12.9f : 12.0f);
            EXPECT_FALSE (label->getFont().isBold() || label->getFont().isItalic());
        }
        else if (auto* slider = dynamic_cast<juce::Slider*> (c))
        {
            EXPECT_EQ (slider->getValue(), 0.0);
            EXPECT_EQ (slider->getMinimum(), 0.0);
            EXPECT_EQ (slider->getMaximum(), 1.0);
            EXPECT_EQ (slider->getInterval(), 0.0);
            EXPECT_EQ (slider->getTextBoxPosition(), juce::Slider::NoTextBox);
            const bool knob = expected.bounds.getWidth() == 35;
            EXPECT_EQ (slider->getSliderStyle(), knob ? juce::Slider::RotaryVerticalDrag : juce::Slider::LinearHorizontal);
            if (knob)
            {
                EXPECT_EQ (slider->findColour (juce::Slider::rotarySliderOutlineColourId).getARGB(), 0xff202020u);
            }
        }
        else
        {
            EXPECT_NE (dynamic_cast<T60View*> (c), nullptr);
        }
    }

    auto* date = child<juce::Label> (view, "new label");
    EXPECT_EQ (date->findColour (juce::Label::textColourId).getARGB(), 0x8a000000u);
    // The day the view's own file was compiled, which a build across midnight makes other than
    // this file's: only its form is the same.
    const std::regex unpaddedDate ("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [1-9][0-9]? [0-9]{4}");
    EXPECT_TRUE (std::regex_match (date->getText().toStdString(), unpaddedDate)) << date->getText();
}

TEST (TarnwellView, BuildDateHasNoPaddedDay)
{
    EXPECT_EQ (tarnwell::buildDateText ("Sep  6 2010"), "Sep 6 2010");
    EXPECT_EQ (tarnwell::buildDateText ("Sep 26 2010"), "Sep 26 2010");
    EXPECT_FALSE (tarnwell::buildDateText().contains ("  "));
}

TEST (TarnwellView, EmbeddedArtworkDecodesAtTheEditorsSize)
{
    const auto art = embeddedArtwork();
    ASSERT_TRUE (art.isValid());
    EXPECT_EQ (art.getWidth(), 453);
    EXPECT_EQ (art.getHeight(), 200);
    // The frame's flat interior lies under the graph, which covers it and one ring of the frame.
    for (const auto p : { juce::Point<int> (119, 36), juce::Point<int> (399, 139), juce::Point<int> (250, 90) })
        EXPECT_TRUE (near (art, p.x, p.y, 0xff443d3f)) << p.toString();
    EXPECT_FALSE (near (art, 118, 90, 0xff443d3f, 4)) << "frame, not interior";
    EXPECT_TRUE (near (art, 0, 0, 0xff352929)) << "dark surround outside the rounded corners";
    EXPECT_TRUE (near (art, 452, 199, 0xff352929));
    EXPECT_TRUE (near (art, 226, 4, 0xff998c90, 12)) << "light at the top";
    EXPECT_TRUE (near (art, 226, 196, 0xff554d51, 12)) << "dark at the bottom";
    // The reopened editor gets the very same decoded picture from the cache.
    EXPECT_EQ (embeddedArtwork().getPixelData(), art.getPixelData());
}

TEST (TarnwellView, UndecodablePictureLeavesDarkGreyWithWorkingControls)
{
    const char garbage[] = "not a picture at all";
    TarnwellAudioProcessor processor;
    tarnwell::AudioProcessorParameterModel model (processor);
    TarnwellView view (juce::ImageCache::getFromMemory (garbage, sizeof (garbage)));
    view.setModel (&model);

    const auto image = snapshot::of (view);
    EXPECT_TRUE (near (image, 2, 2, 0xff555555));
    EXPECT_TRUE (near (image, 440, 60, 0xff555555));

    child<juce::Slider> (view, "mixSlider")->setValue (0.75, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.core().parameter (3), 0.75f);
    EXPECT_EQ (child<juce::Label> (view, "mixValueString")->getText(), "75.00%");

    child<juce::Slider> (view, "t60HighSlider")->setValue (0.6, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.core().parameter (1), 0.6f);
    EXPECT_EQ (child<juce::Label> (view, "t60HighValueString")->getText(), "6.00 sec");
    EXPECT_FLOAT_EQ (graphOf (view)->t60HighValue, 0.6f);
}

// The editor a host opens on a fresh processor.
using FreshEditor = EditorTest;

TEST_F (FreshEditor, ShowsStoredValuesWithTheEnginesTexts)
{
    EXPECT_EQ (editor->getWidth(), 453);
    EXPECT_EQ (editor->getHeight(), 200);
    EXPECT_EQ (view().getBounds(), editor->getLocalBounds());
    EXPECT_FALSE (editor->isResizable());
    // The controls' values and texts: checked after harmless host calls, in EditorBindingTest.
    EXPECT_FLOAT_EQ (graph().t60LowValue, 0.35f);
    EXPECT_FLOAT_EQ (graph().t60HighValue, 0.05f);
    EXPECT_FLOAT_EQ (graph().transitionFreqValue, 0.8490928f);
}

TEST_F (FreshEditor, SnapshotShowsArtworkControlsAndGraphButNeverTheShell)
{
    const auto image = snapshot::of (*editor);
    const auto art = embeddedArtwork();
    ASSERT_EQ (image.getBounds(), juce::Rectangle<int> (0, 0, 453, 200));

    // Where no child lies, the picture shows as it is.
    for (const auto p : { juce::Point<int> (0, 0), juce::Point<int> (226, 4), juce::Point<int> (440, 60),
                          juce::Point<int> (10, 120), juce::Point<int> (300, 196) })
        EXPECT_TRUE (near (image, p.x, p.y, art.getPixelAt (p.x, p.y).getARGB())) << p.toString();

    // The shell's white fill and black "Hello World!" are covered everywhere.
    int white = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 453; ++x)
            white += image.getPixelAt (x, y).getBrightness() > 0.97f ? 1 : 0;
    EXPECT_EQ (white, 0);

    // The knobs' dark discs and the thumbs in their value colours (t60High 0.05, mix 0.25).
    EXPECT_TRUE (near (image, 55, 63, 0xff1e1e1e));
    EXPECT_TRUE (near (image, 56, 150, 0xff1e1e1e));
    const int thumbX = 165 + 5 + juce::roundToInt (0.05 * 198);
    EXPECT_TRUE (near (image, thumbX, 157, 0xff0c80f2, 30)) << "t60High thumb";

    // The graph's dark fill over the frame's interior, and its lower band for t60Low 0.35,
    // transition 0.849 over (150, 120).
    const auto interiorDarkened = juce::Colour (0xff443d3f).overlaidWith (juce::Colour (0x8f000000));
    EXPECT_TRUE (near (image, 380, 60, interiorDarkened.getARGB(), 2));
    EXPECT_FALSE (near (image, 150, 120, interiorDarkened.getARGB(), 8)) << "lower band";
}

namespace
{
// Squared steps between neighbouring pixels' brightness, over an area: what blur takes away.
double highFrequencyEnergy (const juce::Image& image, juce::Rectangle<int> area)
{
    double energy = 0.0;
    for (int y = area.getY(); y < area.getBottom() - 1; ++y)
        for (int x = area.getX(); x < area.getRight() - 1; ++x)
        {
            const auto here = image.getPixelAt (x, y).getPerceivedBrightness();
            const auto right = image.getPixelAt (x + 1, y).getPerceivedBrightness() - here;
            const auto below = image.getPixelAt (x, y + 1).getPerceivedBrightness() - here;
            energy += static_cast<double> (right * right + below * below);
        }
    return energy;
}

// The 1x picture stretched to a scale, as an editor without 2x artwork would draw it.
juce::Image stretched1x (float scale)
{
    juce::Image image (juce::Image::RGB, juce::roundToInt (453 * scale), juce::roundToInt (200 * scale), true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    g.drawImage (embeddedArtwork(), 0, 0, 453, 200, 0, 0, 453, 200, false);
    return image;
}
} // namespace

// The editor as the VST 2.4 glue shows it at a host's scale, drawn offscreen.
TEST (ScaledEditor, LaysOutEveryChildAtTheScaleAndDrawsTheArtworkSharp)
{
    for (const float scale : { 1.0f, 1.5f, 2.0f })
    {
        SCOPED_TRACE (scale);
        TarnwellAudioProcessor processor;
        tarnwell::AudioProcessorParameterModel model (processor);
        tarnwell::ScaledEditorFrame frame (std::make_unique<tarnwell::TarnwellEditor> (model));
        ASSERT_TRUE (frame.setHostScale (scale));

        EXPECT_NEAR (frame.getWidth(), 453 * scale, 1.0);
        EXPECT_NEAR (frame.getHeight(), 200 * scale, 1.0);
        EXPECT_EQ (frame.getDeviceBounds(), frame.getLocalBounds()) << "offscreen, a layout pixel of the frame is a device pixel";

        auto& view = dynamic_cast<tarnwell::TarnwellEditor&> (frame.getEditor()).getView();
        ASSERT_EQ (view.getNumChildComponents(), 15);
        for (int i = 0; i < 15; ++i)
        {
            SCOPED_TRACE (layout[i].name);
            auto* child = view.getChildComponent (i);
            const auto shown = frame.getLocalArea (child, child->getLocalBounds().toFloat());
            const auto expected = layout[i].bounds.toFloat() * scale;
            EXPECT_NEAR (shown.getX(), expected.getX(), 1.0f);
            EXPECT_NEAR (shown.getY(), expected.getY(), 1.0f);
            EXPECT_NEAR (shown.getRight(), expected.getRight(), 1.0f);
            EXPECT_NEAR (shown.getBottom(), expected.getBottom(), 1.0f);
        }

        const auto image = snapshot::of (frame);
        if (scale == 1.0f)
        {
            // Exactly the editor of old: pixel for pixel.
            const auto plain = snapshot::of (frame.getEditor());
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 453; ++x)
                    ASSERT_EQ (image.getPixelAt (x, y), plain.getPixelAt (x, y)) << x << ", " << y;
            continue;
        }

        // Above the controls (30 layout rows) lie the wordmarks, all edges: drawn from the 2x
        // picture they keep the fine detail a stretched 1x picture loses.
        const juce::Rectangle<int> band (0, 0, juce::roundToInt (453 * scale), juce::roundToInt (30 * scale));
        const auto painted = highFrequencyEnergy (image, band);
        const auto blurred = highFrequencyEnergy (stretched1x (scale), band);
        EXPECT_GT (painted, 1.3 * blurred) << "painted " << painted << ", stretched 1x " << blurred;
        if (scale == 2.0f)
        {
            const auto art = juce::ImageCache::getFromMemory (TarnwellArtwork::background2x_png, TarnwellArtwork::background2x_pngSize);
            EXPECT_NEAR (painted, highFrequencyEnergy (art, band), 0.01 * painted) << "the 2x picture, pixel for pixel";
        }
    }
}
