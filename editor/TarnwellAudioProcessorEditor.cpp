#include "editor/TarnwellAudioProcessorEditor.h"

namespace tarnwell
{
TarnwellAudioProcessorEditor::TarnwellAudioProcessorEditor (juce::AudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), model (owner), content (model)
{
    addAndMakeVisible (content);
    setSize (content.getWidth(), content.getHeight());
}

TarnwellAudioProcessorEditor::~TarnwellAudioProcessorEditor() = default;
} // namespace tarnwell
