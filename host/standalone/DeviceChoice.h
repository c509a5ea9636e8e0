#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace tarnwell::standalone
{
// [message-thread]
// The device the app asks for when it starts: empty once the user has chosen one (the saved
// choice wins), else a running JACK server's first client ("system" as a rule), else empty,
// which leaves JUCE to open ALSA's default device.
juce::String deviceToPrefer (const juce::PropertySet& settings);
} // namespace tarnwell::standalone
