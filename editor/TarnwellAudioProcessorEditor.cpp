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

void TarnwellAudioProcessorEditor::paint (juce::Graphics& g)
{
    // Entirely covered by the content.
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.setFont (15.0f);
    g.drawFittedText ("Hello World!", 0, 0, getWidth(), getHeight(), juce::Justification::centred, 1, 0.7f);
}
} // namespace tarnwell
