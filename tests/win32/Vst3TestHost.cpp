// A Windows x64 VST3 host of our own, run under 64-bit Wine: loads the module inside
// Tarnwell.vst3 through its exported factory alone, as hosts do, and checks the factory and
// class info, the five parameters, the state round trip, that the VST 2.4 chunk of Tarnwell.so
// restored into the VST3 gives the same parameters, and processing against Tarnwell.so's output.
//
//   tarnwell_vst3_host [GoogleTest flags] <Tarnwell.vst3/Contents/x86_64-win/Tarnwell.vst3> <reference file>

#include "ReferenceRun.h"
#include "tests/support/ExpectedDefaults.h"

#include <gtest/gtest.h>
#include <windows.h>

// Defines the interface IDs of the headers below in this one source.
#define INIT_CLASS_IID
#include <pluginterfaces/base/ibstream.h>
#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>
#undef INIT_CLASS_IID

#include <cstdio>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace tarnwell::crosscheck;

namespace
{
using tarnwell::expected::defaultTexts;
using tarnwell::expected::parameterNames;
using tarnwell::expected::storedDefaults;

// A state stream in memory, as hosts hand the plug-in to read and write its state. (Interfaces
// are released, never deleted through their base, which has no virtual destructor.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class MemoryStream final : public IBStream
{
public:
    explicit MemoryStream (std::vector<char> initial = {}) : bytes (std::move (initial)) {}

    tresult PLUGIN_API queryInterface (const TUID id, void** object) override
    {
        if (FUnknownPrivate::iidEqual (id, IBStream_iid) || FUnknownPrivate::iidEqual (id, FUnknown_iid))
        {
            *object = this;
            return kResultOk;
        }
        *object = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; } // lives on the test's stack
    uint32 PLUGIN_API release() override { return 1; }

    tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        const auto n = std::max<int64> (0, std::min<int64> (numBytes, static_cast<int64> (bytes.size()) - position));
        std::memcpy (buffer, bytes.data() + position, static_cast<size_t> (n));
        position += n;
        if (numBytesRead != nullptr)
            *numBytesRead = static_cast<int32> (n);
        return kResultOk;
    }
    tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (numBytes < 0)
            return kInvalidArgument;
        const auto end = static_cast<size_t> (position + numBytes);
        bytes.resize (std::max (bytes.size(), end));
        std::memcpy (bytes.data() + position, buffer, static_cast<size_t> (numBytes));
        position += numBytes;
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult PLUGIN_API seek (int64 pos, int32 mode, int64* result) override
    {
        const int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : static_cast<int64> (bytes.size());
        if (base + pos < 0)
            return kInvalidArgument;
        position = base + pos;
        if (result != nullptr)
            *result = position;
        return kResultOk;
    }
    tresult PLUGIN_API tell (int64* pos) override
    {
        *pos = position;
        return kResultOk;
    }

    std::vector<char> bytes;
    int64 position = 0;
};
#pragma GCC diagnostic pop

template <typename Interface>
Interface* query (FUnknown* object, const TUID iid)
{
    void* result = nullptr;
    return object != nullptr && object->queryInterface (iid, &result) == kResultOk ? static_cast<Interface*> (result)
                                                                                   : nullptr;
}

std::string ascii (const Vst::String128 text)
{
    std::string s;
    for (int i = 0; i < 128 && text[i] != 0; ++i)
        s += static_cast<char> (text[i]);
    return s;
}

IPluginFactory* factory = nullptr;
TUID componentId {}; // the audio module's, found among the factory's classes before the tests
Reference linux;

// One instance as a host sets it up: the component, its edit controller, connected both ways.
struct Instance
{
    Vst::IComponent* component = nullptr;
    Vst::IEditController* controller = nullptr;
    Vst::IConnectionPoint* componentPoint = nullptr;
    Vst::IConnectionPoint* controllerPoint = nullptr;

    Instance()
    {
        void* object = nullptr;
        if (factory->createInstance (reinterpret_cast<const char*> (componentId),
                                     reinterpret_cast<const char*> (Vst::IComponent_iid), &object)
            != kResultOk)
            return;
        component = static_cast<Vst::IComponent*> (object);
        component->initialize (nullptr);

        TUID controllerId {};
        if (component->getControllerClassId (controllerId) != kResultOk
            || factory->createInstance (reinterpret_cast<const char*> (controllerId),
                                        reinterpret_cast<const char*> (Vst::IEditController_iid), &object)
                != kResultOk)
            return;
        controller = static_cast<Vst::IEditController*> (object);
        controller->initialize (nullptr);

        componentPoint = query<Vst::IConnectionPoint> (component, Vst::IConnectionPoint_iid);
        controllerPoint = query<Vst::IConnectionPoint> (controller, Vst::IConnectionPoint_iid);
        if (componentPoint != nullptr && controllerPoint != nullptr)
        {
            componentPoint->connect (controllerPoint);
            controllerPoint->connect (componentPoint);
        }
    }

    ~Instance()
    {
        if (componentPoint != nullptr && controllerPoint != nullptr)
        {
            componentPoint->disconnect (controllerPoint);
            controllerPoint->disconnect (componentPoint);
        }
        for (FUnknown* point : { static_cast<FUnknown*> (componentPoint), static_cast<FUnknown*> (controllerPoint) })
            if (point != nullptr)
                point->release();
        if (controller != nullptr)
        {
            controller->terminate();
            controller->release();
        }
        if (component != nullptr)
        {
            component->terminate();
            component->release();
        }
    }

    bool valid() const
    {
        return component != nullptr && controller != nullptr && componentPoint != nullptr && controllerPoint != nullptr;
    }

    // Restores a state as hosts do: the component reads it, then the controller is told (JUCE's
    // controller takes the values from the shared processor and answers "not implemented").
    bool setState (const std::vector<char>& bytes)
    {
        MemoryStream forComponent (bytes), forController (bytes);
        const bool restored = component->setState (&forComponent) == kResultOk;
        controller->setComponentState (&forController);
        return restored;
    }

    std::vector<char> state()
    {
        MemoryStream stream;
        return component->getState (&stream) == kResultOk ? stream.bytes : std::vector<char> {};
    }

    // The parameter with this title, as the controller lists it.
    Vst::ParamID idOf (const char* title)
    {
        for (int32 i = 0; i < controller->getParameterCount(); ++i)
        {
            Vst::ParameterInfo info {};
            if (controller->getParameterInfo (i, info) == kResultOk && ascii (info.title) == title)
                return info.id;
        }
        return Vst::kNoParamId;
    }
};

//==============================================================================
TEST (Vst3Module, FactoryAndClassInfo)
{
    PFactoryInfo info {};
    ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
    EXPECT_STREQ (info.vendor, tarnwell::expected::vendor);
    EXPECT_STREQ (info.url, "https://quennet.audio");

    auto* factory2 = query<IPluginFactory2> (factory, IPluginFactory2_iid);
    ASSERT_NE (factory2, nullptr);
    int audioModules = 0;
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo classInfo {};
        EXPECT_EQ (factory->getClassInfo (i, &classInfo), kResultOk);
        if (std::string (classInfo.category) != kVstAudioEffectClass)
            continue;
        ++audioModules;
        EXPECT_STREQ (classInfo.name, tarnwell::expected::productName);
        EXPECT_EQ (classInfo.cardinality, PClassInfo::kManyInstances);

        PClassInfo2 details {};
        EXPECT_EQ (factory2->getClassInfo2 (i, &details), kResultOk);
        EXPECT_STREQ (details.subCategories, "Fx|Reverb");
        EXPECT_STREQ (details.vendor, tarnwell::expected::vendor);
        EXPECT_STREQ (details.version, "1.0.0");
    }
    factory2->release();
    EXPECT_EQ (audioModules, 1);
}

// Ours first, in order; JUCE adds only its bypass switch.
TEST (Vst3Module, FiveAutomatableParametersThenTheBypass)
{
    Instance plugin;
    ASSERT_TRUE (plugin.valid());
    const int32 count = plugin.controller->getParameterCount();
    EXPECT_EQ (count, 6);
    for (int32 i = 0; i < count; ++i)
    {
        Vst::ParameterInfo info {};
        ASSERT_EQ (plugin.controller->getParameterInfo (i, info), kResultOk);
        if (i >= 5)
        {
            EXPECT_NE (info.flags & Vst::ParameterInfo::kIsBypass, 0);
            continue;
        }
        SCOPED_TRACE (parameterNames[i]);
        EXPECT_EQ (ascii (info.title), parameterNames[i]);
        EXPECT_NE (info.flags & Vst::ParameterInfo::kCanAutomate, 0);
        EXPECT_EQ (static_cast<float> (info.defaultNormalizedValue), storedDefaults[i]);
        EXPECT_EQ (static_cast<float> (plugin.controller->getParamNormalized (info.id)), storedDefaults[i]);
        Vst::String128 text {};
        EXPECT_EQ (plugin.controller->getParamStringByValue (info.id, info.defaultNormalizedValue, text), kResultOk);
        EXPECT_EQ (ascii (text), defaultTexts[i]);
    }
}

//==============================================================================
// The VST 2.4 chunk that Tarnwell.so handed out after the first scenario's settings, restored
// into the VST3: the same values, and then the same sound as Tarnwell.so after that restore.

// The values that chunk holds: the defaults, with the first scenario's settings over them.
void expectTheFirstScenariosValues (Instance& plugin)
{
    float values[5];
    std::copy (std::begin (storedDefaults), std::end (storedDefaults), values);
    const auto first = scenarios().front();
    for (const auto& setting : first.settings)
        values[setting.index] = setting.value;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (static_cast<float> (plugin.controller->getParamNormalized (plugin.idOf (parameterNames[i]))),
                   values[i])
            << parameterNames[i];
}

TEST (Vst3Module, RestoresTheVst2ChunkOfTarnwellSoAndItsOwnState)
{
    Instance plugin;
    ASSERT_TRUE (plugin.valid());
    ASSERT_TRUE (plugin.setState (linux.configuredChunk));
    expectTheFirstScenariosValues (plugin);

    const auto state = plugin.state();
    ASSERT_FALSE (state.empty());
    Instance other;
    ASSERT_TRUE (other.valid());
    ASSERT_TRUE (other.setState (state));
    EXPECT_EQ (other.state(), state);
    expectTheFirstScenariosValues (other);

    // Bad state changes nothing.
    other.setState ({ 'n', 'o', 't', ' ', 's', 'e', 't', 't', 'i', 'n', 'g', 's' });
    EXPECT_EQ (other.state(), state);
}

// Processing as the first scenario does, in place, in host blocks of its announced size.
TEST (Vst3Module, OutputMatchesTarnwellSoAfterThatRestore)
{
    const auto scenario = scenarios().front();
    Instance plugin;
    ASSERT_TRUE (plugin.valid());
    ASSERT_TRUE (plugin.setState (linux.configuredChunk));
    auto* processor = query<Vst::IAudioProcessor> (plugin.component, Vst::IAudioProcessor_iid);
    ASSERT_NE (processor, nullptr);
    Vst::SpeakerArrangement stereo = Vst::SpeakerArr::kStereo;
    EXPECT_EQ (processor->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
    EXPECT_EQ (plugin.component->activateBus (Vst::kAudio, Vst::kInput, 0, true), kResultOk);
    EXPECT_EQ (plugin.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true), kResultOk);
    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, scenario.blockSize, scenario.sampleRate };
    EXPECT_EQ (processor->setupProcessing (setup), kResultOk);
    EXPECT_EQ (plugin.component->setActive (true), kResultOk);
    processor->setProcessing (true);

    auto channels = input (scenario);
    int failedBlocks = 0;
    for (int start = 0; start < scenario.frames; start += scenario.hostBlock)
    {
        float* buffers[2] { channels[0].data() + start, channels[1].data() + start };
        Vst::AudioBusBuffers in {}, out {};
        in.numChannels = out.numChannels = 2;
        in.channelBuffers32 = out.channelBuffers32 = buffers;
        Vst::ProcessData data {};
        data.processMode = Vst::kRealtime;
        data.symbolicSampleSize = Vst::kSample32;
        data.numSamples = std::min (scenario.hostBlock, scenario.frames - start);
        data.numInputs = data.numOutputs = 1;
        data.inputs = &in;
        data.outputs = &out;
        failedBlocks += processor->process (data) == kResultOk ? 0 : 1;
    }
    processor->setProcessing (false);
    plugin.component->setActive (false);
    processor->release();
    EXPECT_EQ (failedBlocks, 0);

    std::vector<float> output (channels[0]);
    output.insert (output.end(), channels[1].begin(), channels[1].end());
    const auto& reference = linux.outputs.back();
    ASSERT_EQ (output.size(), reference.size());
    const double difference = largestDifference (output, reference);
    std::printf ("VST3, restored run: largest difference %.3g\n", difference);
    EXPECT_LE (difference, 1.0e-6);
}
} // namespace

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s [GoogleTest flags] <Tarnwell.vst3 module> <reference file>\n", argv[0]);
        return 2;
    }

    HMODULE module = LoadLibraryA (argv[1]);
    using InitDll = bool (*)();
    using GetFactory = IPluginFactory*(PLUGIN_API*)();
    auto initDll = module != nullptr
        ? reinterpret_cast<InitDll> (reinterpret_cast<void*> (GetProcAddress (module, "InitDll")))
        : nullptr;
    auto exitDll = module != nullptr
        ? reinterpret_cast<InitDll> (reinterpret_cast<void*> (GetProcAddress (module, "ExitDll")))
        : nullptr;
    auto getFactory = module != nullptr
        ? reinterpret_cast<GetFactory> (reinterpret_cast<void*> (GetProcAddress (module, "GetPluginFactory")))
        : nullptr;
    if (initDll == nullptr || exitDll == nullptr || getFactory == nullptr || ! initDll()
        || (factory = getFactory()) == nullptr)
    {
        std::fprintf (stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (! read (argv[2], linux))
    {
        std::fprintf (stderr, "cannot read the reference %s\n", argv[2]);
        return 1;
    }
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo info {};
        if (factory->getClassInfo (i, &info) == kResultOk && std::string (info.category) == kVstAudioEffectClass)
            std::memcpy (componentId, info.cid, sizeof (TUID));
    }

    const int result = RUN_ALL_TESTS();
    factory->release();
    if (! exitDll())
    {
        std::fprintf (stderr, "ExitDll failed\n");
        return 1;
    }
    return result;
}
