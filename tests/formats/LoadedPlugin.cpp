#include "LoadedPlugin.h"

#include <cstring>

namespace tarnwell::test
{
namespace
{
const char* const lv2Uri = "https://quennet.audio/plugins/tarnwell";

juce::File vst3Bundle()
{
    // The binary sits in Tarnwell.vst3/Contents/<architecture>-linux/.
    return juce::File (TARNWELL_VST3_BINARY).getParentDirectory().getParentDirectory().getParentDirectory();
}

juce::File lv2Bundle()
{
    return juce::File (TARNWELL_LV2_BINARY).getParentDirectory();
}

// JUCE's VST3 wrapper appends its own data to the processor's block: a zero int64, the data,
// its size as an int64 and the word "JUCEPrivateData". Everything before it is ours.
juce::MemoryBlock withoutVst3Trailer (const juce::MemoryBlock& state)
{
    static constexpr char magic[] = "JUCEPrivateData";
    const auto magicSize = sizeof (magic) - 1;
    const auto size = state.getSize();
    const auto* bytes = static_cast<const char*> (state.getData());
    if (size < magicSize + 16 || std::memcmp (bytes + size - magicSize, magic, magicSize) != 0)
        return state;

    juce::uint64 privateSize = 0;
    std::memcpy (&privateSize, bytes + size - magicSize - 8, 8);
    if (privateSize + magicSize + 16 > size)
        return {};
    return { bytes, static_cast<size_t> (size - magicSize - 16 - privateSize) };
}

// The LV2 plug-in stores the block as JUCE's base64 text under <uri>:StateString, as the JUCE
// wrapper it replaced did; JUCE's LV2 hosting hands the whole state over as Turtle text.
const juce::String lv2StateKey = juce::String (lv2Uri) + ":StateString>";

juce::Range<int> lv2BlockTextRange (const juce::String& turtle)
{
    const int key = turtle.indexOf (lv2StateKey);
    if (key < 0)
        return {};
    const int open = turtle.indexOfChar (key, '"');
    const int close = open < 0 ? -1 : turtle.indexOfChar (open + 1, '"');
    if (close < 0)
        return {};
    return { open + 1, close };
}
} // namespace

const char* formatName (Format format)
{
    return format == Format::vst3 ? "VST3" : format == Format::lv2 ? "LV2" : "VST2";
}

LoadedPlugin loadPlugin (Format format, double sampleRate, int blockSize, juce::String& error)
{
    LoadedPlugin loaded;
    juce::OwnedArray<juce::PluginDescription> found;

    if (format == Format::vst3)
    {
        loaded.format = std::make_unique<juce::VST3PluginFormat>();
        loaded.format->findAllTypesForFile (found, vst3Bundle().getFullPathName());
    }
    else if (format == Format::vst2)
    {
        loaded.format = std::make_unique<juce::VSTPluginFormat>();
        loaded.format->findAllTypesForFile (found, TARNWELL_VST2_BINARY);
    }
    else
    {
        loaded.format = std::make_unique<juce::LV2PluginFormat>();
        loaded.format->searchPathsForPlugins (juce::FileSearchPath (lv2Bundle().getParentDirectory().getFullPathName()),
                                              false, false);
        loaded.format->findAllTypesForFile (found, lv2Uri);
    }

    if (found.size() != 1)
    {
        error = juce::String (found.size()) + " plug-ins found";
        return loaded;
    }

    loaded.description = *found[0];
    loaded.instance = loaded.format->createInstanceFromDescription (loaded.description, sampleRate, blockSize, error);
    return loaded;
}

juce::MemoryBlock settingsBlockOf (Format format, juce::AudioPluginInstance& instance)
{
    juce::MemoryBlock state;
    if (format == Format::vst2)
    {
        juce::VSTPluginFormat::getChunkData (&instance, state, false);
        return state;
    }
    instance.getStateInformation (state);

    if (format == Format::vst3)
    {
        const auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), static_cast<int> (state.getSize()));
        const auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;
        juce::MemoryBlock block;
        if (component == nullptr || ! block.fromBase64Encoding (component->getAllSubText()))
            return {};
        return withoutVst3Trailer (block);
    }

    const auto turtle = state.toString();
    const auto range = lv2BlockTextRange (turtle);
    juce::MemoryBlock block;
    if (range.isEmpty() || ! block.fromBase64Encoding (turtle.substring (range.getStart(), range.getEnd())))
        return {};
    return block;
}

void restoreSettingsBlock (Format format, juce::AudioPluginInstance& instance, const juce::MemoryBlock& block)
{
    if (format == Format::vst2)
    {
        juce::VSTPluginFormat::setChunkData (&instance, block.getData(), static_cast<int> (block.getSize()), false);
        return;
    }
    if (format == Format::vst3)
    {
        // What a host saved in a project: the component's state, as JUCE's hosting keeps it.
        juce::XmlElement state ("VST3PluginState");
        state.createNewChildElement ("IComponent")->addTextElement (block.toBase64Encoding());
        juce::MemoryBlock binary;
        juce::AudioProcessor::copyXmlToBinary (state, binary);
        instance.setStateInformation (binary.getData(), static_cast<int> (binary.getSize()));
        return;
    }

    // The instance's own saved state, with its block replaced.
    juce::MemoryBlock state;
    instance.getStateInformation (state);
    auto turtle = state.toString();
    const auto range = lv2BlockTextRange (turtle);
    if (range.isEmpty())
        return;
    turtle = turtle.replaceSection (range.getStart(), range.getLength(), block.toBase64Encoding());
    instance.setStateInformation (turtle.toRawUTF8(), static_cast<int> (turtle.getNumBytesAsUTF8()));
}

juce::MemoryBlock vst2BlockFor (const std::vector<float>& values)
{
    juce::String error;
    auto loaded = loadPlugin (Format::vst2, 48000.0, 512, error);
    if (loaded.instance == nullptr)
        return {};
    const auto& parameters = loaded.instance->getParameters();
    for (size_t i = 0; i < values.size() && i < static_cast<size_t> (parameters.size()); ++i)
        parameters[static_cast<int> (i)]->setValue (values[i]);
    return settingsBlockOf (Format::vst2, *loaded.instance);
}
} // namespace tarnwell::test
