#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <cstddef>

namespace tarnwell
{
// Reads one XML document from UTF-8 text into a property tree: the root element's tag becomes
// the tree type, each attribute a text property in document order, each child element a child
// tree. Character data, comments and processing instructions are skipped.
//
// The text comes from whatever a host hands back, so the reader is strict and bounded: it
// touches no byte past `length`, refuses text that is not well-formed (an invalid tree comes
// back), refuses nesting deeper than `maxXmlDepth`, and refuses any document type, so no
// declared entity is ever expanded and a few bytes cannot grow into an unbounded tree.
constexpr int maxXmlDepth = 64;

juce::ValueTree readTreeFromXml (const char* text, std::size_t length);
} // namespace tarnwell
