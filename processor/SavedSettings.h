#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace tarnwell
{
// The settings block hosts store with their projects: "VC2!", the text length, the property
// tree as one line of XML, a terminating zero and one spare byte.
void writeSavedSettings (const juce::ValueTree& properties, juce::MemoryBlock& destData);

// The tree held by a block, or an invalid tree if the block holds none.
juce::ValueTree readSavedSettings (const void* data, int sizeInBytes);
} // namespace tarnwell
