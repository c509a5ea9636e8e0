#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <utility>
#include <vector>

namespace tarnwell::render
{
// A dry stereo signal for hearing a reverb: a few clicks, then a short plucked chord, then
// silence for the tail. Made in code, the same every time.
juce::AudioBuffer<float> makeDemoSignal (double sampleRate);

// What `demo` sets in Tarnwell before any --set (normalised values): a transition low enough
// that the decay picture shows T60Low (3.5 s) in the lowest octave bands and T60High (1 s) in
// the highest, at 670 Hz; Mix 35 %, Diffusion 0.7. The README's picture is this one.
std::vector<std::pair<juce::String, float>> demoSettings();
} // namespace tarnwell::render
