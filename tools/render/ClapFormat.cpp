#include "tools/render/ClapFormat.h"

#include "tools/render/ClapInstance.h"

namespace tarnwell::render
{
namespace
{
// "PATH#ID": the file and the plug-in's CLAP id.
std::pair<juce::String, juce::String> fileAndId (const juce::PluginDescription& d)
{
    return { d.fileOrIdentifier.upToLastOccurrenceOf ("#", false, false),
             d.fileOrIdentifier.fromLastOccurrenceOf ("#", false, false) };
}
} // namespace

void ClapFormat::findAllTypesForFile (juce::OwnedArray<juce::PluginDescription>& found, const juce::String& path)
{
    describeClapPlugins (path, found);
}

bool ClapFormat::doesPluginStillExist (const juce::PluginDescription& d)
{
    return juce::File (fileAndId (d).first).existsAsFile();
}

void ClapFormat::createPluginInstance (const juce::PluginDescription& d, double, int, PluginCreationCallback callback)
{
    const auto [file, id] = fileAndId (d);
    auto& library = libraries[file];
    if (library == nullptr)
        library = std::make_shared<clapHost::Library> (file.toStdString());
    if (! library->isLoaded())
    {
        callback (nullptr, "cannot load " + file);
        return;
    }
    juce::String error;
    auto instance = ClapInstance::create (library, id, error);
    callback (std::move (instance), error);
}
} // namespace tarnwell::render
