#pragma once

#include "processor/ParameterTable.h"

#include <array>
#include <string>

namespace tarnwell
{
// The factory presets: every format's preset files, the standalone app's menu and the render
// tool's --preset are made from this one table. Each gives all five values, so a preset sounds
// the same whatever a new instance's defaults are.
struct FactoryPreset
{
    const char* name; // as hosts list it; also the file name of its preset files
    const char* summary; // one line, for the preset page and the render tool's list
    std::array<float, parameters::count> normalised;
};

namespace factoryPresets
{
int count() noexcept;

// nullptr outside 0 .. count() - 1.
const FactoryPreset* at (int index) noexcept;

// By name, ignoring case; nullptr if there is none of that name.
const FactoryPreset* find (const juce::String& name) noexcept;

// "small-room": for URIs and anchors.
std::string slug (const FactoryPreset&);
} // namespace factoryPresets
} // namespace tarnwell
