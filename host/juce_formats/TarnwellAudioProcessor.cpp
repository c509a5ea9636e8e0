#include "host/juce_formats/TarnwellAudioProcessor.h"

#include "host/juce_formats/TarnwellAudioProcessorEditor.h"
#include "host/ProductIdentity.h"
#include "host/juce_formats/ProcessorParameter.h"

namespace tarnwell
{
namespace params = parameters;

TarnwellAudioProcessor::TarnwellAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    for (int i = 0; i < params::count; ++i)
        addParameter (new ProcessorParameter (instance.controls(), i));
}

TarnwellAudioProcessor::~TarnwellAudioProcessor() = default;

const juce::String TarnwellAudioProcessor::getName() const
{
    return product::name;
}

void TarnwellAudioProcessor::prepareToPlay (double newSampleRate, int)
{
    session.prepare (newSampleRate);
}

void TarnwellAudioProcessor::releaseResources()
{
    // The tail carries over a suspend.
}

void TarnwellAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // In place: the buffer's first channels hold the inputs and receive the outputs.
    const int channels = buffer.getNumChannels();
    auto* const* audio = buffer.getArrayOfWritePointers();
    instance.audio().process (audio, juce::jmin (getTotalNumInputChannels(), channels), audio,
                              juce::jmin (getTotalNumOutputChannels(), channels), buffer.getNumSamples());
}

bool TarnwellAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const int ins = layouts.getMainInputChannels();
    const int outs = layouts.getMainOutputChannels();
    return (ins == 1 && outs == 1) || (ins == 1 && outs == 2) || (ins == 2 && outs == 2);
}

const juce::String TarnwellAudioProcessor::getInputChannelName (int index) const
{
    return juce::String (index + 1);
}
const juce::String TarnwellAudioProcessor::getOutputChannelName (int index) const
{
    return juce::String (index + 1);
}
bool TarnwellAudioProcessor::isInputChannelStereoPair (int) const
{
    return true;
}
bool TarnwellAudioProcessor::isOutputChannelStereoPair (int) const
{
    return true;
}

bool TarnwellAudioProcessor::acceptsMidi() const
{
    return false;
}
bool TarnwellAudioProcessor::producesMidi() const
{
    return false;
}

// Hosts that ask (VST3, LV2) keep processing this long after the input stops: the longest decay.
double TarnwellAudioProcessor::getTailLengthSeconds() const
{
    return session.tailSeconds();
}

juce::AudioProcessorEditor* TarnwellAudioProcessor::createEditor()
{
    return new TarnwellAudioProcessorEditor (*this);
}

bool TarnwellAudioProcessor::hasEditor() const
{
    return true;
}

int TarnwellAudioProcessor::getNumPrograms()
{
    return 0;
}
int TarnwellAudioProcessor::getCurrentProgram()
{
    return 0;
}
void TarnwellAudioProcessor::setCurrentProgram (int) {}
const juce::String TarnwellAudioProcessor::getProgramName (int)
{
    return {};
}
void TarnwellAudioProcessor::changeProgramName (int, const juce::String&) {}

void TarnwellAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    session.save (destData);
}

void TarnwellAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    session.restore (data, sizeInBytes);
}

NetworkSettings TarnwellAudioProcessor::getNetworkSettings() const
{
    return session.networkSettings();
}
} // namespace tarnwell
