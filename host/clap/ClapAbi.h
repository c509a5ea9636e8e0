#pragma once

// The part of the CLAP 1.x binary interface that Tarnwell uses, declared from its published
// facts: structure layouts, identifiers and calling conventions. No CLAP header package exists
// where we build, so these are our own declarations of the same ABI, as host/vst2/VstAbi.h does for
// VST 2.4 over FST. Each record lists its fields in the ABI's order; names are ours.
//
// The convention is the C one (cdecl on 32-bit Windows), booleans are one byte, and every record
// takes its natural C alignment. static_asserts below pin the sizes that a host built with the
// real headers relies on.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && ! defined(_WIN64)
#define TARNWELL_CLAP_CALL __cdecl
#else
#define TARNWELL_CLAP_CALL
#endif

namespace tarnwell::clap
{
using Id = std::uint32_t;
constexpr Id invalidId = 0xffffffffu;

constexpr std::size_t nameSize = 256; // fixed text fields: names
constexpr std::size_t pathSize = 1024; // fixed text fields: paths and modules

struct Version
{
    std::uint32_t major, minor, revision;
};

// The ABI version Tarnwell declares: a host accepts any 1.x.
constexpr Version version { 1, 1, 0 };

struct Host;
struct Plugin;
struct InputEvents;
struct OutputEvents;

// The exported symbol "clap_entry".
struct PluginEntry
{
    Version clapVersion;
    bool (TARNWELL_CLAP_CALL* init) (const char* pluginPath);
    void (TARNWELL_CLAP_CALL* deinit)();
    const void*(TARNWELL_CLAP_CALL* getFactory) (const char* factoryId);
};

struct PluginDescriptor
{
    Version clapVersion;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* version;
    const char* description;
    const char* const* features; // null-terminated
};

constexpr const char* pluginFactoryId = "clap.plugin-factory";

struct PluginFactory
{
    std::uint32_t (TARNWELL_CLAP_CALL* getPluginCount) (const PluginFactory*);
    const PluginDescriptor*(TARNWELL_CLAP_CALL* getPluginDescriptor) (const PluginFactory*, std::uint32_t index);
    const Plugin*(TARNWELL_CLAP_CALL* createPlugin) (const PluginFactory*, const Host*, const char* pluginId);
};

struct Host
{
    Version clapVersion;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(TARNWELL_CLAP_CALL* getExtension) (const Host*, const char* extensionId);
    void (TARNWELL_CLAP_CALL* requestRestart) (const Host*);
    void (TARNWELL_CLAP_CALL* requestProcess) (const Host*);
    void (TARNWELL_CLAP_CALL* requestCallback) (const Host*);
};

//==============================================================================
// Events: a header, then the type's own fields.
struct EventHeader
{
    std::uint32_t size; // of the whole event
    std::uint32_t time; // frame offset in the block
    std::uint16_t spaceId;
    std::uint16_t type;
    std::uint32_t flags;
};

constexpr std::uint16_t coreEventSpace = 0;

enum EventType : std::uint16_t {
    eventParamValue = 5,
    eventParamMod = 6,
    eventParamGestureBegin = 7,
    eventParamGestureEnd = 8,
};

struct ParamValueEvent
{
    EventHeader header;
    Id paramId;
    void* cookie;
    std::int32_t noteId; // -1: any
    std::int16_t portIndex, channel, key; // -1: any
    double value;
};

struct ParamGestureEvent
{
    EventHeader header;
    Id paramId;
};

struct InputEvents
{
    void* context;
    std::uint32_t (TARNWELL_CLAP_CALL* size) (const InputEvents*);
    const EventHeader*(TARNWELL_CLAP_CALL* get) (const InputEvents*, std::uint32_t index);
};

struct OutputEvents
{
    void* context;
    bool (TARNWELL_CLAP_CALL* tryPush) (const OutputEvents*, const EventHeader*);
};

//==============================================================================
struct AudioBuffer
{
    float** data32;
    double** data64;
    std::uint32_t channelCount;
    std::uint32_t latency;
    std::uint64_t constantMask;
};

struct Process
{
    std::int64_t steadyTime;
    std::uint32_t framesCount;
    const void* transport;
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    std::uint32_t audioInputsCount;
    std::uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

enum ProcessStatus : std::int32_t {
    processError = 0,
    processContinue = 1,
    processContinueIfNotQuiet = 2,
    processTail = 3,
    processSleep = 4,
};

struct Plugin
{
    const PluginDescriptor* desc;
    void* pluginData;
    bool (TARNWELL_CLAP_CALL* init) (const Plugin*);
    void (TARNWELL_CLAP_CALL* destroy) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* activate) (const Plugin*, double sampleRate, std::uint32_t minFrames,
                                         std::uint32_t maxFrames);
    void (TARNWELL_CLAP_CALL* deactivate) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* startProcessing) (const Plugin*);
    void (TARNWELL_CLAP_CALL* stopProcessing) (const Plugin*);
    void (TARNWELL_CLAP_CALL* reset) (const Plugin*);
    std::int32_t (TARNWELL_CLAP_CALL* process) (const Plugin*, const Process*);
    const void*(TARNWELL_CLAP_CALL* getExtension) (const Plugin*, const char* extensionId);
    void (TARNWELL_CLAP_CALL* onMainThread) (const Plugin*);
};

#if ! defined(_WIN32) || defined(_WIN64)
static_assert (sizeof (EventHeader) == 16 && sizeof (ParamValueEvent) == 56 && sizeof (ParamGestureEvent) == 20);
static_assert (sizeof (AudioBuffer) == 32 && sizeof (Process) == 64 && sizeof (Plugin) == 96);
static_assert (sizeof (Host) == 88 && sizeof (PluginDescriptor) == 88 && sizeof (PluginEntry) == 40);
#endif
} // namespace tarnwell::clap
