#include "editor/EditorFonts.h"

#include <TarnwellFonts.h>

namespace tarnwell
{
EditorFonts::EditorFonts()
    : gillius (juce::Typeface::createSystemTypefaceFor (TarnwellFonts::GilliusADFRegular_otf,
                                                        static_cast<size_t> (TarnwellFonts::GilliusADFRegular_otfSize)))
{}

juce::Font EditorFonts::gillSans (float height) const
{
    // Should the embedded face ever fail to load, the framework's default sans stands in.
    return (gillius != nullptr ? juce::Font (gillius) : juce::Font()).withHeight (height);
}

juce::Font EditorFonts::lucidaGrande (float height) const
{
    return gillSans (height);
}
} // namespace tarnwell
