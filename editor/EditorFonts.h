#pragma once

#include <juce_graphics/juce_graphics.h>

namespace tarnwell
{
// The editor's typefaces come from its own binary, not from the system: "Gill Sans" and
// "Lucida Grande" are rarely installed outside macOS, and a system fallback would change every
// label's width. Both are drawn with the embedded Gillius ADF.
class EditorFonts
{
public:
    EditorFonts();

    juce::Font gillSans (float height) const;
    juce::Font lucidaGrande (float height) const;

private:
    juce::Typeface::Ptr gillius;
};
} // namespace tarnwell
