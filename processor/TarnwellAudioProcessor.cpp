#include "processor/TarnwellAudioProcessor.h"

#include "editor/TarnwellAudioProcessorEditor.h"
#include "processor/ProcessorParameter.h"
#include "processor/SavedSettings.h"

#include <cmath>
#include <cstdio>

namespace params = tarnwell::parameters;

TarnwellAudioProcessor::TarnwellAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      coefficients (tarnwell::designNetwork (tarnwell::NetworkSettings {}))
{
    // The network starts at 3.5 s, 0.5 s, 6700 Hz while the stored values say 0.25, 0.35, 0.8:
    // the two agree for a parameter once it has been set, and a restore sets all five.
    for (int i = 0; i < params::count; ++i)
    {
        properties.setProperty (params::propertyId (i), params::storedDefault (i), nullptr);
        storedValues[static_cast<size_t> (i)] = static_cast<float> (params::storedDefault (i));
        engineValues[static_cast<size_t> (i)] = params::get (settings, i);
        addParameter (new tarnwell::ProcessorParameter (*this, i));
    }
}

TarnwellAudioProcessor::~TarnwellAudioProcessor() = default;

const juce::String TarnwellAudioProcessor::getName() const { return "Tarnwell"; }

void TarnwellAudioProcessor::prepareToPlay (double newSampleRate, int)
{
    {
        const std::lock_guard lock (settingsLock);
        // A new rate redesigns the filters at once, so decay times stay in seconds.
        if (newSampleRate > 0 && std::isfinite (newSampleRate) && newSampleRate != settings.sampleRate)
        {
            settings.sampleRate = newSampleRate;
            publishNetwork();
        }
    }

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

    const int channels = buffer.getNumChannels();
    const int frames = buffer.getNumSamples();
    const int outputs = juce::jmin (getTotalNumOutputChannels(), channels);

    for (int ch = getTotalNumInputChannels(); ch < outputs; ++ch)
        buffer.clear (ch, 0, frames);

    if (channels < 1 || frames <= 0)
        return;

    float* right = outputs >= 2 ? buffer.getWritePointer (1) : nullptr;
    network.process (coefficients.pull(), buffer.getWritePointer (0), right, frames);
}

void TarnwellAudioProcessor::processSeparate (const float* const* inputs, float* const* outputs, int frames) noexcept
{
    const juce::ScopedNoDenormals noDenormals;

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
    network.process (coefficients.pull(), { inputs[0], rightIn, outputs[0], right }, frames);
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
    return juce::jmax (engineValues[params::t60Low].load(), engineValues[params::t60High].load());
}

juce::AudioProcessorEditor* TarnwellAudioProcessor::createEditor()
{
    auto* editor = new TarnwellAudioProcessorEditor (*this);
    // An opened editor shows the current state at once, not its controls' start values.
    for (int i = 0; i < params::count; ++i)
        editor->parameterChanged (i, getParameter (i));
    return editor;
}

bool TarnwellAudioProcessor::hasEditor() const { return true; }

int TarnwellAudioProcessor::getNumParameters() { return params::count; }

const juce::String TarnwellAudioProcessor::getParameterName (int index) { return params::name (index); }

float TarnwellAudioProcessor::getParameter (int index)
{
    return params::isValid (index) ? storedValues[static_cast<size_t> (index)].load() : 0.0f;
}

const juce::String TarnwellAudioProcessor::getParameterText (int index)
{
    if (! params::isValid (index))
        return {};
    return params::text (index, engineValues[static_cast<size_t> (index)].load());
}

void TarnwellAudioProcessor::setParameter (int index, float value)
{
    if (! params::isValid (index))
        return;

    {
        const std::lock_guard lock (settingsLock);
        applyParameter (index, value);
        publishNetwork();
    }

    showChangesNowIfOnMessageThread();
}

void TarnwellAudioProcessor::showChangesNowIfOnMessageThread()
{
    // A change made on the message thread shows at once, after any still queued from other
    // threads; elsewhere the open editor's timer picks it up, and nobody waits for anybody.
    if (juce::MessageManager::existsAndIsCurrentThread())
        if (auto* editor = dynamic_cast<TarnwellAudioProcessorEditor*> (getActiveEditor()))
            editor->showQueuedChanges();
}

void TarnwellAudioProcessor::applyParameter (int index, float value)
{
    // A value that is not a number would poison the network for good: take it as 0.
    if (! std::isfinite (value))
        value = 0.0f;

    storeProperty (index, static_cast<double> (value));

    const double engine = params::engineValue (index, value);
    params::set (settings, index, engine);
    engineValues[static_cast<size_t> (index)] = engine;

    parameterChanges.push (index, value);
}

void TarnwellAudioProcessor::storeProperty (int index, const juce::var& value)
{
    // A ValueTree skips a write whose value compares equal, and restored text such as "1.0"
    // equals the number 1: clear it first (keeping its place) so the number is what is saved.
    const auto& id = params::propertyId (index);
    if (properties.getProperty (id).isString())
        properties.setProperty (id, {}, nullptr);
    properties.setProperty (id, value, nullptr);
    storedValues[static_cast<size_t> (index)] = static_cast<float> (params::numberFrom (value));
}

void TarnwellAudioProcessor::publishNetwork()
{
    coefficients.writeSlot() = tarnwell::designNetwork (settings);
    coefficients.publish();
}

int TarnwellAudioProcessor::getNumPrograms() { return 0; }
int TarnwellAudioProcessor::getCurrentProgram() { return 0; }
void TarnwellAudioProcessor::setCurrentProgram (int) {}
const juce::String TarnwellAudioProcessor::getProgramName (int) { return {}; }
void TarnwellAudioProcessor::changeProgramName (int, const juce::String&) {}

void TarnwellAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const std::lock_guard lock (settingsLock);
    tarnwell::writeSavedSettings (properties, destData);
}

void TarnwellAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto restored = tarnwell::readSavedSettings (data, sizeInBytes);
    if (! restored.isValid())
        return;

    {
        const std::lock_guard lock (settingsLock);
        properties = restored;

        // Every parameter is applied as read; a missing or unreadable one becomes 0.
        for (int i = 0; i < params::count; ++i)
            applyParameter (i, static_cast<float> (params::numberFrom (properties.getProperty (params::propertyId (i), 0))));
        publishNetwork();
    }

    showChangesNowIfOnMessageThread();
}

tarnwell::NetworkSettings TarnwellAudioProcessor::getNetworkSettings() const
{
    const std::lock_guard lock (settingsLock);
    return settings;
}
