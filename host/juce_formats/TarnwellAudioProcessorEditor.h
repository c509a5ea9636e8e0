#pragma once

#include "host/juce_formats/AudioProcessorParameterModel.h"
#include "editor/EditorSizeConstrainer.h"
#include "editor/TarnwellEditor.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tarnwell
{
// The editor as JUCE's wrappers (the VST3 and the standalone app) want it: a
// juce::AudioProcessorEditor holding the window content, bound to the processor's parameter
// objects. Our own glue hosts the content without it.
//
// Resizable from 100 % to 300 % (EditorSize), by the host or the content's corner handle: the
// content keeps its layout and is drawn zoomed to fill the editor.
class TarnwellAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit TarnwellAudioProcessorEditor (juce::AudioProcessor& owner);
    ~TarnwellAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // The user's zoom, 1..3: what the editor's size is over its base size.
    float getZoom() const noexcept { return zoom; }
    void setZoom (float wanted);

    TarnwellView& getView() noexcept { return content.getView(); }

private:
    AudioProcessorParameterModel model;
    TarnwellEditor content; // declared after the model it reads
    EditorSizeConstrainer sizes;
    float zoom = 1.0f;
    bool remembering = false; // from the end of construction

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellAudioProcessorEditor)
};
} // namespace tarnwell
