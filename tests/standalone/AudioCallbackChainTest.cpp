// The standalone app's whole audio callback in process, counted from the first block on: JUCE's
// AudioDeviceManager and standalone holder (from the app's patched copies) around our player
// and the processor, driven by a device of the test's own in place of JACK's or ALSA's, over
// device layouts and block sizes, every parameter changed before every block, a test sound
// playing out. The processor's callback lock is the one lock allowed: once a block, reported on
// its own line, never found held.

#include "AudioThreadCounts.h"

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <juce_StandaloneFilterWindow.h> // the app's patched copy

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using tarnwell::test::BlockCounts;

namespace
{
constexpr double sampleRate = 48000;

// A device that plays only when the test calls its callback.
class TestDevice final : public juce::AudioIODevice
{
public:
    explicit TestDevice (int blockSize) : AudioIODevice ("Test device", "Test"), bufferSize (blockSize) {}

    juce::StringArray getOutputChannelNames() override { return { "L", "R" }; }
    juce::StringArray getInputChannelNames() override { return { "L", "R" }; }
    juce::Array<double> getAvailableSampleRates() override { return { sampleRate }; }
    juce::Array<int> getAvailableBufferSizes() override { return { bufferSize }; }
    int getDefaultBufferSize() override { return bufferSize; }

    juce::String open (const juce::BigInteger& ins, const juce::BigInteger& outs, double, int) override
    {
        activeIns = ins;
        activeOuts = outs;
        opened = true;
        return {};
    }
    void close() override
    {
        stop();
        opened = false;
    }
    bool isOpen() override { return opened; }
    void start (juce::AudioIODeviceCallback* newCallback) override
    {
        if (newCallback != nullptr)
            newCallback->audioDeviceAboutToStart (this);
        callback = newCallback;
    }
    void stop() override
    {
        if (auto* old = callback.exchange (nullptr))
            old->audioDeviceStopped();
    }
    bool isPlaying() override { return callback != nullptr; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return bufferSize; }
    double getCurrentSampleRate() override { return sampleRate; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return activeOuts; }
    juce::BigInteger getActiveInputChannels() const override { return activeIns; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    std::atomic<juce::AudioIODeviceCallback*> callback { nullptr };

private:
    const int bufferSize;
    juce::BigInteger activeIns, activeOuts;
    bool opened = false;
};

class TestDeviceType final : public juce::AudioIODeviceType
{
public:
    explicit TestDeviceType (int blockSize) : AudioIODeviceType ("Test"), bufferSize (blockSize) {}

    void scanForDevices() override {}
    juce::StringArray getDeviceNames (bool) const override { return { "Test device" }; }
    int getDefaultDeviceIndex (bool) const override { return 0; }
    int getIndexOfDevice (juce::AudioIODevice* device, bool) const override { return device != nullptr ? 0 : -1; }
    bool hasSeparateInputsAndOutputs() const override { return false; }
    juce::AudioIODevice* createDevice (const juce::String&, const juce::String&) override
    {
        return lastCreated = new TestDevice (bufferSize);
    }

    TestDevice* lastCreated = nullptr;

private:
    const int bufferSize;
};
} // namespace

TEST (StandaloneAudioCallback, TakesOnlyTheProcessorsLockFromTheFirstBlockOn)
{
    struct Case
    {
        int ins, outs, blockSize;
    };
    for (const auto& c : { Case { 2, 2, 512 }, Case { 1, 2, 64 }, Case { 0, 2, 256 } })
    {
        const auto what = std::to_string (c.ins) + " in " + std::to_string (c.outs) + " out, blocks of "
            + std::to_string (c.blockSize);
        juce::StandalonePluginHolder holder (nullptr, false);
        holder.getMuteInputValue() = false;
        auto& devices = holder.deviceManager;
        auto type = std::make_unique<TestDeviceType> (c.blockSize);
        auto* testType = type.get();
        devices.addAudioDeviceType (std::move (type));
        devices.setCurrentAudioDeviceType ("Test", true);
        auto setup = devices.getAudioDeviceSetup();
        setup.inputChannels.clear();
        setup.inputChannels.setRange (0, c.ins, true);
        setup.useDefaultInputChannels = false;
        setup.outputChannels.clear();
        setup.outputChannels.setRange (0, c.outs, true);
        setup.useDefaultOutputChannels = false;
        setup.bufferSize = c.blockSize;
        setup.sampleRate = sampleRate;
        ASSERT_EQ (devices.setAudioDeviceSetup (setup, true), juce::String()) << what;
        ASSERT_NE (testType->lastCreated, nullptr) << what;
        auto* callback = testType->lastCreated->callback.load();
        ASSERT_NE (callback, nullptr) << what;
        // Played out on the audio thread within the blocks below (one second of sound).
        devices.playTestSound();

        const auto n = static_cast<size_t> (c.blockSize);
        std::vector<std::vector<float>> ins (static_cast<size_t> (c.ins), std::vector<float> (n, 0.25f));
        std::vector<std::vector<float>> outs (static_cast<size_t> (c.outs), std::vector<float> (n));
        std::vector<const float*> inPointers;
        std::vector<float*> outPointers;
        for (auto& ch : ins)
            inPointers.push_back (ch.data());
        for (auto& ch : outs)
            outPointers.push_back (ch.data());
        const int numBlocks = static_cast<int> (1.5 * sampleRate) / c.blockSize;
        auto& parameters = holder.processor->getParameters();

        BlockCounts tally;
        std::thread audio ([&] {
            for (int block = 0; block < numBlocks; ++block)
            {
                tarnwell::test::startCounting();
                for (int i = 0; i < parameters.size(); ++i)
                    parameters.getUnchecked (i)->setValue (std::fmod (0.07f * static_cast<float> (block + i), 1.0f));
                callback->audioDeviceIOCallbackWithContext (inPointers.data(), c.ins, outPointers.data(), c.outs,
                                                            c.blockSize, {});
                auto counts = tarnwell::test::stopCounting();
                tally.add (counts);
            }
        });
        audio.join();

        for (const auto& ch : outs)
            for (float s : ch)
                ASSERT_TRUE (std::isfinite (s)) << what;
        tally.expectOnly ("the processor's callback lock", numBlocks, true, what);
    }
}
