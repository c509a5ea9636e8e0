#pragma once

#include <juce_core/juce_core.h>

namespace tarnwell::render
{
// Where the tool looks for Tarnwell when no --plugin names one, in this order: the Tarnwell.so
// built with the tool (beside it, as in the release archive, or in its build folder); then each
// format's per-user folder, VST 2, VST3 and LV2 (~/.vst, ~/.vst3, ~/.lv2); then the same in
// /usr/local/lib and /usr/lib. On Windows: beside the tool, then the standard VST 2 and VST3
// folders under Program Files.
juce::Array<juce::File> tarnwellCandidates();

// The first candidate installed, or a missing file if none is.
juce::File findTarnwell();

// One line for when none is: the places looked in, and --plugin.
juce::String noTarnwellFound();
} // namespace tarnwell::render
