#include "tools/render/PluginRenderer.h"

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Ports.h"
#include "processor/ParameterTable.h"
#include "tools/render/ClapFormat.h"
#include "tools/render/Lv2Bundle.h"

namespace tarnwell::render
{
namespace
{
// The format is told by the file name; LV2 plug-ins are found by URI inside their bundle.
std::unique_ptr<juce::AudioPluginFormat> findPlugins (const juce::File& path,
                                                      juce::OwnedArray<juce::PluginDescription>& found)
{
    const auto name = path.getFullPathName().trimCharactersAtEnd ("/");
    if (name.endsWithIgnoreCase (".vst3"))
    {
        auto vst3 = std::make_unique<juce::VST3PluginFormat>();
        vst3->findAllTypesForFile (found, name);
        return vst3;
    }
    if (name.endsWithIgnoreCase (".clap"))
    {
        auto clap = std::make_unique<ClapFormat>();
        clap->findAllTypesForFile (found, name);
        return clap;
    }
    if (name.endsWithIgnoreCase (".lv2"))
    {
        // Loading the bundle's parent folder puts the bundle into JUCE's world, wherever
        // it lies (the folders hosts search are in it already, and loading one twice makes
        // lilv warn); the bundle itself says which plug-ins are its own. Of several, the
        // one named like the bundle, else the first.
        auto lv2 = std::make_unique<juce::LV2PluginFormat>();
        const auto bundle = juce::File (name);
        if (! lv2->getDefaultLocationsToSearch().isFileInPath (bundle, false))
            lv2->searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), false,
                                        false);
        juce::OwnedArray<juce::PluginDescription> candidates;
        for (const auto& uri : pluginUrisInBundle (bundle))
            lv2->findAllTypesForFile (candidates, uri);
        auto* chosen = candidates.getFirst();
        for (auto* candidate : candidates)
            if (candidate->name == bundle.getFileNameWithoutExtension())
                chosen = candidate;
        if (chosen != nullptr)
            found.add (new juce::PluginDescription (*chosen));
        return lv2;
    }
    auto vst = std::make_unique<juce::VSTPluginFormat>();
    vst->findAllTypesForFile (found, name);
    return vst;
}

// JUCE's VST 2 hosting drops a value equal to the one the plug-in reports; but a new
// Tarnwell.so instance runs on other values than the three decay settings it reports until
// each is set. Every value asked for is delivered.
void deliver (juce::AudioProcessorParameter& parameter, float value)
{
    if (parameter.getValue() == value)
        parameter.setValue (value == 0.0f ? 1.0f : 0.0f);
    parameter.setValue (value);
}
} // namespace

PluginRenderer::PluginRenderer (const juce::File& path, double rate) : sampleRate (rate)
{
    juce::OwnedArray<juce::PluginDescription> found;
    format = findPlugins (path, found);
    if (! path.exists())
    {
        error = "no plug-in at " + path.getFullPathName();
        return;
    }
    if (found.isEmpty())
    {
        error = "cannot load a plug-in from " + path.getFullPathName();
        return;
    }

    description = *found.getFirst();
    instance = format->createInstanceFromDescription (description, sampleRate, blockSize, error);
    if (instance == nullptr)
        error =
            "cannot start the plug-in in " + path.getFullPathName() + (error.isEmpty() ? juce::String() : ": " + error);
}

void PluginRenderer::prepare (juce::AudioPluginInstance& plugin)
{
    plugin.enableAllBuses();
    plugin.prepareToPlay (sampleRate, blockSize);

    // JUCE's LV2 hosting makes a new instance in prepareToPlay, from the old one's saved
    // state, in which values set since its last block are not yet: set them again.
    for (const auto& [name, value] : settings)
        if (auto* p = findParameter (plugin, name))
            deliver (*p, value);
}

juce::AudioProcessorParameter* PluginRenderer::findParameter (juce::AudioPluginInstance& plugin,
                                                              const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (1024).equalsIgnoreCase (name))
            return p;
    return nullptr;
}

// Tarnwell's parameter of that name when the plug-in is Tarnwell's LV2 bundle, else -1.
int PluginRenderer::tarnwellLv2Parameter (const juce::String& name) const
{
    if (description.pluginFormatName == juce::LV2PluginFormat::getFormatName()
        && description.fileOrIdentifier == lv2::pluginUri)
        for (int i = 0; i < parameters::count; ++i)
            if (parameters::name (i).equalsIgnoreCase (name))
                return i;
    return -1;
}

bool PluginRenderer::setParameter (const juce::String& name, float value)
{
    if (auto* p = findParameter (*instance, name))
    {
        // Tarnwell's LV2 ports hold seconds, hertz and per cent, which JUCE's LV2 hosting
        // spreads linearly over 0..1: a value in Tarnwell's own mapping goes there as its port
        // value, so the bundle plays what the other formats play for the same setting.
        if (const int i = tarnwellLv2Parameter (name); i >= 0)
        {
            const auto& d = parameters::describe (i);
            value = static_cast<float> ((static_cast<double> (lv2::portValueOf (i, value)) - d.displayMinimum)
                                        / (d.displayMaximum - d.displayMinimum));
        }
        deliver (*p, value);
        settings.add ({ name, value });
        return true;
    }
    return false;
}

juce::StringArray PluginRenderer::getParameterNames()
{
    juce::StringArray names;
    for (auto* p : instance->getParameters())
        names.add (p->getName (1024));
    return names;
}

juce::String PluginRenderer::getParameterText (const juce::String& name)
{
    auto* p = findParameter (*instance, name);
    if (p == nullptr)
        return {};

    // LV2 has no value-to-text call, so JUCE's LV2 hosting shows a port's plain number. The
    // text of Tarnwell's own ports is the one Tarnwell shows in the other formats, for the
    // port's value (JUCE's 0..1 spread linearly over the port's range).
    if (const int i = tarnwellLv2Parameter (name); i >= 0)
    {
        const auto& d = parameters::describe (i);
        const double port =
            d.displayMinimum + static_cast<double> (p->getValue()) * (d.displayMaximum - d.displayMinimum);
        return parameters::text (i, parameters::engineValue (i, lv2::normalisedOfPort (i, static_cast<float> (port))));
    }

    return p->getCurrentValueAsText();
}

bool PluginRenderer::render (int sourceChannels, juce::int64 sourceFrames, juce::int64 tailFrames, const Source& source,
                             const Sink& sink, const std::function<void (double)>& progress)
{
    prepare (*instance);

    const int ins = instance->getTotalNumInputChannels();
    const auto totalFrames = sourceFrames + juce::jmax (juce::int64 (0), tailFrames);

    juce::AudioBuffer<float> fromSource (juce::jmax (1, sourceChannels), blockSize);
    juce::AudioBuffer<float> block (juce::jmax (ins, instance->getTotalNumOutputChannels()), blockSize);
    juce::MidiBuffer midi;
    bool ok = true;

    for (juce::int64 start = 0; ok && start < totalFrames; start += blockSize)
    {
        const int frames = static_cast<int> (juce::jmin (juce::int64 (blockSize), totalFrames - start));
        block.setSize (block.getNumChannels(), frames, false, false, true);
        block.clear();

        const int fromInput =
            static_cast<int> (juce::jlimit (juce::int64 (0), juce::int64 (frames), sourceFrames - start));
        if (fromInput > 0 && sourceChannels > 0)
        {
            ok = source (fromSource, fromInput);
            for (int ch = 0; ch < ins; ++ch)
                block.copyFrom (ch, 0, fromSource, juce::jmin (ch, sourceChannels - 1), 0, fromInput);
        }

        instance->processBlock (block, midi);
        midi.clear();

        ok = ok && sink (block, frames);

        if (progress)
            progress (double (start + frames) / double (totalFrames));
    }

    instance->releaseResources();
    return ok;
}

juce::AudioBuffer<float> PluginRenderer::render (const juce::AudioBuffer<float>& input, int tailFrames,
                                                 const std::function<void (double)>& progress)
{
    juce::AudioBuffer<float> output (instance->getTotalNumOutputChannels(),
                                     input.getNumSamples() + juce::jmax (0, tailFrames));
    int read = 0, written = 0;
    render (
        input.getNumChannels(), input.getNumSamples(), tailFrames,
        [&] (juce::AudioBuffer<float>& block, int frames) {
            for (int ch = 0; ch < input.getNumChannels(); ++ch)
                block.copyFrom (ch, 0, input, ch, read, frames);
            read += frames;
            return true;
        },
        [&] (const juce::AudioBuffer<float>& block, int frames) {
            for (int ch = 0; ch < output.getNumChannels(); ++ch)
                output.copyFrom (ch, written, block, ch, 0, frames);
            written += frames;
            return true;
        },
        progress);
    return output;
}

juce::AudioBuffer<float> PluginRenderer::measureImpulseResponse (int numFrames,
                                                                 const std::function<void (double)>& progress)
{
    // A second instance, so the first one's reverberation does not ring into the measurement.
    juce::String ignored;
    auto probe = format->createInstanceFromDescription (description, sampleRate, blockSize, ignored);
    if (probe == nullptr)
        return {};

    // The same changes as the first one had (prepare makes them), not a copy of its state: a
    // restore may set parameters that a new instance only reports.
    prepare (*probe);
    if (auto* mix = findParameter (*probe, "Mix"))
        deliver (*mix, 1.0f);

    const int ins = probe->getTotalNumInputChannels();
    const int outs = probe->getTotalNumOutputChannels();

    juce::AudioBuffer<float> response (outs, juce::jmax (0, numFrames));
    juce::AudioBuffer<float> block (juce::jmax (ins, outs, 1), blockSize);
    juce::MidiBuffer midi;

    for (int start = 0; start < numFrames; start += blockSize)
    {
        const int frames = juce::jmin (blockSize, numFrames - start);
        block.setSize (block.getNumChannels(), frames, false, false, true);
        block.clear();
        if (start == 0)
            for (int ch = 0; ch < ins; ++ch)
                block.setSample (ch, 0, 1.0f);

        probe->processBlock (block, midi);
        midi.clear();

        for (int ch = 0; ch < outs; ++ch)
            response.copyFrom (ch, start, block, ch, 0, frames);

        if (progress)
            progress (double (start + frames) / numFrames);
    }

    probe->releaseResources();
    return response;
}
} // namespace tarnwell::render
