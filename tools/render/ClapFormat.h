#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <map>
#include <memory>

namespace tarnwell::clapHost
{
class Library;
}

namespace tarnwell::render
{
// .clap files for the render tool, as JUCE's formats offer theirs: each plug-in found in a file
// (ClapInstance.h), made on request. No folders are searched: the tool names the file.
class ClapFormat final : public juce::AudioPluginFormat
{
public:
    juce::String getName() const override { return "CLAP"; }
    void findAllTypesForFile (juce::OwnedArray<juce::PluginDescription>&, const juce::String& path) override;
    bool fileMightContainThisPluginType (const juce::String& path) override
    {
        return path.endsWithIgnoreCase (".clap");
    }
    juce::String getNameOfPluginFromIdentifier (const juce::String& id) override { return id; }
    bool pluginNeedsRescanning (const juce::PluginDescription&) override { return false; }
    bool doesPluginStillExist (const juce::PluginDescription&) override;
    bool canScanForPlugins() const override { return false; }
    bool isTrivialToScan() const override { return false; }
    juce::StringArray searchPathsForPlugins (const juce::FileSearchPath&, bool, bool) override { return {}; }
    juce::FileSearchPath getDefaultLocationsToSearch() override { return {}; }

private:
    bool requiresUnblockedMessageThreadDuringCreation (const juce::PluginDescription&) const override { return false; }
    void createPluginInstance (const juce::PluginDescription&, double, int, PluginCreationCallback) override;

    // Each file loaded and initialised once, however many instances are made from it.
    std::map<juce::String, std::shared_ptr<clapHost::Library>> libraries;
};
} // namespace tarnwell::render
