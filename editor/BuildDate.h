#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell
{
// The compiler's date ("Sep  6 2010", the day padded with a space) as the editor shows it:
// "Sep 6 2010".
inline juce::String buildDateText (const char* compilerDate = __DATE__)
{
    return juce::String (compilerDate).replace ("  ", " ").trim();
}
} // namespace tarnwell
