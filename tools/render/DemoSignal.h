#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tarnwell::render
{
// A dry stereo signal for hearing a reverb: a few clicks, then a short plucked chord, then
// silence for the tail. Made in code, the same every time.
juce::AudioBuffer<float> makeDemoSignal (double sampleRate);
} // namespace tarnwell::render
