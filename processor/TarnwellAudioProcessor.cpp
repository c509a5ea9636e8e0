#include "processor/TarnwellAudioProcessor.h"

#include "editor/TarnwellAudioProcessorEditor.h"
#include "host/ProductIdentity.h"
#include "processor/ProcessorParameter.h"
#include "processor/SavedSettings.h"

#include <cmath>
#include <cstdio>

namespace tarnwell
{
namespace params = parameters;

namespace
{
NetworkSettings settingsFor (const ParameterValues::Snapshot& values, double sampleRate) noexcept
{
    NetworkSettings settings;
    settings.sampleRate = sampleRate;
    for (int i = 0; i < params::count; ++i)
        params::set (settings, i, values.engineValue (i));
    return settings;
}

// A tree skips a write whose value compares equal, and restored text such as "1.0" equals the
// number 1: clear it first (keeping its place) so the number is what is saved.
void storeNumber (juce::ValueTree& tree, int index, double value)
{
    const auto& id = params::propertyId (index);
    if (tree.getProperty (id).isString())
        tree.setProperty (id, {}, nullptr);
    tree.setProperty (id, value, nullptr);
}
} // namespace

TarnwellAudioProcessor::TarnwellAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      designedValues (values.snapshot()),
      designedSampleRate (sampleRate.load())
{
    // The network starts where the stored defaults say, so what a new instance plays is what
    // it reports and saves.
    coefficients = designNetwork (settingsFor (designedValues, designedSampleRate));
    for (int i = 0; i < params::count; ++i)
    {
        properties.setProperty (params::propertyId (i), params::storedDefault (i), nullptr);
        addParameter (new ProcessorParameter (*this, i));
    }
}

TarnwellAudioProcessor::~TarnwellAudioProcessor() = default;

const juce::String TarnwellAudioProcessor::getName() const { return product::name; }

void TarnwellAudioProcessor::prepareToPlay (double newSampleRate, int)
{
    // The next block redesigns the filters for a new rate, so decay times stay in seconds.
    if (newSampleRate > 0 && std::isfinite (newSampleRate))
        sampleRate = newSampleRate;

    std::printf ("%d input channels\n", getTotalNumInputChannels());
    std::printf ("%d output channels\n", getTotalNumOutputChannels());
    std::fflush (stdout);
}

void TarnwellAudioProcessor::releaseResources()
{
    // The tail carries over a suspend.
}

void TarnwellAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const juce::ScopedNoDenormals noDenormals;
    designForCurrentValues();

    const int channels = buffer.getNumChannels();
    const int frames = buffer.getNumSamples();
    const int outputs = juce::jmin (getTotalNumOutputChannels(), channels);

    for (int ch = getTotalNumInputChannels(); ch < outputs; ++ch)
        buffer.clear (ch, 0, frames);

    if (channels < 1 || frames <= 0)
        return;

    float* right = outputs >= 2 ? buffer.getWritePointer (1) : nullptr;
    network.process (coefficients, buffer.getWritePointer (0), right, frames);
}

void TarnwellAudioProcessor::designForCurrentValues() noexcept
{
    // A few tries at a consistent read; should other threads' changes keep overlapping it, the
    // block runs on the last design and the next block tries again.
    ParameterValues::Snapshot now;
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        if (! values.trySnapshot (now))
            continue;

        const double rate = sampleRate.load();
        if (now != designedValues || rate != designedSampleRate)
        {
            // A design that is not finite would poison the rings for good: keep the last one.
            const auto designed = designNetwork (settingsFor (now, rate));
            if (isFinite (designed))
                coefficients = designed;
            designedValues = now;
            designedSampleRate = rate;
        }
        return;
    }
}

void TarnwellAudioProcessor::processSeparate (const float* const* inputs, float* const* outputs, int frames) noexcept
{
    const juce::ScopedNoDenormals noDenormals;
    designForCurrentValues();

    const int ins = getTotalNumInputChannels();
    const int outs = getTotalNumOutputChannels();
    if (ins < 1 || outs < 1 || frames <= 0)
        return;

    // An output with no input is cleared, as processBlock clears it, and is then the silent
    // right input of its own channel.
    for (int ch = ins; ch < outs; ++ch)
        juce::FloatVectorOperations::clear (outputs[ch], frames);

    float* right = outs >= 2 ? outputs[1] : nullptr;
    const float* rightIn = right != nullptr && ins >= 2 ? inputs[1] : right;
    network.process (coefficients, { inputs[0], rightIn, outputs[0], right }, frames);
}

bool TarnwellAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const int ins = layouts.getMainInputChannels();
    const int outs = layouts.getMainOutputChannels();
    return (ins == 1 && outs == 1) || (ins == 1 && outs == 2) || (ins == 2 && outs == 2);
}

const juce::String TarnwellAudioProcessor::getInputChannelName (int index) const { return juce::String (index + 1); }
const juce::String TarnwellAudioProcessor::getOutputChannelName (int index) const { return juce::String (index + 1); }
bool TarnwellAudioProcessor::isInputChannelStereoPair (int) const { return true; }
bool TarnwellAudioProcessor::isOutputChannelStereoPair (int) const { return true; }

bool TarnwellAudioProcessor::acceptsMidi() const { return false; }
bool TarnwellAudioProcessor::producesMidi() const { return false; }

// Hosts that ask (VST3, LV2) keep processing this long after the input stops: the longest decay.
double TarnwellAudioProcessor::getTailLengthSeconds() const
{
    return juce::jmax (values.engineValue (params::t60Low), values.engineValue (params::t60High));
}

juce::AudioProcessorEditor* TarnwellAudioProcessor::createEditor()
{
    return new TarnwellAudioProcessorEditor (*this);
}

bool TarnwellAudioProcessor::hasEditor() const { return true; }

int TarnwellAudioProcessor::getNumParameters() { return params::count; }

const juce::String TarnwellAudioProcessor::getParameterName (int index) { return params::name (index); }

float TarnwellAudioProcessor::getParameter (int index) { return values.normalised (index); }

const juce::String TarnwellAudioProcessor::getParameterText (int index)
{
    if (! params::isValid (index))
        return {};
    return params::text (index, values.engineValue (index));
}

void TarnwellAudioProcessor::setParameter (int index, float value) { values.set (index, value); }

int TarnwellAudioProcessor::getNumPrograms() { return 0; }
int TarnwellAudioProcessor::getCurrentProgram() { return 0; }
void TarnwellAudioProcessor::setCurrentProgram (int) {}
const juce::String TarnwellAudioProcessor::getProgramName (int) { return {}; }
void TarnwellAudioProcessor::changeProgramName (int, const juce::String&) {}

void TarnwellAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const std::lock_guard lock (stateLock);
    const auto now = values.snapshot();
    // A parameter never set still saves the stored default exactly as it was written.
    for (int i = 0; i < params::count; ++i)
        if (! now.untouched[static_cast<size_t> (i)])
            properties.setProperty (params::propertyId (i), static_cast<double> (now.normalised[static_cast<size_t> (i)]), nullptr);
    writeSavedSettings (properties, destData);
}

void TarnwellAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto restored = readSavedSettings (data, sizeInBytes);
    if (! restored.isValid())
        return;

    // Every parameter is applied as read, within its range; a missing or unreadable one becomes
    // 0, and each is stored back as the number it was applied as.
    std::array<float, params::count> restoredValues {};
    for (int i = 0; i < params::count; ++i)
    {
        const auto value = params::clamped (params::numberFrom (restored.getProperty (params::propertyId (i), 0)));
        restoredValues[static_cast<size_t> (i)] = value;
        storeNumber (restored, i, static_cast<double> (value));
    }

    const std::lock_guard lock (stateLock);
    properties = restored;
    values.restore (restoredValues);
}

NetworkSettings TarnwellAudioProcessor::getNetworkSettings() const
{
    return settingsFor (values.snapshot(), sampleRate.load());
}
} // namespace tarnwell
