#include "editor/EditorSnapshot.h"

namespace tarnwell
{
juce::Image renderEditor (juce::AudioProcessor& processor, float scale)
{
    // An editor that is already open belongs to its window; otherwise one is made for the picture.
    if (auto* open = processor.getActiveEditor())
        return open->createComponentSnapshot (open->getLocalBounds(), true, scale);

    const std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    if (editor == nullptr)
        return {};
    return editor->createComponentSnapshot (editor->getLocalBounds(), true, scale);
}

bool writeEditorSnapshot (juce::AudioProcessor& processor, const juce::File& file, float scale)
{
    const auto image = renderEditor (processor, scale);
    if (! image.isValid())
        return false;

    file.deleteFile();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat png;
    return stream.openedOk() && png.writeImageToStream (image, stream);
}
} // namespace tarnwell
