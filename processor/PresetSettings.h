#pragma once

#include "processor/FactoryPresets.h"

#include <juce_core/juce_core.h>

namespace tarnwell
{
// A preset as the settings block the processor saves once the preset is restored: what the
// VST 2.4 and VST3 preset files carry, and what the standalone app restores.
juce::MemoryBlock presetSettings (const FactoryPreset&);
} // namespace tarnwell
