// make_artwork OUT.png [SCALE]
//
// Draws the editor's 453 x 200 background, at SCALE device pixels per layout pixel (1 or 2; 1
// when left out), so high-density displays get the picture drawn at their resolution rather
// than stretched: a rounded mauve-grey panel on a dark surround, a
// recessed frame whose flat interior lies exactly under the decay-time graph, shallow wells for
// the two knobs with their engraved captions, and the maker's and the effect's names.

#include "host/ProductIdentity.h"

#include <juce_graphics/juce_graphics.h>
#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>

namespace
{
constexpr int width = 453, height = 200;

const juce::Colour surround { 0xff352929 };
const juce::Colour panelTop { 0xff998c90 };
const juce::Colour panelBottom { 0xff554d51 };
const juce::Colour frameInterior { 0xff443d3f };
const juce::Colour engraving { 0xff2b2427 };

juce::Typeface::Ptr loadTypeface (const char* path)
{
    juce::MemoryBlock data;
    if (! juce::File (path).loadFileAsData (data) || data.isEmpty())
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}

// The panel's colour at a given row, for shading drawn on top of it.
juce::Colour panelAt (float y)
{
    return panelTop.interpolatedWith (panelBottom, y / static_cast<float> (height - 1));
}

// The outlines of a line of text, spaced out by `tracking` (a fraction of the height).
juce::Path textPath (const juce::Font& font, const juce::String& text, float tracking)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font.withExtraKerningFactor (tracking), text, 0.0f, 0.0f);
    juce::Path path;
    glyphs.createPath (path);
    return path;
}

// Text whose ink fills `box` exactly (the box's edges are pixel edges), cut into the panel: dark
// letters with a light edge below, as if the light came from above.
void engrave (juce::Graphics& g, const juce::Font& font, const juce::String& text, float tracking,
              juce::Rectangle<float> box, juce::Colour ink, float highlightAlpha,
              int placement = juce::RectanglePlacement::stretchToFit)
{
    auto path = textPath (font, text, tracking);
    path.applyTransform (juce::RectanglePlacement (placement).getTransformToFit (path.getBounds(), box));

    g.setColour (juce::Colours::white.withAlpha (highlightAlpha));
    g.fillPath (path, juce::AffineTransform::translation (0.0f, 1.0f));
    g.setColour (ink);
    g.fillPath (path);
}

void drawPanel (juce::Graphics& g)
{
    g.fillAll (surround);

    const auto panel = juce::Rectangle<float> (0.0f, 0.0f, width, height);
    constexpr float corner = 11.0f;
    g.setGradientFill (juce::ColourGradient::vertical (panelTop, 0.0f, panelBottom, static_cast<float> (height)));
    g.fillRoundedRectangle (panel, corner);

    // A bevel: lit along the top, shadowed along the bottom.
    g.setColour (juce::Colours::white.withAlpha (0.22f));
    g.drawRoundedRectangle (panel.reduced (0.5f).withTrimmedBottom (1.0f), corner, 1.0f);
    g.setColour (juce::Colours::black.withAlpha (0.30f));
    g.drawRoundedRectangle (panel.reduced (0.5f).withTrimmedTop (1.0f), corner, 1.0f);
    g.setGradientFill (
        juce::ColourGradient::vertical (panelTop, 1.5f, panelBottom, static_cast<float> (height) - 1.5f));
    g.fillRoundedRectangle (panel.reduced (1.5f), corner - 1.5f);
}

// The recessed frame: outer edge (116, 33) to (402, 142), flat interior x 119..399, y 36..139.
void drawFrame (juce::Graphics& g)
{
    const juce::Rectangle<int> outer (116, 33, 287, 110);

    // A soft shadow of the panel's edge falling into the recess, and a lit lip below it.
    g.setColour (juce::Colours::white.withAlpha (0.18f));
    g.drawRect (outer.expanded (1).translated (1, 1), 1);
    g.setColour (juce::Colours::black.withAlpha (0.20f));
    g.drawRect (outer.expanded (1), 1);

    // Three rings, darkest at the top and left where the lip shades the recess.
    const juce::Colour shaded[] = { juce::Colour (0xff221c1e), juce::Colour (0xff2c2628), juce::Colour (0xff363032) };
    const juce::Colour lit[] = { juce::Colour (0xff8a7f83), juce::Colour (0xff6c6265), juce::Colour (0xff534a4d) };
    for (int ring = 0; ring < 3; ++ring)
    {
        const auto r = outer.reduced (ring);
        g.setColour (lit[ring]);
        g.fillRect (r.getX(), r.getBottom() - 1, r.getWidth(), 1);
        g.fillRect (r.getRight() - 1, r.getY(), 1, r.getHeight());
        g.setColour (shaded[ring]);
        g.fillRect (r.getX(), r.getY(), r.getWidth() - 1, 1);
        g.fillRect (r.getX(), r.getY(), 1, r.getHeight() - 1);
    }

    g.setColour (frameInterior);
    g.fillRect (119, 36, 281, 104);
}

// A shallow well around a knob of 35 x 35 at (x, y).
void drawKnobWell (juce::Graphics& g, int x, int y)
{
    const auto centre =
        juce::Rectangle<float> (static_cast<float> (x), static_cast<float> (y), 35.0f, 35.0f).getCentre();
    const auto well = juce::Rectangle<float> (38.0f, 38.0f).withCentre (centre);

    g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.32f), centre.x, well.getY(),
                                             juce::Colours::white.withAlpha (0.22f), centre.x, well.getBottom(),
                                             false));
    g.fillEllipse (well);
    g.setColour (panelAt (centre.y).darker (0.12f));
    g.fillEllipse (well.reduced (1.5f));

    // Dots marking the knob's sweep, 7 o'clock to 5 o'clock.
    constexpr int marks = 11;
    for (int i = 0; i < marks; ++i)
    {
        const double angle = juce::MathConstants<double>::pi * (1.2 + 1.6 * i / (marks - 1));
        const auto radius = 21.5f;
        const auto p = centre.getPointOnCircumference (radius, static_cast<float> (angle));
        const float size = (i == 0 || i == marks - 1) ? 2.2f : 1.6f;
        g.setColour (engraving.withAlpha (0.75f));
        g.fillEllipse (juce::Rectangle<float> (size, size).withCentre (p));
    }
}

// A faint groove, cut into the panel.
void drawGroove (juce::Graphics& g, float x1, float y1, float x2, float y2)
{
    g.setColour (juce::Colours::black.withAlpha (0.25f));
    g.drawLine (x1, y1, x2, y2, 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.16f));
    g.drawLine (x1 + (y1 == y2 ? 0.0f : 1.0f), y1 + (y1 == y2 ? 1.0f : 0.0f), x2 + (y1 == y2 ? 0.0f : 1.0f),
                y2 + (y1 == y2 ? 1.0f : 0.0f), 1.0f);
}
} // namespace

int main (int argc, char** argv)
{
    const int scale = argc == 3 ? std::atoi (argv[2]) : 1;
    if (argc < 2 || argc > 3 || scale < 1 || scale > 4)
    {
        std::fprintf (stderr, "usage: make_artwork OUT.png [SCALE]\n");
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juce;

    const auto regular = loadTypeface (TARNWELL_FONT_REGULAR);
    const auto bold = loadTypeface (TARNWELL_FONT_BOLD);
    if (regular == nullptr || bold == nullptr)
    {
        std::fprintf (stderr, "make_artwork: cannot load the Gillius ADF typeface\n");
        return 1;
    }

    juce::Image image (juce::Image::RGB, width * scale, height * scale, true);
    {
        juce::Graphics g (image);
        // Everything below is in layout pixels; an integer scale keeps every edge on a pixel edge.
        g.addTransform (juce::AffineTransform::scale (static_cast<float> (scale)));
        drawPanel (g);
        drawFrame (g);

        drawKnobWell (g, 38, 55);
        drawKnobWell (g, 39, 122);

        // Column and row dividers between the knobs, the graph and the sliders.
        drawGroove (g, 100.5f, 40.0f, 100.5f, 188.0f);
        drawGroove (g, 108.0f, 146.5f, 440.0f, 146.5f);

        // Captions: ink from x 34 to 82 and 29 to 88, rows 43..50 and 110..117.
        const juce::Font caption (regular);
        engrave (g, caption.withHeight (11.0f), "MIXTURE", 0.12f, { 34.0f, 43.0f, 49.0f, 8.0f }, engraving, 0.28f);
        engrave (g, caption.withHeight (11.0f), "DIFFUSION", 0.10f, { 29.0f, 110.0f, 60.0f, 8.0f }, engraving, 0.28f);

        // The maker's wordmark at the top left, the effect's name at the top right.
        const juce::Font mark (bold);
        engrave (g, mark.withHeight (18.0f), tarnwell::product::vendor, 0.02f, { 14.0f, 9.0f, 80.0f, 17.0f }, engraving,
                 0.30f, juce::RectanglePlacement::xLeft | juce::RectanglePlacement::yTop);
        engrave (g, mark.withHeight (20.0f), tarnwell::product::name, 0.04f, { 339.0f, 8.0f, 100.0f, 18.0f },
                 juce::Colour (0xff3a2f33), 0.30f, juce::RectanglePlacement::xRight | juce::RectanglePlacement::yTop);
    }

    const juce::File out = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    out.deleteFile();
    juce::FileOutputStream stream (out);
    juce::PNGImageFormat png;
    if (! stream.openedOk() || ! png.writeImageToStream (image, stream))
    {
        std::fprintf (stderr, "make_artwork: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
