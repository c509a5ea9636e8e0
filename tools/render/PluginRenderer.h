#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>
#include <utility>

namespace tarnwell::render
{
// One plug-in loaded from a file through JUCE's hosting (VST 2, a .vst3 bundle or a .lv2
// bundle), with its parameters set by name, rendering whole signals block by block.
class PluginRenderer
{
public:
    static constexpr int blockSize = 512;

    // Loads the plug-in at `path` for `sampleRate`; on failure isLoaded() is false and
    // getError() says why. Must be called on JUCE's message thread.
    PluginRenderer (const juce::File& path, double sampleRate);

    bool isLoaded() const noexcept { return instance != nullptr; }
    const juce::String& getError() const noexcept { return error; }
    juce::AudioPluginInstance& getInstance() { return *instance; }
    int getNumInputs() const { return instance->getTotalNumInputChannels(); }
    int getNumOutputs() const { return instance->getTotalNumOutputChannels(); }

    // Sets the parameter whose name is `name` (ignoring case) to the normalised value.
    bool setParameter (const juce::String& name, float value);

    // Every parameter's name, in the plug-in's order.
    juce::StringArray getParameterNames();

    // The parameter's current display text, or empty if there is no such parameter.
    juce::String getParameterText (const juce::String& name);

    // Fills the first `frames` frames of each of the block's channels with the next input;
    // false if it can't.
    using Source = std::function<bool (juce::AudioBuffer<float>& block, int frames)>;
    // Takes the next `frames` frames of output from the block's first getNumOutputs() channels
    // (a plug-in with more inputs than outputs leaves more); false if it can't.
    using Sink = std::function<bool (const juce::AudioBuffer<float>& block, int frames)>;

    // Runs `sourceFrames` of input from `source` (any channel count; missing plug-in inputs
    // repeat the last channel), then `tailFrames` of silence, through the plug-in, block by
    // block into `sink`: memory that does not grow with the length. False when the source or
    // the sink fails, which ends the render.
    bool render (int sourceChannels, juce::int64 sourceFrames, juce::int64 tailFrames, const Source& source,
                 const Sink& sink, const std::function<void (double)>& progress = {});

    // Runs `input` (any channel count; missing plug-in inputs repeat the last channel) through
    // the plug-in, followed by `tailFrames` of silence. The result has the plug-in's output
    // channel count. progress, if given, gets the fraction done now and then.
    juce::AudioBuffer<float> render (const juce::AudioBuffer<float>& input, int tailFrames,
                                     const std::function<void (double)>& progress = {});

    // The plug-in's wet impulse response, one channel per output: a second instance with the
    // same settings, a parameter named "Mix" (if any) at 1, a unit impulse on every input.
    juce::AudioBuffer<float> measureImpulseResponse (int numFrames, const std::function<void (double)>& progress = {});

private:
    juce::AudioPluginInstance* findParameterOwner();
    juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance&, const juce::String& name);
    void prepare (juce::AudioPluginInstance&);
    int tarnwellLv2Parameter (const juce::String& name) const;

    std::unique_ptr<juce::AudioPluginFormat> format; // outlives the instances: LV2 ones use its world
    juce::PluginDescription description;
    double sampleRate;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
    juce::Array<std::pair<juce::String, float>> settings; // in the order they were made
};
} // namespace tarnwell::render
