#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell
{
// Writes at most maxChars characters of text and a terminating zero into a host's buffer.
// copyToUTF8 counts the zero and never splits a character. A null buffer is left alone.
inline void copyToHost (void* dest, const juce::String& text, int maxChars)
{
    if (dest != nullptr)
        text.substring (0, maxChars).copyToUTF8 (static_cast<char*> (dest), static_cast<size_t> (maxChars) + 1);
}
} // namespace tarnwell
