#include "editor/BuildDate.h"
#include "editor/EditorSize.h"
#include "editor/RememberedZoom.h"
#include "editor/ScaledEditorFrame.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/Snapshot.h"

#include <TarnwellArtwork.h>

#include <limits>
#include <regex>

using namespace tarnwell::test::ui;
namespace snapshot = tarnwell::test::snapshot;
using snapshot::near;
using tarnwell::T60View;
using tarnwell::TarnwellAudioProcessor;
using tarnwell::TarnwellAudioProcessorEditor;
using tarnwell::TarnwellView;

namespace
{
struct ChildSpec
{
    const char* name;
    juce::Rectangle<int> bounds;
    const char* text; // labels only
    int justification; // labels only
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
            EXPECT_EQ (slider->getSliderStyle(),
                       knob ? juce::Slider::RotaryVerticalDrag : juce::Slider::LinearHorizontal);
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
    EXPECT_FLOAT_EQ (processor.controls().parameter (3), 0.75f);
    EXPECT_EQ (child<juce::Label> (view, "mixValueString")->getText(), "75.00%");

    child<juce::Slider> (view, "t60HighSlider")->setValue (0.6, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (processor.controls().parameter (1), 0.6f);
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
    EXPECT_TRUE (editor->isResizable()) << "by hosts, within its constrainer";
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
    for (const float scale : { 1.0f, 1.5f, 2.0f, 3.0f })
    {
        SCOPED_TRACE (scale);
        TarnwellAudioProcessor processor;
        tarnwell::AudioProcessorParameterModel model (processor);
        tarnwell::ScaledEditorFrame frame (std::make_unique<tarnwell::TarnwellEditor> (model));
        ASSERT_TRUE (frame.setHostScale (scale));

        EXPECT_NEAR (frame.getWidth(), 453 * scale, 1.0);
        EXPECT_NEAR (frame.getHeight(), 200 * scale, 1.0);
        EXPECT_EQ (frame.getDeviceBounds(), frame.getLocalBounds())
            << "offscreen, a layout pixel of the frame is a device pixel";

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
        // At whole scales, the picture drawn at that very scale, pixel for pixel: never one enlarged.
        const auto art = scale == 2.0f
            ? juce::ImageCache::getFromMemory (TarnwellArtwork::background2x_png, TarnwellArtwork::background2x_pngSize)
            : scale == 3.0f
            ? juce::ImageCache::getFromMemory (TarnwellArtwork::background3x_png, TarnwellArtwork::background3x_pngSize)
            : juce::Image();
        if (art.isValid())
        {
            EXPECT_NEAR (painted, highFrequencyEnergy (art, band), 0.01 * painted) << "the picture drawn at this scale";
        }
    }
}

// Any size anyone asks for: a zoom from 1 to 3 whose size keeps the editor's shape, and a
// snapped size snaps to itself, from whatever zoom the editor had.
TEST (EditorSize, SnapsEverySizeIntoRangeAndShapeAndASnappedSizeToItself)
{
    using tarnwell::EditorSize;
    EXPECT_EQ (EditorSize::sizeFor (1.0f), juce::Rectangle<int> (453, 200));
    EXPECT_EQ (EditorSize::sizeFor (2.0f), juce::Rectangle<int> (906, 400));
    EXPECT_EQ (EditorSize::sizeFor (3.0f), juce::Rectangle<int> (1359, 600));
    EXPECT_EQ (EditorSize::sizeFor (std::numeric_limits<float>::quiet_NaN()), juce::Rectangle<int> (453, 200));
    EXPECT_EQ (EditorSize::sizeFor (0.5f), juce::Rectangle<int> (453, 200));
    EXPECT_EQ (EditorSize::sizeFor (7.0f), juce::Rectangle<int> (1359, 600));

    for (const float current : { 1.0f, 1.37f, 2.0f, 3.0f })
        for (int w = 0; w <= 1600; w += 7)
            for (int h = 0; h <= 700; h += 5)
            {
                const auto zoom = EditorSize::zoomFor (w, h, current);
                ASSERT_TRUE (zoom >= 1.0f && zoom <= 3.0f) << w << " x " << h;
                const auto size = EditorSize::snap (w, h, current);
                ASSERT_EQ (size, EditorSize::sizeFor (zoom));
                ASSERT_NEAR (size.getHeight(), size.getWidth() * 200.0 / 453.0, 0.5) << w << " x " << h;
                ASSERT_EQ (EditorSize::snap (size.getWidth(), size.getHeight(), current), size) << w << " x " << h;
                ASSERT_EQ (EditorSize::snap (size.getWidth(), size.getHeight(), zoom), size) << w << " x " << h;
            }

    // One edge dragged: that side decides, in either direction.
    EXPECT_EQ (EditorSize::snap (906, 200, 1.0f), juce::Rectangle<int> (906, 400));
    EXPECT_EQ (EditorSize::snap (453, 400, 1.0f), juce::Rectangle<int> (906, 400));
    EXPECT_EQ (EditorSize::snap (453, 400, 2.0f), juce::Rectangle<int> (453, 200));
    EXPECT_FLOAT_EQ (EditorSize::zoomForDrag (1.0f, 2.0f, 1.5f), 2.0f);
    EXPECT_FLOAT_EQ (EditorSize::zoomForDrag (2.0f, 0.1f, 0.1f), 1.0f);
}

namespace
{
// Drags the content's corner handle from its middle by (dx, dy) layout pixels of the content.
void dragCorner (juce::Component& content, float dx, float dy)
{
    auto* handle = child<juce::Component> (content, "resizeHandle");
    ASSERT_NE (handle, nullptr);
    ASSERT_TRUE (handle->isVisible());
    const auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto t0 = juce::Time::getCurrentTime();
    const juce::Point<float> down (6.0f, 6.0f);
    const auto event = [&] (juce::Point<float> at, bool dragged, const juce::ModifierKeys& mods) {
        return juce::MouseEvent (source, at, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, handle, handle, t0, down, t0, 1,
                                 dragged);
    };
    const auto pressed = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    handle->mouseDown (event (down, false, pressed));
    handle->mouseDrag (event (down.translated (dx, dy), true, pressed));
    handle->mouseUp (event (down.translated (dx, dy), true, juce::ModifierKeys()));
}

int largestChannelDistance (const juce::Image& a, const juce::Image& b)
{
    int largest = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            largest = juce::jmax (largest, snapshot::channelDistance (a.getPixelAt (x, y), b.getPixelAt (x, y)));
    return largest;
}
} // namespace

// The corner handle, where our glue hosts the editor: a drag to twice the size gives the editor
// at twice the size, which is the editor at a host scale of 2 (within the scale tests'
// tolerance), and a drag past 300 % stops there. At rest the handle draws nothing.
TEST (ScaledEditor, TheCornerHandleZoomsTheEditorToWhatTheScaleWouldShow)
{
    TarnwellAudioProcessor processor;
    tarnwell::AudioProcessorParameterModel model (processor);
    tarnwell::ScaledEditorFrame zoomed (std::make_unique<tarnwell::TarnwellEditor> (model));
    tarnwell::ScaledEditorFrame scaled (std::make_unique<tarnwell::TarnwellEditor> (model));
    const auto plain = snapshot::of (zoomed);
    int told = 0;
    zoomed.setUserResize ([&told] { ++told; });
    EXPECT_TRUE (snapshot::equal (snapshot::of (zoomed), plain)) << "the handle at rest draws nothing";

    dragCorner (zoomed.getEditor(), 453.0f, 200.0f);
    EXPECT_EQ (told, 1);
    EXPECT_FLOAT_EQ (zoomed.getZoom(), 2.0f);
    EXPECT_EQ (zoomed.getDeviceBounds(), juce::Rectangle<int> (906, 400));
    ASSERT_TRUE (scaled.setHostScale (2.0f));
    const auto a = snapshot::of (zoomed), b = snapshot::of (scaled);
    ASSERT_EQ (a.getBounds(), b.getBounds());
    EXPECT_LE (largestChannelDistance (a, b), 2);

    // Off the shape and past the range: snapped. (Layout pixels of the zoomed content.)
    dragCorner (zoomed.getEditor(), 2000.0f, 10.0f);
    EXPECT_EQ (zoomed.getDeviceBounds(), juce::Rectangle<int> (1359, 600));
    dragCorner (zoomed.getEditor(), -440.0f, -190.0f);
    EXPECT_EQ (zoomed.getDeviceBounds(), juce::Rectangle<int> (453, 200));
    EXPECT_EQ (told, 3);
    EXPECT_TRUE (snapshot::equal (snapshot::of (zoomed), plain)) << "back at 100 %, as it was";

    // A frame whose glue cannot resize offers no handle.
    auto* handle = child<juce::Component> (scaled.getEditor(), "resizeHandle");
    ASSERT_NE (handle, nullptr);
    EXPECT_FALSE (handle->isVisible());
}

// What a host proposes, in device pixels at its scale: snapped into the range, and a snapped
// size is taken back as it is, so a host that asks for what it was told gets it.
TEST (ScaledEditor, AHostsSizeSnapsInDevicePixelsAndASnappedSizeToItself)
{
    TarnwellAudioProcessor processor;
    tarnwell::AudioProcessorParameterModel model (processor);
    for (const float scale : { 1.0f, 1.25f, 1.5f, 2.0f })
    {
        SCOPED_TRACE (scale);
        tarnwell::ScaledEditorFrame frame (std::make_unique<tarnwell::TarnwellEditor> (model));
        ASSERT_TRUE (frame.setHostScale (scale));
        const auto smallest = frame.getDeviceBoundsAt (1.0f), largest = frame.getDeviceBoundsAt (3.0f);
        EXPECT_NEAR (largest.getWidth(), 3 * smallest.getWidth(), 3);
        for (int w = 0; w <= 3000; w += 13)
            for (int h = 0; h <= 1500; h += 11)
            {
                const auto zoom = frame.zoomForDeviceSize (w, h);
                const auto size = frame.getDeviceBoundsAt (zoom);
                ASSERT_TRUE (zoom >= 1.0f && zoom <= 3.0f) << w << " x " << h;
                ASSERT_EQ (frame.getDeviceBoundsAt (frame.zoomForDeviceSize (size.getWidth(), size.getHeight())), size)
                    << w << " x " << h;
            }
        frame.setZoom (frame.zoomForDeviceSize (largest.getWidth(), largest.getHeight()));
        EXPECT_EQ (frame.getDeviceBounds(), largest);
    }
}

// JUCE's wrappers (VST3, standalone) ask the editor's constrainer: any size is snapped, the held
// edge kept; the content fills the editor at its zoom, and the handle resizes the editor.
TEST_F (FreshEditor, ResizesThroughItsConstrainerAndItsHandleAndFillsItsSize)
{
    EXPECT_TRUE (editor->isResizable());
    auto* constrainer = editor->getConstrainer();
    ASSERT_NE (constrainer, nullptr);
    const juce::Rectangle<int> screen (0, 0, 4000, 3000);
    juce::Rectangle<int> wanted (100, 50, 1000, 300);
    constrainer->checkBounds (wanted, editor->getBounds(), screen, false, false, true, true);
    EXPECT_EQ (wanted, juce::Rectangle<int> (100, 50, 1000, 442));
    wanted = { 100, 50, 300, 100 };
    constrainer->checkBounds (wanted, { 0, 0, 906, 400 }, screen, true, true, false, false);
    EXPECT_EQ (wanted, juce::Rectangle<int> (400 - 453, 150 - 200, 453, 200)) << "the bottom-right corner stays";

    const auto plain = snapshot::of (*editor);
    editor->setSize (906, 400);
    auto& content = *editor->getChildComponent (0);
    EXPECT_EQ (editor->getLocalArea (&content, content.getLocalBounds()), editor->getLocalBounds());
    const auto big = snapshot::of (*editor);
    EXPECT_EQ (big.getBounds(), juce::Rectangle<int> (906, 400));
    const auto at2 = [this] {
        editor->setSize (453, 200);
        return editor->createComponentSnapshot (editor->getLocalBounds(), true, 2.0f);
    }();
    EXPECT_LE (largestChannelDistance (big, at2), 2) << "the 2x picture of the same state";
    EXPECT_TRUE (snapshot::equal (snapshot::of (*editor), plain));

    dragCorner (content, 906.0f, 400.0f);
    EXPECT_EQ (editor->getBounds().withZeroOrigin(), juce::Rectangle<int> (1359, 600));

    // Remembered for the user: the next editor opens at it, drawn as the 3x picture.
    close();
    open();
    EXPECT_EQ (editor->getBounds().withZeroOrigin(), juce::Rectangle<int> (1359, 600));
    EXPECT_EQ (editor->getLocalArea (editor->getChildComponent (0), view().getBounds()), editor->getLocalBounds());
}

// The per-user settings file: missing, unreadable or nonsense gives 100 % and no error; a saved
// zoom comes back exactly; out of range is brought into it. It lies under XDG_CONFIG_HOME
// (this test run's own folder), or ~/.config where that is no absolute path.
TEST (RememberedZoom, MissingOrCorruptGivesTheDefaultAndASavedZoomComesBack)
{
    namespace remembered = tarnwell::rememberedZoom;
    const auto file = remembered::settingsFile();
    tarnwell::test::configHome.forgetEditorSize();
#ifndef _WIN32
    EXPECT_EQ (file, juce::File (std::getenv ("XDG_CONFIG_HOME")).getChildFile ("Tarnwell/editor.settings"));
#endif
    EXPECT_EQ (remembered::load(), 1.0f);

    for (const float zoom : { 2.0f, 680.0f / 453.0f, 3.0f, 1.0f })
    {
        remembered::save (zoom);
        EXPECT_EQ (remembered::load(), zoom);
    }
    EXPECT_TRUE (file.existsAsFile());

    const std::pair<std::string, float> contents[] = { { "", 1.0f },
                                                       { "zoom=abc\n", 1.0f },
                                                       { "zoom=2x\n", 1.0f },
                                                       { "zoom=1e99\n", 1.0f },
                                                       { std::string (10000, 'z'), 1.0f },
                                                       { "zoom=9\n", 3.0f },
                                                       { "other=1\nzoom=2.5\n", 2.5f } };
    for (const auto& [text, expected] : contents)
    {
        ASSERT_TRUE (file.replaceWithData (text.data(), text.size()));
        EXPECT_EQ (remembered::load(), expected) << text.substr (0, 40);
    }

    // A file where its folder should be makes saving give up quietly.
    const auto folder = file.getParentDirectory();
    folder.deleteRecursively();
    ASSERT_TRUE (folder.replaceWithText ("not a folder"));
    remembered::save (2.0f);
    EXPECT_EQ (remembered::load(), 1.0f);
    folder.deleteFile();

#ifndef _WIN32
    const std::string before = std::getenv ("XDG_CONFIG_HOME");
    setenv ("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ (remembered::settingsFile(),
               juce::File::getSpecialLocation (juce::File::userHomeDirectory)
                   .getChildFile (".config/Tarnwell/editor.settings"));
    setenv ("XDG_CONFIG_HOME", before.c_str(), 1);
#endif
}
