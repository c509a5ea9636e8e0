#pragma once

// The VST 2.4 ABI as the host binding uses it: FST's structures and known numbers, plus the
// real numbers of the requests and flags for which FST only has placeholders (>= 100000, or 0
// for the pin flags). Answering a placeholder would silently never match a real host.
// FST2VST names the record "struct AEffect", as JUCE's headers declare it.
#ifndef FST2VST
#define FST2VST 1
#endif
#include <pluginterfaces/fst/fst.h>

namespace tarnwell::vst
{
// Plug-in requests FST names only with placeholders.
enum : int {
    effGetVu = 9,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditTop = 20,
    effEditSleep = 21,
    effGetNumProgramCategories = 28,
    effCopyProgram = 30,
    effConnectInput = 31,
    effConnectOutput = 32,
    effSetBypass = 44,
    effGetTailSize = 52,
    effIdle = 53,
    effGetParameterProperties = 56,
    effKeysRequired = 57,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// Host callbacks FST names only with placeholders.
enum : int {
    audioMasterIdle = 3,
    audioMasterIOChanged = 13,
    audioMasterUpdateDisplay = 42,
};

// VstPinProperties::flags (FST defines all three as 0).
enum : int {
    pinIsActive = 1 << 0,
    pinIsStereo = 1 << 1,
    pinUseSpeaker = 1 << 2,
};

constexpr int effectMagic = 0x56737450; // "VstP"

constexpr int fourCharCode (char a, char b, char c, char d) noexcept
{
    return static_cast<int> ((static_cast<unsigned> (static_cast<unsigned char> (a)) << 24)
                             | (static_cast<unsigned> (static_cast<unsigned char> (b)) << 16)
                             | (static_cast<unsigned> (static_cast<unsigned char> (c)) << 8)
                             | static_cast<unsigned> (static_cast<unsigned char> (d)));
}
// effVendorSpecific as several hosts send their display scale: index 'PreS', value 'AeCs', the
// factor in the float argument; 1 answers that it was applied.
constexpr int scaleMessageIndex = fourCharCode ('P', 'r', 'e', 'S');
constexpr int scaleMessageValue = fourCharCode ('A', 'e', 'C', 's');
} // namespace tarnwell::vst
