// The VST3 build's process call, counted on an audio thread of its own, as a strict host's
// "allocations during process" check runs it: several rates, block sizes and layouts, every
// parameter changed before every block. JUCE's hosting loads and prepares the plug-in; the
// blocks go straight to the plug-in's IAudioProcessor, so only the plug-in's own work is counted.
// JUCE's wrapper takes the processor's callback lock around each block, the one lock allowed
// there: it is reported on its own line and may never be found held. Nothing else may allocate,
// free or lock.

#include "LoadedPlugin.h"
#include "tests/support/ExpectedDefaults.h"

#include "AudioThreadCounts.h"

#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivstparameterchanges.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <thread>

using tarnwell::test::BlockCounts;
using tarnwell::test::Format;
namespace vst = Steinberg::Vst;
using Steinberg::int32;
using Steinberg::tresult;

namespace
{
// The interfaces have no virtual destructors; these objects are never deleted through them.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// COM objects that live on the test's stack: no reference counting, no other interfaces.
template <typename Interface>
struct StackObject : Interface
{
    tresult PLUGIN_API queryInterface (const Steinberg::TUID, void** obj) override
    {
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

// One point for one parameter, at the start of the block.
struct OnePointQueue final : StackObject<vst::IParamValueQueue>
{
    vst::ParamID id = 0;
    double value = 0;

    vst::ParamID PLUGIN_API getParameterId() override { return id; }
    int32 PLUGIN_API getPointCount() override { return 1; }
    tresult PLUGIN_API getPoint (int32 index, int32& offset, vst::ParamValue& v) override
    {
        if (index != 0)
            return Steinberg::kResultFalse;
        offset = 0;
        v = value;
        return Steinberg::kResultTrue;
    }
    tresult PLUGIN_API addPoint (int32, vst::ParamValue, int32&) override { return Steinberg::kResultFalse; }
};

struct FiveChanges final : StackObject<vst::IParameterChanges>
{
    std::array<OnePointQueue, 5> queues;

    int32 PLUGIN_API getParameterCount() override { return static_cast<int32> (queues.size()); }
    vst::IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
    {
        return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t> (index)] : nullptr;
    }
    vst::IParamValueQueue* PLUGIN_API addParameterData (const vst::ParamID&, int32&) override { return nullptr; }
};

vst::IComponent* componentOf (juce::AudioPluginInstance& plugin)
{
    struct Finder : juce::ExtensionsVisitor
    {
        vst::IComponent* component = nullptr;
        void visitVST3Client (const VST3Client& client) override { component = client.getIComponentPtr(); }
    } finder;
    plugin.getExtensions (finder);
    return finder.component;
}

// The VST3 ID the hosting gave each of our five parameters, by name.
bool findParameterIds (juce::AudioPluginInstance& plugin, FiveChanges& changes)
{
    const auto& names = tarnwell::expected::parameterNames;
    for (size_t i = 0; i < changes.queues.size(); ++i)
    {
        bool found = false;
        for (auto* p : plugin.getParameters())
            if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (p))
                if (hosted->getName (100) == names[i])
                {
                    changes.queues[i].id = static_cast<vst::ParamID> (hosted->getParameterID().getLargeIntValue());
                    found = true;
                }
        if (! found)
            return false;
    }
    return true;
}
} // namespace

TEST (Vst3AudioThread, ProcessWithParameterChangesTakesOnlyTheWrappersLock)
{
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    struct Layout
    {
        juce::AudioChannelSet in, out;
    };

    for (const double rate : { 44100.0, 96000.0 })
        for (const int blockSize : { 32, 1024 })
            for (const auto& layout : { Layout { stereo, stereo }, Layout { mono, stereo }, Layout { mono, mono } })
            {
                const auto what = std::to_string (static_cast<int> (rate)) + " Hz, blocks of "
                    + std::to_string (blockSize) + ", " + std::to_string (layout.in.size()) + " in "
                    + std::to_string (layout.out.size()) + " out";
                juce::String error;
                auto loaded = tarnwell::test::loadPlugin (Format::vst3, rate, blockSize, error);
                ASSERT_NE (loaded.instance, nullptr) << error;
                auto& plugin = *loaded.instance;
                ASSERT_TRUE (plugin.setBusesLayout ({ { layout.in }, { layout.out } })) << what;
                plugin.prepareToPlay (rate, blockSize);

                auto* component = componentOf (plugin);
                ASSERT_NE (component, nullptr);
                vst::IAudioProcessor* processor = nullptr;
                ASSERT_EQ (component->queryInterface (vst::IAudioProcessor_iid, reinterpret_cast<void**> (&processor)),
                           Steinberg::kResultOk);

                FiveChanges changes;
                ASSERT_TRUE (findParameterIds (plugin, changes)) << what;

                std::vector<float> left (static_cast<size_t> (blockSize)), right (static_cast<size_t> (blockSize));
                float* inputs[] = { left.data(), right.data() };
                float* outputs[] = { left.data(), right.data() };
                vst::AudioBusBuffers inBus, outBus;
                inBus.numChannels = layout.in.size();
                inBus.channelBuffers32 = inputs;
                outBus.numChannels = layout.out.size();
                outBus.channelBuffers32 = outputs;

                vst::ProcessData data;
                data.processMode = vst::kRealtime;
                data.symbolicSampleSize = vst::kSample32;
                data.numSamples = blockSize;
                data.numInputs = 1;
                data.numOutputs = 1;
                data.inputs = &inBus;
                data.outputs = &outBus;
                data.inputParameterChanges = &changes;

                BlockCounts tally;
                std::thread audio ([&] {
                    for (int block = 0; block < 64; ++block)
                    {
                        for (size_t i = 0; i < changes.queues.size(); ++i)
                            changes.queues[i].value =
                                std::fmod (0.07 * static_cast<double> (block + static_cast<int> (i)), 1.0);
                        std::fill (left.begin(), left.end(), 0.0f);
                        std::fill (right.begin(), right.end(), 0.0f);
                        left[0] = 1.0f;

                        tarnwell::test::startCounting();
                        processor->process (data);
                        auto counts = tarnwell::test::stopCounting();

                        // The one allowed lock: one mutex, once per block, never found held.
                        tally.add (counts);
                    }
                });
                audio.join();
                processor->release();
                plugin.releaseResources();

                for (float sample : left)
                    ASSERT_TRUE (std::isfinite (sample)) << what;

                // The changes arrived: the plug-in saves the last block's values.
                std::vector<float> lastValues;
                for (const auto& queue : changes.queues)
                    lastValues.push_back (static_cast<float> (queue.value));
                EXPECT_EQ (tarnwell::test::settingsBlockOf (Format::vst3, plugin),
                           tarnwell::test::vst2BlockFor (lastValues))
                    << what;

                tally.expectOnly ("the wrapper's callback lock", 64, false, what);
            }
}
