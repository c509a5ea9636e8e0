#pragma once

#include "processor/FactoryPresets.h"

#include <juce_core/juce_core.h>

// The factory presets as files hosts open, each holding the settings block the preset restores.
namespace tarnwell::presetFiles
{
// A VST3 preset: the "VST3" header naming the processor's class, the component state ("Comp")
// and an empty controller state ("Cont"), then the chunk list.
juce::MemoryBlock vst3 (const FactoryPreset&);

// A VST 2.4 program file in chunk form: 'CcnK' … 'FPCh', the plug-in's unique ID and version,
// the program's name, then the settings block.
juce::MemoryBlock fxp (const FactoryPreset&);

// The VST3 processor's class ID as the 32 hexadecimal digits preset files carry.
juce::String vst3ClassId();
} // namespace tarnwell::presetFiles
