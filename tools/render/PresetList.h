#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// The factory presets, one a line: the name, the five settings as the plug-in shows them, and
// what the preset is for, in columns two or more spaces apart.
juce::String presetList();
} // namespace tarnwell::render
