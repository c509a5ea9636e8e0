#pragma once

#include "host/ProductIdentity.h"
#include "host/vst2/VstAbi.h"

// What Tarnwell tells a VST 2.4 host about itself. None of it is asked of the processor.
namespace tarnwell::identity
{
constexpr const char* effectName = product::name;
constexpr const char* productString = product::name;
constexpr const char* vendorString = product::vendor;
constexpr int vendorVersion = product::versionCode;
constexpr int effectVersion = product::versionCode;
constexpr int uniqueId =
    vst::fourCharCode (product::pluginCode[0], product::pluginCode[1], product::pluginCode[2], product::pluginCode[3]);
constexpr int identifyAnswer = vst::fourCharCode ('N', 'v', 'E', 'f');
constexpr int plugCategory = 1; // effect
constexpr int vstVersion = 2400;
constexpr int tailSize = 0; // "no tail size given", though the reverb rings on
constexpr int numInputs = 2;
constexpr int numOutputs = 2;

// Flags set at entry; effOpen clears HasEditor if no editor can be made.
constexpr int effectFlags = effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks;

// Longest texts handed to the host, in characters, before the terminating zero.
constexpr int maxIdentityChars = 64;
constexpr int maxParameterNameChars = 16;
constexpr int maxParameterTextChars = 24;
constexpr int maxProgramNameChars = 24;
constexpr int maxPinLabelChars = 63;
constexpr int maxPinShortLabelChars = 7;

// effCanDo: 1, -1 or 0 for an exactly matching text; 0 for anything else, and for null.
int canDo (const char* text) noexcept;
} // namespace tarnwell::identity
