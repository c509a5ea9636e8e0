// A Windows x64 VST3 host of our own, run under 64-bit Wine: loads the module inside
// Tarnwell.vst3 through its exported factory alone, as hosts do, and checks the factory and
// class info, the five parameters, the state round trip, that the VST 2.4 chunk of Tarnwell.so
// restored into the VST3 gives the same parameters, and processing against Tarnwell.so's output.
//
//   tarnwell_vst3_host <Tarnwell.vst3/Contents/x86_64-win/Tarnwell.vst3> <reference file>
//
// Prints each failure and "N passed, N failed"; exits non-zero on any failure.

#include "Checks.h"
#include "ReferenceRun.h"
#include "tests/support/ExpectedDefaults.h"

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

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using namespace Steinberg;
using namespace tarnwell::checks;
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
    return object != nullptr && object->queryInterface (iid, &result) == kResultOk ? static_cast<Interface*> (result) : nullptr;
}

std::string ascii (const Vst::String128 text)
{
    std::string s;
    for (int i = 0; i < 128 && text[i] != 0; ++i)
        s += static_cast<char> (text[i]);
    return s;
}

IPluginFactory* factory = nullptr;
TUID componentId {};

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
        if (factory->createInstance (reinterpret_cast<const char*> (componentId), reinterpret_cast<const char*> (Vst::IComponent_iid), &object) != kResultOk)
            return;
        component = static_cast<Vst::IComponent*> (object);
        component->initialize (nullptr);

        TUID controllerId {};
        if (component->getControllerClassId (controllerId) != kResultOk
            || factory->createInstance (reinterpret_cast<const char*> (controllerId), reinterpret_cast<const char*> (Vst::IEditController_iid), &object) != kResultOk)
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

    bool valid() const { return component != nullptr && controller != nullptr && componentPoint != nullptr && controllerPoint != nullptr; }

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
void factoryAndClasses()
{
    PFactoryInfo info {};
    CHECK (factory->getFactoryInfo (&info) == kResultOk);
    CHECK_TEXT (std::string (info.vendor), std::string (tarnwell::expected::vendor));
    CHECK_TEXT (std::string (info.url), std::string ("https://quennet.audio"));

    int audioModules = 0;
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo classInfo {};
        CHECK (factory->getClassInfo (i, &classInfo) == kResultOk);
        if (std::string (classInfo.category) != kVstAudioEffectClass)
            continue;
        ++audioModules;
        std::memcpy (componentId, classInfo.cid, sizeof (TUID));
        CHECK_TEXT (std::string (classInfo.name), std::string ("Tarnwell"));
        CHECK (classInfo.cardinality == PClassInfo::kManyInstances);

        auto* factory2 = query<IPluginFactory2> (factory, IPluginFactory2_iid);
        PClassInfo2 details {};
        if (CHECK (factory2 != nullptr) && CHECK (factory2->getClassInfo2 (i, &details) == kResultOk))
        {
            CHECK_TEXT (std::string (details.subCategories), std::string ("Fx|Reverb"));
            CHECK_TEXT (std::string (details.vendor), std::string (tarnwell::expected::vendor));
            CHECK_TEXT (std::string (details.version), std::string ("1.0.0"));
        }
        if (factory2 != nullptr)
            factory2->release();
    }
    CHECK (audioModules == 1);
}

void parameters()
{
    Instance plugin;
    if (! CHECK (plugin.valid()))
        return;

    // Ours first, in order; JUCE adds only its bypass switch.
    const int32 count = plugin.controller->getParameterCount();
    check (count == 6, "five parameters and the bypass", __LINE__, std::to_string (count) + " parameters");
    for (int32 i = 0; i < count; ++i)
    {
        Vst::ParameterInfo info {};
        CHECK (plugin.controller->getParameterInfo (i, info) == kResultOk);
        if (i < 5)
        {
            CHECK_TEXT (ascii (info.title), std::string (parameterNames[i]));
            CHECK ((info.flags & Vst::ParameterInfo::kCanAutomate) != 0);
            CHECK (static_cast<float> (info.defaultNormalizedValue) == storedDefaults[i]);
            CHECK (static_cast<float> (plugin.controller->getParamNormalized (info.id)) == storedDefaults[i]);
            Vst::String128 text {};
            CHECK (plugin.controller->getParamStringByValue (info.id, info.defaultNormalizedValue, text) == kResultOk);
            CHECK_TEXT (ascii (text), std::string (defaultTexts[i]));
        }
        else
            CHECK ((info.flags & Vst::ParameterInfo::kIsBypass) != 0);
    }
}

//==============================================================================
// The VST 2.4 chunk that Tarnwell.so handed out after the first scenario's settings, restored
// into the VST3: the same values, and then the same sound as Tarnwell.so after that restore.
void stateAcrossFormats (const Reference& linux)
{
    const auto scenario = scenarios().front();
    Instance plugin;
    if (! CHECK (plugin.valid()) || ! CHECK (plugin.setState (linux.configuredChunk)))
        return;

    float expected[5];
    std::copy (std::begin (storedDefaults), std::end (storedDefaults), expected);
    for (const auto& setting : scenario.settings)
        expected[setting.index] = setting.value;
    for (int i = 0; i < 5; ++i)
        check (static_cast<float> (plugin.controller->getParamNormalized (plugin.idOf (parameterNames[i]))) == expected[i],
               "the VST 2.4 chunk's value", __LINE__, parameterNames[i]);

    const auto state = plugin.state();
    CHECK (! state.empty());

    // Round trip into another instance.
    Instance other;
    if (! CHECK (other.valid()) || ! CHECK (other.setState (state)))
        return;
    CHECK (other.state() == state);
    for (int i = 0; i < 5; ++i)
        CHECK (static_cast<float> (other.controller->getParamNormalized (other.idOf (parameterNames[i]))) == expected[i]);

    // Bad state changes nothing.
    other.setState ({ 'n', 'o', 't', ' ', 's', 'e', 't', 't', 'i', 'n', 'g', 's' });
    CHECK (other.state() == state);

    // Processing as the first scenario does, in place, in host blocks of its announced size.
    auto* processor = query<Vst::IAudioProcessor> (plugin.component, Vst::IAudioProcessor_iid);
    if (! CHECK (processor != nullptr))
        return;
    Vst::SpeakerArrangement stereo = Vst::SpeakerArr::kStereo;
    CHECK (processor->setBusArrangements (&stereo, 1, &stereo, 1) == kResultTrue);
    CHECK (plugin.component->activateBus (Vst::kAudio, Vst::kInput, 0, true) == kResultOk);
    CHECK (plugin.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true) == kResultOk);
    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, scenario.blockSize, scenario.sampleRate };
    CHECK (processor->setupProcessing (setup) == kResultOk);
    CHECK (plugin.component->setActive (true) == kResultOk);
    processor->setProcessing (true);

    auto channels = input (scenario);
    bool processed = true;
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
        processed = processor->process (data) == kResultOk && processed;
    }
    processor->setProcessing (false);
    plugin.component->setActive (false);
    processor->release();
    CHECK (processed);

    std::vector<float> output (channels[0]);
    output.insert (output.end(), channels[1].begin(), channels[1].end());
    const auto& reference = linux.outputs.back();
    if (! CHECK (output.size() == reference.size()))
        return;
    double maxDifference = 0.0;
    for (size_t n = 0; n < output.size(); ++n)
    {
        const double d = std::fabs (static_cast<double> (output[n]) - static_cast<double> (reference[n]));
        maxDifference = std::isfinite (d) ? std::max (maxDifference, d) : 1.0e30;
    }
    char detail[96];
    std::snprintf (detail, sizeof detail, "VST3, restored run: largest difference %.3g", maxDifference);
    check (maxDifference <= 1.0e-6, "output matches Tarnwell.so within 1e-6", __LINE__, detail);
    std::printf ("%s\n", detail);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s <Tarnwell.vst3 module> <reference file>\n", argv[0]);
        return 2;
    }

    HMODULE module = LoadLibraryA (argv[1]);
    using InitDll = bool (*)();
    using GetFactory = IPluginFactory* (PLUGIN_API*) ();
    auto initDll = module != nullptr ? reinterpret_cast<InitDll> (reinterpret_cast<void*> (GetProcAddress (module, "InitDll"))) : nullptr;
    auto exitDll = module != nullptr ? reinterpret_cast<InitDll> (reinterpret_cast<void*> (GetProcAddress (module, "ExitDll"))) : nullptr;
    auto getFactory = module != nullptr ? reinterpret_cast<GetFactory> (reinterpret_cast<void*> (GetProcAddress (module, "GetPluginFactory"))) : nullptr;
    if (initDll == nullptr || exitDll == nullptr || getFactory == nullptr || ! initDll() || (factory = getFactory()) == nullptr)
    {
        std::printf ("cannot load %s (error %lu)\n0 passed, 1 failed\n", argv[1], GetLastError());
        return 1;
    }

    Reference linux;
    if (! read (argv[2], linux))
    {
        std::printf ("cannot read the reference %s\n0 passed, 1 failed\n", argv[2]);
        return 1;
    }

    factoryAndClasses();
    parameters();
    stateAcrossFormats (linux);

    factory->release();
    CHECK (exitDll());
    std::printf ("%d passed, %d failed\n", passed, failed);
    std::fflush (stdout);
    return failed == 0 ? 0 : 1;
}
