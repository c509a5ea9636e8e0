#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// The processor's editor as a picture, rendered offscreen: no display needed. Returns an
// invalid image if the processor has no editor.
juce::Image renderEditor (juce::AudioProcessor& processor, float scale = 1.0f);

// Writes renderEditor's picture as a PNG file; false if there is nothing to write or it fails.
bool writeEditorSnapshot (juce::AudioProcessor& processor, const juce::File& file, float scale = 1.0f);
} // namespace tarnwell
