#include "host/juce_formats/TarnwellAudioProcessorEditor.h"

#include "editor/EditorSize.h"
#include "editor/RememberedZoom.h"

namespace tarnwell
{
TarnwellAudioProcessorEditor::TarnwellAudioProcessorEditor (juce::AudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), model (owner), content (model)
{
    addAndMakeVisible (content);
    setSize (content.getWidth(), content.getHeight());

    // Hosts and the standalone window resize through the constrainer; our own corner handle,
    // not JUCE's, which would be drawn over the picture.
    setConstrainer (&sizes);
    setResizable (true, false);
    content.setUserResize ([this] (float widthFactor, float heightFactor) {
        setZoom (EditorSize::zoomForDrag (zoom, widthFactor, heightFactor));
    });

    // At the size the user chose last; every change from here on is the user's or the host's.
    setZoom (rememberedZoom::load());
    remembering = true;
}

void TarnwellAudioProcessorEditor::setZoom (float wanted)
{
    const auto size = EditorSize::sizeFor (wanted);
    setSize (size.getWidth(), size.getHeight());
}

void TarnwellAudioProcessorEditor::resized()
{
    // The content fills the editor: drawn at the zoom, never stretched as a picture.
    const auto before = zoom;
    zoom = EditorSize::zoomFor (getWidth(), getHeight(), zoom);
    content.setTransform (juce::AffineTransform::scale (zoom));
    if (remembering && zoom != before)
        rememberedZoom::save (zoom);
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
