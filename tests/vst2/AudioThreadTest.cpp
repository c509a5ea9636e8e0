// What the plug-in does on the host's audio thread, counted: inside every call a host may make
// from it (processReplacing, setParameter, getParameter and the audio-time dispatcher queries)
// there may be no allocation, no free and no mutex lock, from the very first block on.

#include "TestHost.h"

#include "AudioThreadCounts.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

using namespace tarnwell::testhost;
using tarnwell::test::AudioThreadCounts;

namespace
{
// Hosts ask these from the audio thread around the blocks they process.
enum : int {
    effStartProcessRequest = 71,
    effStopProcessRequest = 72,
};

void expectNothingCounted (const AudioThreadCounts& counts, const std::string& what)
{
    if (tarnwell::test::audioThreadCountingWorks())
        EXPECT_TRUE (counts.isZero()) << what << ": " << counts;
    else
        std::cout << "[ counting unavailable under this sanitizer ] " << what << '\n';
}

// One block as an automating host plays it on its audio thread: every parameter set, read back,
// the audio-time queries, then the block itself.
AudioThreadCounts automatedBlock (Plugin& p, float** ins, float** outs, int frames, float value)
{
    tarnwell::test::startCounting();
    p.dispatch (effStartProcessRequest);
    VstEvents noEvents {};
    p.dispatch (effProcessEvents, 0, 0, &noEvents);
    for (int i = 0; i < 5; ++i)
        p.effect->setParameter (p.effect, i, std::fmod (value + 0.13f * static_cast<float> (i), 1.0f));
    volatile float readBack = 0;
    for (int i = 0; i < 5; ++i)
        readBack = readBack + p.effect->getParameter (p.effect, i);
    p.dispatch (tarnwell::vst::effGetTailSize);
    p.effect->processReplacing (p.effect, ins, outs, frames);
    p.dispatch (effStopProcessRequest);
    return tarnwell::test::stopCounting();
}

AudioThreadCounts plainBlock (Plugin& p, float** ins, float** outs, int frames)
{
    tarnwell::test::startCounting();
    p.effect->processReplacing (p.effect, ins, outs, frames);
    return tarnwell::test::stopCounting();
}

TEST (AudioThread, FromTheFirstBlockInEveryLayoutAndBlockSizeNothingIsCounted)
{
    PluginLibrary library;
    ASSERT_TRUE (library.isLoaded()) << dlerror();

    struct Layout
    {
        int ins, outs;
    };
    for (const auto layout : { Layout { 2, 2 }, Layout { 1, 2 }, Layout { 1, 1 } })
    {
        for (const int blockSize : { 1, 64, 512, 4096 })
        {
            const auto what = std::to_string (layout.ins) + " in, " + std::to_string (layout.outs) + " out, blocks of "
                + std::to_string (blockSize);
            Plugin plugin (library);
            ASSERT_NE (plugin.effect, nullptr);
            Arrangement in (layout.ins, layout.ins == 1 ? 0 : 1), out (layout.outs, layout.outs == 1 ? 0 : 1);
            ASSERT_EQ (plugin.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out), 1);

            std::vector<float> left (8192, 0.25f), right (8192, -0.25f);
            float* channels[] = { left.data(), right.data() };

            // A host that never resumes: its first blocks are plain and automated ones.
            plugin.dispatch (effSetBlockSize, 0, blockSize);
            expectNothingCounted (plainBlock (plugin, channels, channels, blockSize),
                                  what + ", first block, never resumed");
            expectNothingCounted (automatedBlock (plugin, channels, channels, blockSize, 0.3f),
                                  what + ", never resumed, automated");

            plugin.resume (48000.0f, blockSize);
            AudioThreadCounts plain, automated;
            for (int block = 0; block < 20; ++block)
            {
                plain += plainBlock (plugin, channels, channels, blockSize);
                automated += automatedBlock (plugin, channels, channels, blockSize, 0.05f * static_cast<float> (block));
            }
            // More frames than the block size set, as some hosts send.
            automated += automatedBlock (plugin, channels, channels, 8192, 0.9f);
            expectNothingCounted (plain, what + ", plain");
            expectNothingCounted (automated, what + ", automated");

            for (float sample : left)
                ASSERT_TRUE (std::isfinite (sample)) << what;
        }
    }
}

// Ten seconds in which another thread saves, restores, sets parameters and reads texts as fast
// as it can, while the audio thread automates every parameter before every block. Nothing may
// reach the audio thread, and afterwards the plug-in must be in a state that setting its values
// in quiet gives.
TEST (AudioThread, StormOfSavesRestoresAndChangesNeverReachesTheAudioThread)
{
    PluginLibrary library;
    ASSERT_TRUE (library.isLoaded()) << dlerror();
    Plugin plugin (library);
    ASSERT_NE (plugin.effect, nullptr);
    plugin.resume (44100.0f, 128);

    std::atomic<bool> stop { false };
    std::atomic<long> restores { 0 };
    std::thread other ([&] {
        std::vector<char> saved;
        float value = 0.0f;
        while (! stop)
        {
            void* chunk = nullptr;
            const auto size = plugin.dispatch (effGetChunk, 0, 0, &chunk);
            if (chunk != nullptr && size > 0)
            {
                if (! saved.empty())
                {
                    plugin.dispatch (effSetChunk, 0, static_cast<VstIntPtr> (saved.size()), saved.data());
                    ++restores;
                }
                saved.assign (static_cast<char*> (chunk), static_cast<char*> (chunk) + size);
            }
            value = std::fmod (value + 0.37f, 1.0f);
            const int index = static_cast<int> (value * 5.0f);
            plugin.effect->setParameter (plugin.effect, index, value);
            for (int i = 0; i < 5; ++i)
                plugin.text (effGetParamDisplay, i);
        }
    });

    std::vector<float> left (128), right (128);
    float* channels[] = { left.data(), right.data() };
    AudioThreadCounts total;
    long blocks = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds (10);
    while (std::chrono::steady_clock::now() < end)
    {
        for (size_t n = 0; n < left.size(); ++n)
            left[n] = right[n] = n == 0 ? 1.0f : 0.0f;
        total += automatedBlock (plugin, channels, channels, 128, 0.001f * static_cast<float> (blocks % 1000));
        ++blocks;
    }
    stop = true;
    other.join();

    std::cout << blocks << " blocks, " << restores << " restores: " << total << '\n';
    EXPECT_GT (restores.load(), 0);
    expectNothingCounted (total, "during the storm");
    for (float sample : left)
        ASSERT_TRUE (std::isfinite (sample));

    // In quiet: the stormed instance saves and shows what a fresh one set to its values does.
    Plugin fresh (library);
    ASSERT_NE (fresh.effect, nullptr);
    for (int i = 0; i < 5; ++i)
        fresh.effect->setParameter (fresh.effect, i, plugin.effect->getParameter (plugin.effect, i));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (plugin.text (effGetParamDisplay, i), fresh.text (effGetParamDisplay, i)) << i;

    auto chunkOf = [] (Plugin& p) {
        void* chunk = nullptr;
        const auto size = p.dispatch (effGetChunk, 0, 0, &chunk);
        return chunk != nullptr ? std::string (static_cast<char*> (chunk), static_cast<size_t> (size)) : std::string();
    };
    EXPECT_EQ (chunkOf (plugin), chunkOf (fresh));
}
} // namespace
