#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// The URIs of the plug-ins that an LV2 bundle folder declares, read by lilv from that bundle
// alone. A plug-in's name need not match its bundle's ("ACE Reverb" in a-reverb.lv2), and a
// host's world holds every installed bundle, so the bundle itself must say.
juce::StringArray pluginUrisInBundle (const juce::File& bundle);
} // namespace tarnwell::render
