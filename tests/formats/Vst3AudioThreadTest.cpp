// The VST3 build's process call, counted on an audio thread of its own, as a strict host's
// "allocations during process" check runs it: several rates, block sizes and layouts, every
// parameter changed before every block. JUCE's wrapper takes the processor's callback lock
// around each block, the one lock allowed there: it is reported on its own line and may never
// be found held. Nothing else may allocate, free or lock.

#include "LoadedPlugin.h"

#include "AudioThreadCounts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <thread>

using tarnwell::test::AudioThreadCounts;
using tarnwell::test::Format;

TEST (Vst3AudioThread, ProcessWithParameterChangesTakesOnlyTheWrappersLock)
{
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    struct Layout { juce::AudioChannelSet in, out; };

    for (const double rate : { 44100.0, 96000.0 })
        for (const int blockSize : { 32, 1024 })
            for (const auto& layout : { Layout { stereo, stereo }, Layout { mono, stereo }, Layout { mono, mono } })
            {
                const auto what = std::to_string (static_cast<int> (rate)) + " Hz, blocks of " + std::to_string (blockSize)
                                  + ", " + std::to_string (layout.in.size()) + " in " + std::to_string (layout.out.size()) + " out";
                juce::String error;
                auto loaded = tarnwell::test::loadPlugin (Format::vst3, rate, blockSize, error);
                ASSERT_NE (loaded.instance, nullptr) << error;
                auto& plugin = *loaded.instance;
                ASSERT_TRUE (plugin.setBusesLayout ({ { layout.in }, { layout.out } })) << what;
                plugin.prepareToPlay (rate, blockSize);

                // The host's side of a block (buffers, its parameter queue) is ready before the
                // count starts; only the plug-in's process call is counted.
                juce::AudioBuffer<float> buffer (2, blockSize);
                juce::MidiBuffer midi;
                const auto& parameters = plugin.getParameters();
                AudioThreadCounts total;
                long lockedBlocks = 0;

                std::thread audio ([&]
                                   {
                                       for (int block = 0; block < 64; ++block)
                                       {
                                           for (int i = 0; i < 5; ++i)
                                               parameters.getUnchecked (i)->setValue (std::fmod (0.07f * static_cast<float> (block + i), 1.0f));
                                           buffer.clear();
                                           buffer.setSample (0, 0, 1.0f);
                                           tarnwell::test::startCounting();
                                           plugin.processBlock (buffer, midi);
                                           const auto counts = tarnwell::test::stopCounting();

                                           // The one allowed lock: one mutex, once per block, never waited for.
                                           auto rest = counts;
                                           if (counts.mutexLocks == 1 && counts.mutexWaits == 0)
                                           {
                                               rest.mutexLocks = 0;
                                               rest.distinctMutexes = 0;
                                               ++lockedBlocks;
                                           }
                                           total.allocations += rest.allocations;
                                           total.frees += rest.frees;
                                           total.mutexLocks += rest.mutexLocks;
                                           total.mutexWaits += rest.mutexWaits;
                                       }
                                   });
                audio.join();
                plugin.releaseResources();

                for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                    for (int n = 0; n < blockSize; ++n)
                        ASSERT_TRUE (std::isfinite (buffer.getSample (ch, n))) << what;

                if (! tarnwell::test::audioThreadCountingWorks())
                    continue;
                std::cout << what << ": the wrapper's callback lock in " << lockedBlocks << " of 64 blocks, never waited for\n";
                EXPECT_TRUE (total.isZero()) << what << ", besides that lock: " << total;
            }
}
