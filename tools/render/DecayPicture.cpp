#include "tools/render/DecayPicture.h"

#include <TarnwellFonts.h>

#include <cmath>

namespace tarnwell::render
{
namespace
{
constexpr float margin = 28.0f;
constexpr float gridTop = 104.0f, gridLeft = margin + 24.0f;
constexpr int columns = 4;
constexpr float columnGap = 22.0f, rowGap = 20.0f;
constexpr float panelTitleHeight = 26.0f, levelLabelWidth = 30.0f, timeLabelHeight = 36.0f;
constexpr double fitTop = -5.0, fitBottom = -25.0, levelStep = 10.0;

const juce::Colour ink (0xFF1F2430), secondaryInk (0xFF5F6673), tickInk (0xFF7A818C);
const juce::Colour gridColour (0xFFE4E7EC), targetLevelColour (0xFFB4BAC4), frameColour (0xFFAEB4BE);
const juce::Colour fitRangeColour (0xFFF1F3F7), setLineColour (0xFF2B2F36);

// From low to high, warm to cool, each dark enough for a thin line on white.
const juce::uint32 bandColours[] = {
    0xFF7A1F5C, 0xFFB3325A, 0xFFD9572B, 0xFFB98300, 0xFF4E9A3A, 0xFF1F7FA8, 0xFF3F4FA0
};

// A step of 1, 2, 2.5 or 5 times a power of ten that divides `span` into at most five parts.
double niceStep (double span)
{
    const double power = std::pow (10.0, std::floor (std::log10 (span / 5)));
    for (const double m : { 1.0, 2.0, 2.5, 5.0, 10.0 })
        if (span / (m * power) <= 5.0 + 1e-9)
            return m * power;
    return 10 * power;
}

juce::String secondsText (double t)
{
    return std::isfinite (t) ? juce::String (t, 2) + " s" : juce::String ("-");
}
} // namespace

DecayPicture::DecayPicture (const DecayReport& r)
    : report (r),
      typeface (
          juce::Typeface::createSystemTypefaceFor (TarnwellFonts::GilliusADFRegular_otf,
                                                   static_cast<size_t> (TarnwellFonts::GilliusADFRegular_otfSize)))
{
    // The same time axis in every panel, long enough for the slowest decay, set or measured.
    double longest = 0;
    for (const auto& band : report.bands)
    {
        longest = juce::jmax (longest, band.measured.t60);
        if (band.setT60 && std::isfinite (*band.setT60))
            longest = juce::jmax (longest, *band.setT60);
    }
    const double span = juce::jmax (0.1, 1.1 * longest);
    timeStep = niceStep (span);
    timeEnd = std::ceil (span / timeStep - 1e-9) * timeStep;
}

juce::Colour DecayPicture::bandColour (size_t index)
{
    return juce::Colour (bandColours[index % std::size (bandColours)]);
}

juce::Font DecayPicture::font (float size) const
{
    return (typeface != nullptr ? juce::Font (typeface) : juce::Font()).withHeight (size);
}

juce::Rectangle<float> DecayPicture::cell (size_t index) const
{
    const float cellWidth = (width - margin - gridLeft - (columns - 1) * columnGap) / columns;
    const float cellHeight = (height - margin - gridTop - rowGap) / 2;
    const auto column = static_cast<float> (index % columns), row = static_cast<float> (index / columns);
    return { gridLeft + column * (cellWidth + columnGap), gridTop + row * (cellHeight + rowGap), cellWidth,
             cellHeight };
}

juce::Rectangle<float> DecayPicture::plotArea (size_t index) const
{
    auto area = cell (index);
    area.removeFromTop (panelTitleHeight);
    area.removeFromLeft (levelLabelWidth);
    area.removeFromBottom (timeLabelHeight);
    return area;
}

juce::Point<float> DecayPicture::pointFor (size_t index, double seconds, double levelDb) const
{
    const auto area = plotArea (index);
    return { area.getX() + static_cast<float> (seconds / timeEnd) * area.getWidth(),
             area.getY() + static_cast<float> (levelDb / lowestLevel) * area.getHeight() };
}

void DecayPicture::drawPanel (juce::Graphics& g, size_t index) const
{
    const auto& band = report.bands[index];

    // Title: the band, then what was measured and what was set.
    auto titleRow = cell (index).removeFromTop (panelTitleHeight - 6).withTrimmedLeft (levelLabelWidth);
    g.setColour (bandColour (index));
    g.setFont (font (19.0f));
    g.drawText (bandName (band.measured.centre), titleRow, juce::Justification::bottomLeft);
    g.setColour (secondaryInk);
    g.setFont (font (13.0f));
    g.drawText ("measured " + (band.measured.t60 > 0 ? secondsText (band.measured.t60) : juce::String ("-"))
                    + (band.setT60 ? juce::String::fromUTF8 ("  \u00b7  set ") + secondsText (*band.setT60)
                                   : juce::String()),
                titleRow, juce::Justification::bottomRight);

    drawAxes (g, index);
    drawDecay (g, index);

    g.setColour (frameColour);
    g.drawRect (plotArea (index), 1.0f);
}

void DecayPicture::drawAxes (juce::Graphics& g, size_t index) const
{
    const auto area = plotArea (index);

    // The range the T60 is fitted over, then the grid.
    g.setColour (fitRangeColour);
    g.fillRect (juce::Rectangle<float>::leftTopRightBottom (area.getX(), pointFor (index, 0, fitTop).y, area.getRight(),
                                                            pointFor (index, 0, fitBottom).y));
    g.setFont (font (12.5f));
    for (double level = 0; level >= lowestLevel - 1e-9; level -= levelStep)
    {
        const float y = pointFor (index, 0, level).y;
        g.setColour (std::abs (level + 60) < 1e-9 ? targetLevelColour : gridColour);
        if (level < 0 && level > lowestLevel)
            g.drawHorizontalLine (juce::roundToInt (y), area.getX(), area.getRight());
        g.setColour (tickInk);
        g.drawText (juce::String (juce::roundToInt (level)),
                    juce::Rectangle<float> (area.getX() - levelLabelWidth, y - 8, levelLabelWidth - 5, 16),
                    juce::Justification::centredRight);
    }
    for (int step = 0; step * timeStep <= timeEnd + 1e-9; ++step)
    {
        const double t = step * timeStep;
        const float x = pointFor (index, t, 0).x;
        if (step > 0 && t < timeEnd - 1e-9)
        {
            g.setColour (gridColour);
            g.drawVerticalLine (juce::roundToInt (x), area.getY(), area.getBottom());
        }
        g.setColour (tickInk);
        const auto text = timeStep < 0.1 ? juce::String (t, 2)
            : timeStep < 1               ? juce::String (t, 1)
                                         : juce::String (juce::roundToInt (t));
        g.drawText (text, juce::Rectangle<float> (x - 20, area.getBottom() + 6, 40, 16),
                    juce::Justification::centredTop);
    }
    if (index + columns >= report.bands.size()) // nothing below it
    {
        g.setColour (secondaryInk);
        g.setFont (font (14.0f));
        g.drawText ("Time (s)", area.withY (area.getBottom() + 21).withHeight (18), juce::Justification::centred);
    }
}

void DecayPicture::drawDecay (juce::Graphics& g, size_t index) const
{
    const auto& band = report.bands[index];
    const auto area = plotArea (index);
    juce::Graphics::ScopedSaveState clip (g);
    g.reduceClipRegion (area.toNearestInt());

    // What the settings ask for: a straight fall of 60 dB in the set T60, from the moment the
    // first sound comes back (the shortest delay line is a pre-delay at any sample rate).
    const auto& curve = band.measured.curveDb;
    if (band.setT60 && std::isfinite (*band.setT60))
    {
        size_t quiet = 0;
        while (quiet + 1 < curve.size() && curve[quiet + 1] > -0.01f)
            ++quiet;
        const double onset = double (quiet) * band.measured.curveInterval;
        juce::Path line;
        line.startNewSubPath (pointFor (index, onset, 0));
        line.lineTo (pointFor (index, onset + *band.setT60 * lowestLevel / -60.0, lowestLevel));
        juce::Path dashed;
        const float dashes[] = { 7.0f, 4.0f };
        juce::PathStrokeType (1.5f).createDashedStroke (dashed, line, dashes, 2);
        g.setColour (setLineColour);
        g.fillPath (dashed);
    }

    // The measured energy decay curve, about a point per pixel.
    if (! curve.empty() && band.measured.curveInterval > 0)
    {
        const double pixelsPerPoint = band.measured.curveInterval / timeEnd * static_cast<double> (area.getWidth());
        const auto stride = static_cast<size_t> (juce::jmax (1.0, std::floor (1.0 / pixelsPerPoint)));
        juce::Path path;
        for (size_t n = 0; n < curve.size(); n += stride)
        {
            const double t = double (n) * band.measured.curveInterval;
            const auto p = pointFor (index, t, juce::jmax (static_cast<double> (curve[n]), lowestLevel - 10));
            if (n == 0)
                path.startNewSubPath (p);
            else
                path.lineTo (p);
            if (t > timeEnd)
                break;
        }
        g.setColour (bandColour (index));
        g.strokePath (path, juce::PathStrokeType (2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void DecayPicture::drawTableAndLegend (juce::Graphics& g, juce::Rectangle<float> area) const
{
    area.removeFromTop (panelTitleHeight - 6);
    area = area.withTrimmedLeft (12);

    g.setColour (ink);
    g.setFont (font (17.0f));
    g.drawText ("T60 per band", area.removeFromTop (24), juce::Justification::bottomLeft);
    area.removeFromTop (4);

    const float rowHeight = 19.0f;
    const float columnsX[] = { 0.0f, 0.36f, 0.64f, 1.0f }; // band | measured | set
    const auto columnOf = [&] (juce::Rectangle<float> row, int c) {
        return juce::Rectangle<float>::leftTopRightBottom (row.getX() + columnsX[c] * row.getWidth(), row.getY(),
                                                           row.getX() + columnsX[c + 1] * row.getWidth() - 6,
                                                           row.getBottom());
    };

    auto header = area.removeFromTop (rowHeight);
    g.setColour (secondaryInk);
    g.setFont (font (14.0f));
    g.drawText ("band", columnOf (header, 0).withTrimmedLeft (22), juce::Justification::centredLeft);
    g.drawText ("measured", columnOf (header, 1), juce::Justification::centredRight);
    g.drawText ("set", columnOf (header, 2), juce::Justification::centredRight);
    g.setColour (frameColour);
    g.drawHorizontalLine (juce::roundToInt (area.getY()), area.getX(), area.getRight() - 6);

    g.setFont (font (15.0f));
    for (size_t i = 0; i < report.bands.size(); ++i)
    {
        const auto& band = report.bands[i];
        auto row = area.removeFromTop (rowHeight);
        g.setColour (bandColour (i));
        g.fillRect (juce::Rectangle<float> (row.getX(), row.getCentreY() - 1.1f, 14, 2.2f));
        g.setColour (ink);
        g.drawText (bandName (band.measured.centre), columnOf (row, 0).withTrimmedLeft (22),
                    juce::Justification::centredLeft);
        g.drawText (band.measured.t60 > 0 ? secondsText (band.measured.t60) : juce::String ("-"), columnOf (row, 1),
                    juce::Justification::centredRight);
        g.drawText (band.setT60 ? secondsText (*band.setT60) : juce::String ("-"), columnOf (row, 2),
                    juce::Justification::centredRight);
    }

    // The legend.
    area.removeFromTop (16);
    const auto legendRow = [&] (const juce::String& text, auto drawSample) {
        auto row = area.removeFromTop (22);
        drawSample (row.removeFromLeft (30).reduced (0, 4));
        g.setColour (secondaryInk);
        g.setFont (font (14.0f));
        g.drawText (text, row.withTrimmedLeft (6), juce::Justification::centredLeft);
    };
    legendRow ("energy decay, measured", [&] (juce::Rectangle<float> r) {
        g.setColour (ink);
        g.fillRect (r.withSizeKeepingCentre (r.getWidth(), 2.2f));
    });
    legendRow ("the decay the settings ask for", [&] (juce::Rectangle<float> r) {
        juce::Path line, dashed;
        line.startNewSubPath (r.getX(), r.getCentreY());
        line.lineTo (r.getRight(), r.getCentreY());
        const float dashes[] = { 7.0f, 4.0f };
        juce::PathStrokeType (1.5f).createDashedStroke (dashed, line, dashes, 2);
        g.setColour (setLineColour);
        g.fillPath (dashed);
    });
    legendRow ("T60 fitted from -5 to -25 dB", [&] (juce::Rectangle<float> r) {
        g.setColour (fitRangeColour);
        g.fillRect (r);
        g.setColour (frameColour);
        g.drawRect (r, 1.0f);
    });
}

juce::Image DecayPicture::draw() const
{
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::white);

    g.setColour (ink);
    g.setFont (font (28.0f));
    g.drawText (report.plugInName + ": energy decay by octave band",
                juce::Rectangle<float> (margin, 18, width - 2 * margin, 34), juce::Justification::bottomLeft);
    g.setColour (secondaryInk);
    g.setFont (font (16.0f));
    g.drawText (report.settings + (report.settings.isEmpty() ? juce::String() : juce::String::fromUTF8 ("  \u00b7  "))
                    + "wet impulse response at " + juce::String (juce::roundToInt (report.sampleRate)) + " Hz",
                juce::Rectangle<float> (margin, 56, width - 2 * margin, 22), juce::Justification::centredLeft);

    for (size_t i = 0; i < report.bands.size(); ++i)
        drawPanel (g, i);

    // The level axis's title, once per row.
    for (size_t i = 0; i < report.bands.size(); i += columns)
    {
        const auto area = plotArea (i);
        juce::Graphics::ScopedSaveState turned (g);
        g.addTransform (
            juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, margin, area.getCentreY()));
        g.setColour (secondaryInk);
        g.setFont (font (14.0f));
        g.drawText ("Energy (dB)", juce::Rectangle<float> (margin - 80, area.getCentreY() - 4, 160, 18),
                    juce::Justification::centred);
    }

    drawTableAndLegend (g, cell (report.bands.size()));
    return image;
}

bool writeDecayPicture (OutputFile& output, const DecayReport& report)
{
    const auto image = DecayPicture (report).draw();
    {
        juce::FileOutputStream out (output.getTemporary());
        juce::PNGImageFormat png;
        if (! out.openedOk() || ! png.writeImageToStream (image, out))
            return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }
    return output.commit();
}
} // namespace tarnwell::render
