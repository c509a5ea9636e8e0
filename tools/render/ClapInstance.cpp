#include "tools/render/ClapInstance.h"

#include "processor/ParameterTable.h"

namespace tarnwell::render
{
namespace
{
constexpr const char* tarnwellId = "audio.quennet.tarnwell";
}

// One CLAP parameter: its value kept here in the plug-in's unit, a change marked for the next
// block.
class ClapInstance::Parameter final : public juce::HostedAudioProcessorParameter
{
public:
    Parameter (const clapHost::Instance& owner, const clap::ParamInfo& info, bool tarnwell)
        : clap (owner), id (info.id), name (juce::String::fromUTF8 (info.name)), minimum (info.minValue),
          maximum (info.maxValue), defaultValue (info.defaultValue),
          tarnwellIndex (tarnwell && parameters::isValid (static_cast<int> (info.id)) ? static_cast<int> (info.id)
                                                                                      : -1),
          plain (clap.value (info.id))
    {}

    float getValue() const override { return toNormalised (plain.load()); }
    void setValue (float v) override
    {
        plain = toPlain (v);
        changed = true;
    }
    float getDefaultValue() const override { return toNormalised (defaultValue); }
    juce::String getName (int maximumLength) const override { return name.substring (0, maximumLength); }
    juce::String getLabel() const override { return {}; }
    juce::String getParameterID() const override { return juce::String (id); }

    juce::String getText (float v, int maximumLength) const override
    {
        char text[256] = {};
        if (! clap.params->valueToText (clap.plugin, id, toPlain (v), text, sizeof (text)))
            return juce::String (toPlain (v));
        return juce::String::fromUTF8 (text).substring (0, maximumLength);
    }

    float getValueForText (const juce::String& text) const override
    {
        double v = 0;
        return clap.params->textToValue (clap.plugin, id, text.toRawUTF8(), &v) ? toNormalised (v) : getValue();
    }

    // The change, if any, as an event at the block's start.
    void sendChange (clapHost::EventList& events)
    {
        if (changed.exchange (false))
            events.add (0, id, plain.load());
    }

private:
    double toPlain (float v) const
    {
        if (tarnwellIndex >= 0)
            return parameters::displayValue (tarnwellIndex, v);
        return minimum + static_cast<double> (juce::jlimit (0.0f, 1.0f, v)) * (maximum - minimum);
    }

    float toNormalised (double value) const
    {
        if (tarnwellIndex >= 0)
            return parameters::normalisedFor (tarnwellIndex, value);
        return maximum > minimum ? static_cast<float> ((value - minimum) / (maximum - minimum)) : 0.0f;
    }

    const clapHost::Instance& clap;
    const clap::Id id;
    const juce::String name;
    const double minimum, maximum, defaultValue;
    const int tarnwellIndex;
    std::atomic<double> plain;
    std::atomic<bool> changed { false };
};

std::unique_ptr<ClapInstance> ClapInstance::create (std::shared_ptr<clapHost::Library> library,
                                                    const juce::String& pluginId, juce::String& error)
{
    auto instance = std::make_unique<clapHost::Instance> (*library, pluginId.toRawUTF8());
    if (instance->plugin == nullptr)
    {
        error = "the plug-in " + pluginId + " could not be made";
        return nullptr;
    }
    return std::make_unique<ClapInstance> (std::move (library), std::move (instance));
}

ClapInstance::ClapInstance (std::shared_ptr<clapHost::Library> lib, std::unique_ptr<clapHost::Instance> instance)
    : AudioPluginInstance (BusesProperties()
                               .withInput ("Input", juce::AudioChannelSet::stereo())
                               .withOutput ("Output", juce::AudioChannelSet::stereo())),
      library (std::move (lib)), clap (std::move (instance))
{
    const bool tarnwell = std::strcmp (clap->plugin->desc->id, tarnwellId) == 0;
    clap::ParamInfo info {};
    for (std::uint32_t i = 0; clap->params != nullptr && clap->params->getInfo (clap->plugin, i, &info); ++i)
    {
        auto parameter = std::make_unique<Parameter> (*clap, info, tarnwell);
        parameters.push_back (parameter.get());
        addHostedParameter (std::move (parameter));
    }
}

ClapInstance::~ClapInstance()
{
    stop();
}

void ClapInstance::fillInPluginDescription (juce::PluginDescription& d) const
{
    const auto& desc = *clap->plugin->desc;
    d.name = d.descriptiveName = juce::String::fromUTF8 (desc.name);
    d.pluginFormatName = "CLAP";
    d.manufacturerName = juce::String::fromUTF8 (desc.vendor);
    d.version = juce::String::fromUTF8 (desc.version);
    d.numInputChannels = d.numOutputChannels = 2;
    d.uniqueId = d.deprecatedUid = juce::String (desc.id).hashCode();
}

const juce::String ClapInstance::getName() const
{
    return juce::String::fromUTF8 (clap->plugin->desc->name);
}

void ClapInstance::stop()
{
    if (clap->processing)
        clap->plugin->stopProcessing (clap->plugin);
    if (clap->active)
        clap->plugin->deactivate (clap->plugin);
    clap->processing = clap->active = false;
}

void ClapInstance::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    stop();
    rate = sampleRate;
    inputCopy.setSize (2, maximumBlockSize);
    clap->start (sampleRate, static_cast<std::uint32_t> (maximumBlockSize));
}

void ClapInstance::releaseResources()
{
    stop();
}

void ClapInstance::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const int frames = buffer.getNumSamples();
    if (! clap->processing || buffer.getNumChannels() < 2 || frames > inputCopy.getNumSamples())
        return;

    changes.clear();
    for (auto* p : parameters)
        p->sendChange (changes);

    // Inputs apart from the outputs: not every plug-in works in place.
    for (int ch = 0; ch < 2; ++ch)
        inputCopy.copyFrom (ch, 0, buffer, ch, 0, frames);
    float* ins[] = { inputCopy.getWritePointer (0), inputCopy.getWritePointer (1) };
    float* outs[] = { buffer.getWritePointer (0), buffer.getWritePointer (1) };
    clap::AudioBuffer inputs { ins, nullptr, 2, 0, 0 }, outputs { outs, nullptr, 2, 0, 0 };
    clap->processBuffers (inputs, outputs, static_cast<std::uint32_t> (frames), &changes);
}

double ClapInstance::getTailLengthSeconds() const
{
    const auto* tail = clap->extension<clap::PluginTail> (clap::extension::tail);
    return tail != nullptr ? static_cast<double> (tail->get (clap->plugin)) / rate : 0.0;
}

// Whole, in one call: some plug-ins read and write their state in one piece.
void ClapInstance::getStateInformation (juce::MemoryBlock& destData)
{
    const auto bytes = clap->save (std::uint64_t { 1 } << 30);
    destData.replaceAll (bytes.data(), bytes.size());
}

void ClapInstance::setStateInformation (const void* data, int sizeInBytes)
{
    const auto* bytes = static_cast<const std::uint8_t*> (data);
    clap->load ({ bytes, bytes + juce::jmax (0, sizeInBytes) }, std::uint64_t { 1 } << 30);
}

void describeClapPlugins (const juce::String& path, juce::OwnedArray<juce::PluginDescription>& found)
{
    clapHost::Library library (path.toStdString());
    if (! library.isLoaded())
        return;
    for (std::uint32_t i = 0; i < library.factory->getPluginCount (library.factory); ++i)
        if (const auto* desc = library.factory->getPluginDescriptor (library.factory, i))
        {
            auto* d = found.add (new juce::PluginDescription());
            d->name = d->descriptiveName = juce::String::fromUTF8 (desc->name);
            d->pluginFormatName = "CLAP";
            d->manufacturerName = juce::String::fromUTF8 (desc->vendor);
            d->fileOrIdentifier = path + "#" + desc->id;
            d->numInputChannels = d->numOutputChannels = 2;
        }
}
} // namespace tarnwell::render
