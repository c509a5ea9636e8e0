#include "editor/BrindleLookAndFeel.h"
#include "tests/editor/Snapshot.h"

#include <cmath>
#include <utility>

namespace snapshot = tarnwell::test::snapshot;
using snapshot::near;
using tarnwell::BrindleLookAndFeel;

namespace
{
constexpr juce::uint32 track = 0xFF303030;
constexpr juce::uint32 disc = 0xFF1E1E1E;
constexpr juce::uint32 blue = 0xFF0080FF;
constexpr juce::uint32 grey = 0xFF7F807F;
constexpr juce::uint32 orange = 0xFFFF8000;

class LookAndFeelTest : public ::testing::Test
{
protected:
    ~LookAndFeelTest() override { slider.setLookAndFeel (nullptr); }

    juce::Image renderSlider (juce::Slider::SliderStyle style, int w, int h, double value, bool enabled = true)
    {
        slider.setLookAndFeel (&lnf);
        slider.setSliderStyle (style);
        slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
        slider.setRange (0.0, 1.0);
        slider.setValue (value, juce::dontSendNotification);
        slider.setEnabled (enabled);
        slider.setSize (w, h);
        return snapshot::of (slider);
    }

    juce::Image renderRotary (int size, double value, bool enabled = true)
    {
        return renderSlider (juce::Slider::RotaryVerticalDrag, size, size, value, enabled);
    }

    BrindleLookAndFeel lnf;
    juce::Slider slider;
};

// First and last pixel along a row (or column) that is mostly the thumb's colour.
std::pair<int, int> thumbSpan (const juce::Image& img, int fixed, bool alongRow, juce::uint32 thumb)
{
    int first = -1, last = -1;
    const int n = alongRow ? img.getWidth() : img.getHeight();
    for (int i = 0; i < n; ++i)
    {
        const int x = alongRow ? i : fixed, y = alongRow ? fixed : i;
        if (snapshot::closerTo (img, x, y, juce::Colour (thumb), juce::Colour (track)))
        {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return { first, last };
}

// The pixel under a point given by its clockwise angle from 12 o'clock and its distance from the centre.
juce::Point<int> polar (double cx, double cy, double angle, double radius)
{
    return { static_cast<int> (std::floor (cx + radius * std::sin (angle))),
             static_cast<int> (std::floor (cy - radius * std::cos (angle))) };
}

constexpr double pi = juce::MathConstants<double>::pi;
constexpr double startAngle = 1.2 * pi;
constexpr double sweep = 1.6 * pi;
} // namespace

// A 200 x 10 slider: the framework lays its track out at x 7, width 186 (its thumb-radius inset).
TEST_F (LookAndFeelTest, LinearThumbSitsOnTheValueWithItsColour)
{
    struct Case
    {
        double value;
        juce::uint32 colour;
        int left;
    };
    for (const auto c : { Case { 0.0, blue, 3 }, Case { 0.5, grey, 96 }, Case { 1.0, orange, 189 } })
    {
        SCOPED_TRACE (c.value);
        const auto img = renderSlider (juce::Slider::LinearHorizontal, 200, 10, c.value);
        // Diameter 8, one pixel in from the track's top.
        EXPECT_EQ (thumbSpan (img, 5, true, c.colour), std::make_pair (c.left, c.left + 7));
        EXPECT_EQ (thumbSpan (img, c.left + 3, false, c.colour), std::make_pair (1, 8));
        EXPECT_TRUE (near (img, c.left + 3, 5, c.colour));
        EXPECT_TRUE (snapshot::closerTo (img, c.left + 3, 0, juce::Colour (track), juce::Colour (c.colour)));
        EXPECT_TRUE (snapshot::closerTo (img, c.left + 3, 9, juce::Colour (track), juce::Colour (c.colour)));
    }
}

TEST_F (LookAndFeelTest, LinearTrackIsAPillReachingHalfItsThicknessPastTheTrack)
{
    const auto img = renderSlider (juce::Slider::LinearHorizontal, 200, 10, 0.5);
    EXPECT_TRUE (near (img, 20, 0, track));
    EXPECT_TRUE (near (img, 180, 9, track));
    // Ends at x 2 and 198, rounded with a corner of 5.
    EXPECT_EQ (img.getPixelAt (1, 5).getAlpha(), 0);
    EXPECT_GT (img.getPixelAt (2, 5).getAlpha(), 200);
    EXPECT_GT (img.getPixelAt (197, 5).getAlpha(), 200);
    EXPECT_EQ (img.getPixelAt (198, 5).getAlpha(), 0);
    EXPECT_LT (img.getPixelAt (2, 0).getAlpha(), 100);
}

TEST_F (LookAndFeelTest, LinearThumbPositionAndColourAreTruncatedNotRounded)
{
    // 201 x 20: track at x 9, width 183, so a quarter puts the thumb centre at 54.75;
    // thickness 20 gives a quarter of 5 and a diameter of 15.
    const auto img = renderSlider (juce::Slider::LinearHorizontal, 201, 20, 0.25);
    EXPECT_EQ (thumbSpan (img, 9, true, 0xFF3F80BF), std::make_pair (46, 60));
    EXPECT_EQ (thumbSpan (img, 53, false, 0xFF3F80BF), std::make_pair (2, 16));
    EXPECT_TRUE (near (img, 53, 9, 0xFF3F80BF));
}

TEST_F (LookAndFeelTest, VerticalSliderSwapsTheAxes)
{
    // 10 x 200: track at y 7, height 186; the top of the range is at the top.
    const auto img = renderSlider (juce::Slider::LinearVertical, 10, 200, 1.0);
    EXPECT_EQ (thumbSpan (img, 5, false, orange), std::make_pair (3, 10));
    EXPECT_EQ (thumbSpan (img, 7, true, orange), std::make_pair (1, 8));
    EXPECT_EQ (img.getPixelAt (5, 1).getAlpha(), 0);
    EXPECT_TRUE (near (img, 5, 20, track));
    EXPECT_EQ (img.getPixelAt (5, 198).getAlpha(), 0);
}

// A 35 x 35 knob: r = 15 about (17.5, 17.5), a full-size disc with a wedge.
TEST_F (LookAndFeelTest, RotaryWedgeEndsAtThePointerAndGrowsInward)
{
    const double c = 17.5;
    struct Case
    {
        double value, p;
        juce::uint32 colour;
    };
    for (const auto k : { Case { 0.0, 0.02, 0xFF0580F9 }, Case { 0.02, 0.02, 0xFF0580F9 }, Case { 1.0, 1.0, orange } })
    {
        SCOPED_TRACE (k.value);
        const auto img = renderRotary (35, k.value);
        const double pointer = startAngle + k.p * sweep;
        const double mid = pointer - pi / 16;
        auto at = [&] (double angle, double radius) { return polar (c, c, angle, radius); };

        const auto inWedge = at (mid, 12.5);
        EXPECT_TRUE (near (img, inWedge.x, inWedge.y, k.colour));
        const auto pastPointer = at (pointer + pi / 16, 12.5);
        EXPECT_TRUE (near (img, pastPointer.x, pastPointer.y, disc));
        const auto beforeWedge = at (pointer - pi / 8 - pi / 16, 12.5);
        EXPECT_TRUE (near (img, beforeWedge.x, beforeWedge.y, disc));
        // The inner edge: 0.357 r at the bottom of the range, 0.7 r at the top.
        const auto inner = at (mid, 8.0);
        EXPECT_TRUE (near (img, inner.x, inner.y, k.p < 0.5 ? k.colour : disc));
        const auto centre = at (mid, 3.5);
        EXPECT_TRUE (near (img, centre.x, centre.y, disc));
    }

    const auto atZero = renderRotary (35, 0.0);
    const auto atTwoPercent = renderRotary (35, 0.02);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 35; ++x)
            ASSERT_EQ (atZero.getPixelAt (x, y), atTwoPercent.getPixelAt (x, y)) << x << ", " << y;
}

TEST_F (LookAndFeelTest, RotaryDiscFillsTheRadius)
{
    const auto img = renderRotary (35, 0.5);
    EXPECT_TRUE (near (img, 17, 31, disc));
    EXPECT_TRUE (near (img, 3, 17, disc));
    EXPECT_TRUE (near (img, 31, 17, disc));
    EXPECT_EQ (img.getPixelAt (17, 1).getAlpha(), 0);
    EXPECT_EQ (img.getPixelAt (33, 17).getAlpha(), 0);
}

TEST_F (LookAndFeelTest, KnobsOfRadiusTwelveOrLessAreRingsWithAPointer)
{
    // 28 x 28 (and 60 x 28, whose smaller side rules): r = 12. At 0.5 the pointer is straight up.
    for (const auto& size : { std::make_pair (28, 28), std::make_pair (60, 28) })
    {
        SCOPED_TRACE (size.first);
        const auto img = renderSlider (juce::Slider::RotaryVerticalDrag, size.first, size.second, 0.5);
        const int cx = size.first / 2;
        EXPECT_TRUE (near (img, cx - 1, 6, 0xB2000000, 1)) << "pointer";
        EXPECT_TRUE (near (img, cx - 1, 23, 0xB2000000, 1)) << "ring";
        EXPECT_EQ (img.getPixelAt (cx - 1, 19).getAlpha(), 0) << "no disc inside the ring";
        EXPECT_EQ (img.getPixelAt (cx - 1, 26).getAlpha(), 0) << "nothing outside the ring";
    }

    // One pixel more of radius and it is a full-size knob with a disc.
    const auto full = renderRotary (30, 0.5);
    EXPECT_TRUE (near (full, 14, 19, disc));
}

TEST_F (LookAndFeelTest, DisabledKnobs)
{
    // Full size: no disc, only a red wedge.
    const auto big = renderRotary (35, 0.5, false);
    const auto wedge = polar (17.5, 17.5, 2 * pi - pi / 16, 12.5);
    EXPECT_TRUE (near (big, wedge.x, wedge.y, 0xFFFF0000));
    const auto opposite = polar (17.5, 17.5, pi, 12.5);
    EXPECT_EQ (big.getPixelAt (opposite.x, opposite.y).getAlpha(), 0);

    const auto small = renderRotary (28, 0.5, false);
    EXPECT_TRUE (near (small, 13, 23, 0x80808080, 2));
    EXPECT_TRUE (near (small, 13, 6, 0x80808080, 2));
}

namespace
{
class ToggleTest : public ::testing::Test
{
protected:
    ToggleTest() { button.setLookAndFeel (&lnf); }
    ~ToggleTest() override { button.setLookAndFeel (nullptr); }

    juce::Image render (bool on, juce::Button::ButtonState state, bool enabled = true)
    {
        button.setToggleState (on, juce::dontSendNotification);
        button.setEnabled (enabled);
        button.setSize (100, 24);
        button.setState (state);
        return snapshot::of (button);
    }

    BrindleLookAndFeel lnf;
    juce::ToggleButton button { "On" };
};
} // namespace

TEST_F (ToggleTest, InnerPillColourFollowsStateWithPressOverHover)
{
    struct Case
    {
        bool on;
        juce::Button::ButtonState state;
        juce::uint32 inner;
    };
    const Case cases[] = {
        { true, juce::Button::buttonDown, 0xFF4B4B73 },   { true, juce::Button::buttonOver, 0xFF5A5A82 },
        { true, juce::Button::buttonNormal, 0xFF55557D }, { false, juce::Button::buttonDown, 0xFF464664 },
        { false, juce::Button::buttonOver, 0xFF3C3C5A },  { false, juce::Button::buttonNormal, 0xFF323250 },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String::toHexString ((int)c.inner).toStdString());
        const auto img = render (c.on, c.state);
        EXPECT_TRUE (near (img, 8, 12, c.inner));
        EXPECT_TRUE (near (img, 50, 2, c.inner));
        EXPECT_TRUE (near (img, 50, 1, 0xFF000000)) << "one-pixel black rim";
        EXPECT_TRUE (near (img, 50, 22, 0xFF000000));
        EXPECT_EQ (img.getPixelAt (50, 0).getAlpha(), 0);
        EXPECT_EQ (img.getPixelAt (0, 12).getAlpha(), 0);

        // The text is drawn in black across the middle.
        int darkest = 255;
        for (int y = 6; y < 18; ++y)
            for (int x = 35; x < 65; ++x)
                darkest = juce::jmin (darkest, juce::roundToInt (img.getPixelAt (x, y).getBrightness() * 255.0f));
        EXPECT_LT (darkest, 20);
    }
}

TEST_F (ToggleTest, DisabledButtonIsHalfTransparent)
{
    const auto img = render (false, juce::Button::buttonNormal, false);
    EXPECT_TRUE (near (img, 50, 1, 0x80000000, 1));
    const auto inner = juce::Colour (0x80000000).overlaidWith (juce::Colour (0x80323250));
    EXPECT_TRUE (near (img, 8, 12, inner.getARGB(), 3));
}
