// Audio through the entry point against the same processor run in this process.

#include "TestHost.h"

#include "InProcessReference.h"

using namespace tarnwell::testhost;
using namespace tarnwell::testreference;

namespace
{
class Processing : public LoadedPluginTest
{
protected:
    void apply (const std::vector<Setting>& changes)
    {
        for (const auto& s : changes)
            plugin.effect->setParameter (plugin.effect, s.index, s.value);
    }

    Channels runInPlace (Channels audio, int hostBlock)
    {
        plugin.processInPlace (audio, hostBlock);
        return audio;
    }

    const std::vector<Setting> settings { { 3, 0.6f }, { 4, 0.8f }, { 0, 0.3f }, { 2, 0.7f } };
};

TEST_F (Processing, InPlaceMatchesTheProcessorInProcess)
{
    apply (settings);
    plugin.resume (44100.0f, 256);

    const auto input = noise (2, 256 * 12, 1);
    expectNear (runInPlace (input, 256), reference (2, 2, settings, input, 256));
}

// Separate input and output buffers, in every channel configuration, in host blocks that are
// not a multiple of the vector width and larger than the block size set: the outputs hold
// what the in-place processor gives, and the inputs are left as they were.
TEST_F (Processing, SeparateBuffersGiveTheSameAsInPlace)
{
    struct Configuration { int ins, outs, inType, outType; };
    for (const auto& c : { Configuration { 2, 2, 1, 1 }, Configuration { 1, 2, 0, 1 }, Configuration { 1, 1, 0, 0 } })
    {
        Plugin instance (library);
        Arrangement in (c.ins, c.inType), out (c.outs, c.outType);
        ASSERT_EQ (instance.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out), 1);
        for (const auto& s : settings)
            instance.effect->setParameter (instance.effect, s.index, s.value);
        instance.resume (44100.0f, 512);

        const int hostBlock = 701;
        const auto input = noise (c.ins, hostBlock * 5, 2);
        Channels ins = input, outs (size_t (c.outs), std::vector<float> (input[0].size(), 7.0f));
        for (size_t start = 0; start < input[0].size(); start += hostBlock)
        {
            float* inPtrs[2] {}, *outPtrs[2] {};
            for (size_t ch = 0; ch < ins.size(); ++ch)
                inPtrs[ch] = ins[ch].data() + start;
            for (size_t ch = 0; ch < outs.size(); ++ch)
                outPtrs[ch] = outs[ch].data() + start;
            instance.effect->processReplacing (instance.effect, inPtrs, outPtrs, hostBlock);
        }
        expectNear (outs, reference (c.ins, c.outs, settings, input, 512));
        EXPECT_EQ (ins, input) << c.ins << " in, " << c.outs << " out";
    }
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

TEST_F (Processing, WithoutResumeAndWithOversizedBlocksTheDefaultsApply)
{
    // No resume: the binding resumes at 44100 Hz first. Far more frames than the block size
    // set: processed in pieces, same samples.
    apply (settings);
    plugin.dispatch (effSetBlockSize, 0, 64);

    const auto input = noise (2, 5000, 3);
    expectNear (runInPlace (input, 5000), reference (2, 2, settings, input, 64));
}

TEST_F (Processing, MonoInStereoOutProcessesTheLeftInputAlone)
{
    Arrangement in (1, 0), out (2, 1);
    ASSERT_EQ (plugin.dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out), 1);
    apply (settings);
    plugin.resume (48000.0f, 128);

    auto input = noise (2, 128 * 6, 4);
    const Channels left { input[0] };
    input[1].assign (input[1].size(), 0.25f); // the right buffer is output only

    const auto result = runInPlace (input, 128);
    expectNear (result, reference (1, 2, settings, left, 128, 48000.0));
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
