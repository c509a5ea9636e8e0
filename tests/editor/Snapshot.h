#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

namespace tarnwell::test::snapshot
{
inline juce::Image of (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}

inline bool equal (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

inline int channelDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs (a.getAlpha() - b.getAlpha()), std::abs (a.getRed() - b.getRed()),
                       std::abs (a.getGreen() - b.getGreen()), std::abs (a.getBlue() - b.getBlue()));
}

inline ::testing::AssertionResult near (const juce::Image& img, int x, int y, juce::uint32 argb, int tolerance = 0)
{
    const auto actual = img.getPixelAt (x, y);
    if (channelDistance (actual, juce::Colour (argb)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << actual.toDisplayString (true)
                                         << ", expected 0x" << juce::Colour (argb).toDisplayString (true);
}

// True where a pixel is mostly one colour rather than another, for anti-aliased edges.
inline bool closerTo (const juce::Image& img, int x, int y, juce::Colour a, juce::Colour b)
{
    const auto p = img.getPixelAt (x, y);
    return channelDistance (p, a) < channelDistance (p, b);
}
} // namespace tarnwell::test::snapshot
