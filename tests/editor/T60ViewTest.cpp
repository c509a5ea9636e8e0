#include "editor/T60View.h"
#include "tests/editor/Snapshot.h"

#include <cmath>
#include <limits>
#include <vector>

namespace snapshot = tarnwell::test::snapshot;
using tarnwell::T60View;

namespace
{
const juce::Colour fill (0x8F000000);
const juce::Colour upperBand = fill.overlaidWith (juce::Colour (0x80ADD8E6));
const juce::Colour lowerBand = fill.overlaidWith (juce::Colour (0x805A5A8C));
const juce::Colour lineOverFill = fill.overlaidWith (juce::Colour (0x8090EE90));

struct GraphCase
{
    const char* name;
    int w, h;
    float lo, hi, tr;
    juce::Rectangle<int> upper, lower; // empty when the band is not drawn
    juce::Point<float> top, knee, bottom;
};

juce::Image render (int w, int h, float lo, float hi, float tr)
{
    T60View view;
    view.setSize (w, h);
    view.t60LowValue = lo;
    view.t60HighValue = hi;
    view.transitionFreqValue = tr;
    return snapshot::of (view);
}

float distanceToLine (const GraphCase& c, juce::Point<float> p)
{
    juce::Point<float> unused;
    return juce::jmin (juce::Line<float> (c.bottom, c.knee).getDistanceFromPoint (p, unused),
                       juce::Line<float> (c.knee, c.top).getDistanceFromPoint (p, unused));
}

juce::Colour underLine (const GraphCase& c, int x, int y)
{
    if (c.upper.contains (x, y))
        return upperBand;
    if (c.lower.contains (x, y))
        return lowerBand;
    return fill;
}

// How much of a pixel the half-opaque line covers, read from how far it raised the alpha.
float coverage (const GraphCase& c, const juce::Image& img, int x, int y)
{
    const float under = underLine (c, x, y).getFloatAlpha();
    return 2.0f * (img.getPixelAt (x, y).getFloatAlpha() - under) / (1.0f - under);
}

// Every pixel clear of the line is the fill or exactly one band, so the bands' rectangles,
// their margins and their absence are all checked pixel by pixel.
void expectBandsAndFill (const GraphCase& c, const juce::Image& img)
{
    int mismatches = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (distanceToLine (c, { (float)x + 0.5f, (float)y + 0.5f }) > 2.8f
                && snapshot::channelDistance (img.getPixelAt (x, y), underLine (c, x, y)) > 3 && ++mismatches <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x"
                              << img.getPixelAt (x, y).toDisplayString (true);
    EXPECT_EQ (mismatches, 0);
}

// Along each sloped segment, row by row, the line's centre is where its end points put it.
void expectLineThrough (const GraphCase& c, const juce::Image& img)
{
    for (const auto& seg : { juce::Line<float> (c.bottom, c.knee), juce::Line<float> (c.knee, c.top) })
    {
        const float y0 = juce::jmin (seg.getStartY(), seg.getEndY());
        const float y1 = juce::jmax (seg.getStartY(), seg.getEndY());
        if (y1 - y0 < 10.0f)
        {
            // Lying along the top or bottom edge: the edge row is covered from end to end.
            const int row = y0 < 1.0f ? 0 : c.h - 1;
            const auto x0 = (int)juce::jmin (seg.getStartX(), seg.getEndX()) + 4;
            const auto x1 = (int)juce::jmax (seg.getStartX(), seg.getEndX()) - 4;
            for (int x = x0; x <= x1; ++x)
                EXPECT_GT (coverage (c, img, x, row), 0.9f) << "edge row at x " << x;
            continue;
        }
        for (int y = (int)y0 + 4; y < (int)y1 - 4; ++y)
        {
            const float cy = (float)y + 0.5f;
            const float ex = seg.getStartX()
                + (seg.getEndX() - seg.getStartX()) * (cy - seg.getStartY()) / (seg.getEndY() - seg.getStartY());
            if (ex < 2.0f)
            {
                // Half of it falls off the left edge.
                EXPECT_GT (coverage (c, img, 0, y), 0.9f) << "row " << y;
                EXPECT_LT (coverage (c, img, 3, y), 0.05f) << "row " << y;
                continue;
            }
            float sum = 0.0f, weighted = 0.0f;
            for (int x = juce::jmax (0, (int)ex - 10); x < juce::jmin (c.w, (int)ex + 11); ++x)
            {
                const float k = juce::jmax (0.0f, coverage (c, img, x, y));
                sum += k;
                weighted += k * ((float)x + 0.5f);
            }
            ASSERT_GT (sum, 1.0f) << "no line in row " << y;
            EXPECT_NEAR (weighted / sum, ex, 0.4f) << "row " << y;
        }
    }
}
} // namespace

TEST (T60View, DrawsBandsAndBentLine)
{
    const juce::Rectangle<int> none;
    const GraphCase cases[] = {
        { "construction values",
          283,
          106,
          0.8f,
          0.2f,
          0.5f,
          { 2, 2, 52, 49 },
          { 2, 55, 222, 49 },
          { 56.6f, 0 },
          { 90.56f, 53 },
          { 226.4f, 106 } },
        { "constructor size",
          420,
          160,
          0.8f,
          0.2f,
          0.5f,
          { 2, 2, 80, 76 },
          { 2, 82, 332, 76 },
          { 84, 0 },
          { 134.4f, 80 },
          { 336, 160 } },
        { "long high decay",
          283,
          106,
          0.25f,
          0.35f,
          0.8f,
          { 2, 2, 95, 17 },
          { 2, 23, 66, 80 },
          { 99.05f, 0 },
          { 82.54f, 21.2f },
          { 70.75f, 106 } },
        { "equal decays",
          283,
          106,
          0.5f,
          0.5f,
          0.5f,
          { 2, 2, 137, 49 },
          { 2, 55, 137, 49 },
          { 141.5f, 0 },
          { 141.5f, 53 },
          { 141.5f, 106 } },
        { "transition at the bottom",
          283,
          106,
          0.6f,
          0.3f,
          0.0f,
          { 2, 2, 80, 102 },
          none,
          { 84.9f, 0 },
          { 113.2f, 106 },
          { 169.8f, 106 } },
        { "transition at the top",
          283,
          106,
          0.6f,
          0.3f,
          1.0f,
          none,
          { 2, 2, 165, 102 },
          { 84.9f, 0 },
          { 113.2f, 0 },
          { 169.8f, 106 } },
        { "no low decay", 283, 106, 0.0f, 0.5f, 0.5f, { 2, 2, 137, 49 }, none, { 141.5f, 0 }, { 0, 53 }, { 0, 106 } },
        { "no decay at all", 283, 106, 0.0f, 0.0f, 0.5f, none, none, { 0, 0 }, { 0, 53 }, { 0, 106 } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto img = render (c.w, c.h, c.lo, c.hi, c.tr);
        expectBandsAndFill (c, img);
        expectLineThrough (c, img);
    }
}

TEST (T60View, LineIsHalfOpaqueLightGreen)
{
    // Equal decays: a vertical line centred on x 141.5, over the fill between the bands' ends.
    const auto img = render (283, 106, 0.5f, 0.5f, 0.5f);
    EXPECT_TRUE (snapshot::near (img, 141, 30, lineOverFill.getARGB(), 3));
}

TEST (T60View, OutOfRangeValuesDrawAsTheNearestLimit)
{
    const auto limits = render (283, 106, 1.0f, 0.0f, 1.0f);
    const auto beyond = render (283, 106, 5.0f, -3.0f, 2.0f);
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    const auto allZero = render (283, 106, 0.0f, 0.0f, 0.0f);
    const auto notANumber = render (283, 106, nan, nan, nan);
    for (int y = 0; y < 106; ++y)
        for (int x = 0; x < 283; ++x)
        {
            ASSERT_EQ (beyond.getPixelAt (x, y), limits.getPixelAt (x, y)) << x << ", " << y;
            ASSERT_EQ (notANumber.getPixelAt (x, y), allZero.getPixelAt (x, y)) << x << ", " << y;
        }

    // Painted without the framework's clipping, nothing but the fill (which covers whatever
    // clip it is given) lands more than the line's half-width outside the component.
    T60View view;
    view.setSize (100, 50);
    view.t60LowValue = 5.0f;
    view.t60HighValue = 7.0f;
    view.transitionFreqValue = -2.0f;
    juce::Image canvas (juce::Image::ARGB, 140, 90, true);
    {
        juce::Graphics g (canvas);
        g.setOrigin (20, 20);
        view.paint (g);
    }
    const auto allowed = juce::Rectangle<int> (20, 20, 100, 50).expanded (2);
    for (int y = 0; y < canvas.getHeight(); ++y)
        for (int x = 0; x < canvas.getWidth(); ++x)
        {
            if (! allowed.contains (x, y))
            {
                ASSERT_EQ (canvas.getPixelAt (x, y), fill) << x << ", " << y;
            }
        }
}
