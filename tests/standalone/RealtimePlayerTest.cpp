// The standalone app's audio callback (RealtimePlayer, which JUCE's standalone holder plays
// through), counted on an audio thread of its own from the first block on: several device
// layouts and block sizes, every parameter changed before every block. The processor's callback
// lock is the one lock allowed there: once a block, reported on its own line, never found held.
// What it plays must be what the processor gives for the same input, routed as JUCE routes it.

#include "host/standalone/RealtimePlayer.h"

#include "AudioThreadCounts.h"
#include "host/juce_formats/TarnwellAudioProcessor.h"
#include "tests/support/SteppedThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

using tarnwell::TarnwellAudioProcessor;
using tarnwell::standalone::RealtimePlayer;
using tarnwell::test::BlockCounts;

namespace
{
constexpr double sampleRate = 48000;
constexpr int numBlocks = 48;

struct Case
{
    int deviceIns, deviceOuts;
    int processorIns, processorOuts; // what JUCE's player would choose for that device
    int preparedBlockSize, callbackSize; // a device may call with more than it announced
};

void changeEveryParameter (TarnwellAudioProcessor& processor, int block)
{
    for (int i = 0; i < 5; ++i)
        processor.controls().setParameter (i, std::fmod (0.11f * static_cast<float> (block + 3 * i), 1.0f));
}

float inputSample (int channel, int block, int sample)
{
    return block == 0 && sample == channel ? 1.0f : 0.001f * static_cast<float> ((sample * (channel + 2)) % 7);
}
} // namespace

TEST (StandalonePlayer, AudioCallbackTakesOnlyTheProcessorsLockAndPlaysWhatTheProcessorGives)
{
    const Case cases[] = { { 2, 2, 2, 2, 256, 256 },
                           { 1, 2, 1, 2, 32, 32 },
                           { 0, 2, 2, 2, 512, 512 },
                           { 1, 1, 1, 1, 64, 200 } };
    for (const auto& c : cases)
    {
        const auto what = std::to_string (c.deviceIns) + " in " + std::to_string (c.deviceOuts) + " out, blocks of "
            + std::to_string (c.callbackSize) + " prepared for " + std::to_string (c.preparedBlockSize);
        TarnwellAudioProcessor played, reference;
        RealtimePlayer player;
        player.prepare (sampleRate, c.preparedBlockSize, c.deviceIns, c.deviceOuts);
        player.setProcessor (&played);
        ASSERT_EQ (played.getMainBusNumInputChannels(), c.processorIns) << what;
        ASSERT_EQ (played.getMainBusNumOutputChannels(), c.processorOuts) << what;
        reference.setPlayConfigDetails (c.processorIns, c.processorOuts, sampleRate, c.preparedBlockSize);
        reference.prepareToPlay (sampleRate, c.preparedBlockSize);

        const auto n = static_cast<size_t> (c.callbackSize);
        std::vector<std::vector<float>> ins (static_cast<size_t> (c.deviceIns), std::vector<float> (n));
        std::vector<std::vector<float>> outs (static_cast<size_t> (c.deviceOuts), std::vector<float> (n, 9.0f));
        std::vector<const float*> inPointers;
        std::vector<float*> outPointers;
        for (auto& ch : ins)
            inPointers.push_back (ch.data());
        for (auto& ch : outs)
            outPointers.push_back (ch.data());

        BlockCounts tally;
        std::vector<std::vector<float>> played0;
        std::thread audio ([&] {
            for (int block = 0; block < numBlocks; ++block)
            {
                for (size_t ch = 0; ch < ins.size(); ++ch)
                    for (size_t s = 0; s < n; ++s)
                        ins[ch][s] = inputSample (static_cast<int> (ch), block, static_cast<int> (s));

                tarnwell::test::startCounting();
                changeEveryParameter (played, block);
                player.audioDeviceIOCallbackWithContext (inPointers.data(), c.deviceIns, outPointers.data(),
                                                         c.deviceOuts, c.callbackSize, {});
                auto counts = tarnwell::test::stopCounting();

                tally.add (counts);
                if (block == numBlocks - 1)
                    played0 = outs;
            }
        });
        audio.join();

        // The reference: the same input and changes, straight through processBlock in pieces of
        // the prepared size; one device input feeds every processor input, none gives silence.
        const int width = std::max (c.processorIns, c.processorOuts);
        juce::AudioBuffer<float> buffer (width, c.callbackSize);
        juce::MidiBuffer midi;
        for (int block = 0; block < numBlocks; ++block)
        {
            changeEveryParameter (reference, block);
            for (int ch = 0; ch < width; ++ch)
                for (int s = 0; s < c.callbackSize; ++s)
                    buffer.setSample (ch, s,
                                      ch < c.processorIns && c.deviceIns > 0 ? inputSample (ch % c.deviceIns, block, s)
                                                                             : 0.0f);
            for (int offset = 0; offset < c.callbackSize; offset += c.preparedBlockSize)
            {
                juce::AudioBuffer<float> piece (buffer.getArrayOfWritePointers(), width, offset,
                                                std::min (c.preparedBlockSize, c.callbackSize - offset));
                reference.processBlock (piece, midi);
            }
        }
        for (int ch = 0; ch < c.deviceOuts; ++ch)
            for (int s = 0; s < c.callbackSize; ++s)
            {
                const float expected = ch < c.processorOuts ? buffer.getSample (ch, s) : 0.0f;
                ASSERT_EQ (played0[static_cast<size_t> (ch)][static_cast<size_t> (s)], expected)
                    << what << ", output " << ch << " sample " << s;
            }
        if (c.deviceIns > 0)
        {
            EXPECT_NE (buffer.getMagnitude (0, c.callbackSize), 0.0f) << what;
        }

        player.setProcessor (nullptr);
        tally.expectOnly ("the processor's callback lock", numBlocks, true, what);
    }
}

// The message thread restarts the device and swaps the processor out and back while blocks
// play: the audio thread plays silence meanwhile, but still never allocates, locks anything but
// the processor's lock, or waits.
TEST (StandalonePlayer, DeviceRestartsWhilePlayingNeverStallTheAudioThread)
{
    TarnwellAudioProcessor processor;
    RealtimePlayer player;
    player.prepare (sampleRate, 128, 2, 2);
    player.setProcessor (&processor);

    std::vector<float> left (512, 0.5f), right (512, 0.5f);
    const float* ins[] = { left.data(), right.data() };
    std::vector<float> outLeft (512), outRight (512);
    float* outs[] = { outLeft.data(), outRight.data() };

    std::atomic<bool> stop { false };
    BlockCounts tally;
    std::atomic<long> blocks { 0 };
    std::thread audio ([&] {
        while (! stop.load())
        {
            tarnwell::test::startCounting();
            player.audioDeviceIOCallbackWithContext (ins, 2, outs, 2, 128, {});
            auto counts = tarnwell::test::stopCounting();
            tally.add (counts);
            ++blocks;
        }
    });
    // Enough restarts that many blocks overlap them, however the threads are scheduled.
    while (blocks.load() == 0)
        std::this_thread::yield();
    const long blocksBefore = blocks.load();
    for (int round = 0; round < 200 || (blocks.load() < blocksBefore + 200 && round < 100000); ++round)
    {
        player.prepare (round % 2 == 0 ? 44100.0 : sampleRate, round % 3 == 0 ? 64 : 128, 1 + round % 2, 2);
        player.setProcessor (nullptr);
        if (round % 5 == 0)
            player.audioDeviceStopped();
        player.setProcessor (&processor);
        if (round % 5 == 0)
            player.prepare (sampleRate, 128, 2, 2);
    }
    stop = true;
    audio.join();
    player.setProcessor (nullptr);

    for (float s : outLeft)
        ASSERT_TRUE (std::isfinite (s));
    if (tarnwell::test::audioThreadCountingWorks())
    {
        EXPECT_TRUE (tally.besidesTheLock.isZero())
            << blocks.load() << " blocks, besides the processor's lock: " << tally.besidesTheLock;
    }
}

// The gate between the audio callback and the message thread's changes, stepped through every
// interleaving of their atomic steps (the audio thread trying twice, the message thread closing
// and opening once): the callback is never inside while a change is made, closing always ends
// (the audio thread never waits for it), and a callback that starts after the gate opens again
// goes in.
TEST (StandalonePlayer, TheGateKeepsTheCallbackOutOfEveryChangeInEveryInterleaving)
{
    using tarnwell::test::SteppedThreads;
    size_t schedule = 0;
    const auto schedules = SteppedThreads::everySchedule ([&] (const SteppedThreads::Choose& choose) {
        tarnwell::standalone::AudioCallbackGate gate;
        bool working = false, changing = false, opened = false;
        std::vector<bool> entered;
        const SteppedThreads::Body audio = [&] {
            for (int attempt = 0; attempt < 2; ++attempt)
            {
                const bool afterOpening = opened;
                const bool in = gate.tryEnter();
                EXPECT_TRUE (in || ! afterOpening) << "schedule " << schedule;
                if (! in)
                    continue;
                working = true;
                EXPECT_FALSE (changing) << "schedule " << schedule;
                tarnwell::steppingSeam();
                working = false;
                gate.leave();
            }
        };
        const SteppedThreads::Body message = [&] {
            gate.close();
            changing = true;
            EXPECT_FALSE (working) << "schedule " << schedule;
            tarnwell::steppingSeam();
            changing = false;
            gate.open();
            opened = true;
        };
        EXPECT_TRUE (SteppedThreads::run ({ audio, message }, choose)) << "schedule " << schedule << " never ended";
        ++schedule;
    });
    EXPECT_GT (schedules, 20u) << "the seams were reached";
}
