#pragma once

#include "processor/FactoryPresets.h"

#include <string>

// The factory presets as LV2 presets: one `pset:Preset` each, described in presets.ttl and
// listed in the bundle's manifest.
namespace tarnwell::lv2::presets
{
constexpr const char* turtleFile = "presets.ttl";

// What a preset stores for a parameter's port, given the parameter's normalised value. Every
// port value in the presets goes through here, so ports in other units change them in one place.
double portValue (int parameter, float normalised) noexcept;

// The preset's URI, under the plug-in's own.
std::string uri (const FactoryPreset&);

// The manifest's entries, and the presets' own file.
std::string manifestEntries();
std::string turtle();
} // namespace tarnwell::lv2::presets
