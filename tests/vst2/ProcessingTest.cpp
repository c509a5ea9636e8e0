// Audio through the entry point: what the binding translates (the arrangement's channel counts,
// the host's pointers in place or apart, the rate it resumed at, or none) reaches the core as
// it is. How the core splits, aliases and clamps is held by the core's own properties.

#include "TestHost.h"

#include "processor/InstanceCore.h"
#include "tests/support/ReferenceSignals.h"

#include <functional>

using namespace tarnwell::testhost;
using namespace tarnwell::testreference;

namespace
{
class Processing : public LoadedPluginTest
{};

// In each arrangement, in place and apart, resumed at 48 kHz or never (the core's 44100 Hz), in
// host blocks larger than the block size set: the outputs are what a core given the same calls
// gives, and inputs given apart are left as they were.
TEST_F (Processing, EachArrangementInPlaceOrApartPlaysWhatTheCorePlays)
{
    struct Configuration
    {
        int ins, outs, inType, outType;
    };
    constexpr int hostBlock = 701, frames = hostBlock * 5;
    const auto input = noise (2, frames, 2); // with one input, the right buffer is output only
    for (const auto& c : { Configuration { 2, 2, 1, 1 }, Configuration { 1, 2, 0, 1 }, Configuration { 1, 1, 0, 0 } })
        for (const bool inPlace : { true, false })
        {
            SCOPED_TRACE (std::to_string (c.ins) + " in, " + std::to_string (c.outs)
                          + (inPlace ? " out, in place" : " out, apart"));
            Plugin instance (library);
            Arrangement in (c.ins, c.inType), out (c.outs, c.outType);
            ASSERT_EQ (instance.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out), 1);
            tarnwell::InstanceCore core;
            for (int i = 0; i < 5; ++i)
            {
                instance.effect->setParameter (instance.effect, i, someValues[static_cast<size_t> (i)]);
                core.controls().setParameter (i, someValues[static_cast<size_t> (i)]);
            }
            if (inPlace)
                instance.dispatch (effSetBlockSize, 0, 64);
            else
            {
                instance.resume (48000.0f, 512);
                core.session().prepare (48000.0);
            }

            const auto run = [&] (const std::function<void (float**, float**)>& process) {
                Channels ins = input, apart (2, std::vector<float> (frames, 7.0f));
                auto& outs = inPlace ? ins : apart;
                for (int start = 0; start < frames; start += hostBlock)
                {
                    float* i[2] = { ins[0].data() + start, ins[1].data() + start };
                    float* o[2] = { outs[0].data() + start, outs[1].data() + start };
                    process (i, o);
                }
                return std::pair { ins, apart };
            };
            const auto played = run (
                [&] (float** i, float** o) { instance.effect->processReplacing (instance.effect, i, o, hostBlock); });
            const auto expected =
                run ([&] (float** i, float** o) { core.audio().process (i, c.ins, o, c.outs, hostBlock); });
            ASSERT_GT (peak (expected.first) + peak (expected.second), 0.01f);
            EXPECT_EQ (played, expected);
            if (! inPlace)
            {
                EXPECT_EQ (played.first, input);
            }
        }
}

// The rate a host's calls leave the instance at, whatever their order: a rate set while
// resumed (as Audacity sets it, just after resuming) plays from the next block as one set
// before resuming; one set while suspended waits for the resume; none, or 0, is 44100 Hz. Each
// resume, and only a resume, announces the channel counts on stdout.
TEST_F (Processing, TheRateSetPlaysFromTheNextBlockWhetherSetBeforeOrWhileResumed)
{
    constexpr int block = 512;
    const auto input = burst (2, block * 8, block, 5);
    const auto played = [&] (const std::function<void (Plugin&)>& calls, const char* announced) {
        Plugin instance (library);
        ::testing::internal::CaptureStdout();
        calls (instance);
        EXPECT_EQ (::testing::internal::GetCapturedStdout(), announced);
        auto output = input;
        instance.processInPlace (output, block);
        return output;
    };
    const auto rate = [] (Plugin& p, float r) { p.dispatch (effSetSampleRate, 0, 0, nullptr, r); };
    const auto mains = [] (Plugin& p, int on) { p.dispatch (effMainsChanged, 0, on); };
    const char* const once = "2 input channels\n2 output channels\n";
    const std::string twice = std::string (once) + once, thrice = twice + once;

    const auto at48k = played ([&] (Plugin& p) { p.resume (48000.0f, block); }, once);
    const auto at44k = played ([&] (Plugin& p) { p.resume (44100.0f, block); }, once);
    ASSERT_GT (largestDifference (at48k, at44k), 1e-3f);
    EXPECT_EQ (played (
                   [&] (Plugin& p) {
                       p.resume (44100.0f, block);
                       rate (p, 48000.0f);
                   },
                   twice.c_str()),
               at48k);
    EXPECT_EQ (played (
                   [&] (Plugin& p) {
                       p.resume (44100.0f, block);
                       mains (p, 0);
                       rate (p, 48000.0f);
                       mains (p, 1);
                   },
                   twice.c_str()),
               at48k);
    EXPECT_EQ (played (
                   [&] (Plugin& p) {
                       p.resume (48000.0f, block);
                       mains (p, 0);
                       rate (p, 44100.0f);
                   },
                   once),
               at48k);
    EXPECT_EQ (played (
                   [&] (Plugin& p) {
                       p.resume (96000.0f, block);
                       rate (p, 44100.0f);
                       rate (p, 48000.0f);
                   },
                   thrice.c_str()),
               at48k);
    EXPECT_EQ (played ([&] (Plugin& p) { mains (p, 1); }, once), at44k);
    EXPECT_EQ (played ([&] (Plugin& p) { p.resume (0.0f, block); }, once), at44k);
    EXPECT_EQ (played ([&] (Plugin& p) { rate (p, 48000.0f); }, ""), at44k) << "never resumed: the core as made";
}

TEST_F (Processing, AccumulatingAndDoubleCallsLeaveOutputsAlone)
{
    plugin.resume (44100.0f, 64);

    std::vector<float> inF (64, 0.5f), outF (64, 3.0f);
    float* insF[] = { inF.data(), inF.data() };
    float* outsF[] = { outF.data(), outF.data() };
    plugin.effect->process (plugin.effect, insF, outsF, 64);
    EXPECT_EQ (outF, std::vector<float> (64, 3.0f));

    std::vector<double> inD (64, 0.5), outD (64, 3.0);
    double* insD[] = { inD.data(), inD.data() };
    double* outsD[] = { outD.data(), outD.data() };
    plugin.effect->processDoubleReplacing (plugin.effect, insD, outsD, 64);
    EXPECT_EQ (outD, std::vector<double> (64, 3.0));
}

TEST_F (Processing, BadBuffersAreRefusedWithoutTouchingAnything)
{
    plugin.resume (44100.0f, 64);
    std::vector<float> a (64, 0.5f), b (64, 0.5f);
    float* good[] = { a.data(), b.data() };
    float* half[] = { a.data(), nullptr };

    plugin.effect->processReplacing (plugin.effect, nullptr, good, 64);
    plugin.effect->processReplacing (plugin.effect, good, nullptr, 64);
    plugin.effect->processReplacing (plugin.effect, half, half, 64);
    plugin.effect->processReplacing (plugin.effect, good, good, 0);
    plugin.effect->processReplacing (plugin.effect, good, good, -100);
    EXPECT_EQ (a, std::vector<float> (64, 0.5f));
    EXPECT_EQ (b, std::vector<float> (64, 0.5f));
}
} // namespace
