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

// A host's text of at most maxChars bytes; reading stops at its terminating zero, so a shorter
// buffer is never read past its end.
inline juce::String textFromHost (const void* source, int maxChars)
{
    if (source == nullptr)
        return {};
    const auto* chars = static_cast<const char*> (source);
    int length = 0;
    while (length < maxChars && chars[length] != 0)
        ++length;
    return juce::String::fromUTF8 (chars, length);
}
} // namespace tarnwell
