#pragma once

// The CLAP 1.x extensions Tarnwell offers or asks its host for, declared from their published
// facts as ClapAbi.h declares the core. A plug-in's extension is a record of functions the
// host gets from Plugin::getExtension by id; a host's from Host::getExtension.

#include "host/clap/ClapAbi.h"

namespace tarnwell::clap
{
namespace extension
{
constexpr const char* audioPorts = "clap.audio-ports";
constexpr const char* audioPortsConfig = "clap.audio-ports-config";
constexpr const char* params = "clap.params";
constexpr const char* state = "clap.state";
constexpr const char* latency = "clap.latency";
constexpr const char* tail = "clap.tail";
constexpr const char* render = "clap.render";
constexpr const char* threadCheck = "clap.thread-check";
constexpr const char* gui = "clap.gui";
constexpr const char* timerSupport = "clap.timer-support";
constexpr const char* posixFdSupport = "clap.posix-fd-support";
} // namespace extension

//==============================================================================
constexpr std::uint32_t audioPortIsMain = 1u << 0;
constexpr const char* portMono = "mono";
constexpr const char* portStereo = "stereo";

struct AudioPortInfo
{
    Id id;
    char name[nameSize];
    std::uint32_t flags;
    std::uint32_t channelCount;
    const char* portType;
    Id inPlacePair;
};

struct PluginAudioPorts
{
    std::uint32_t (TARNWELL_CLAP_CALL* count) (const Plugin*, bool isInput);
    bool (TARNWELL_CLAP_CALL* get) (const Plugin*, std::uint32_t index, bool isInput, AudioPortInfo*);
};

struct AudioPortsConfig
{
    Id id;
    char name[nameSize];
    std::uint32_t inputPortCount;
    std::uint32_t outputPortCount;
    bool hasMainInput;
    std::uint32_t mainInputChannelCount;
    const char* mainInputPortType;
    bool hasMainOutput;
    std::uint32_t mainOutputChannelCount;
    const char* mainOutputPortType;
};

struct PluginAudioPortsConfig
{
    std::uint32_t (TARNWELL_CLAP_CALL* count) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* get) (const Plugin*, std::uint32_t index, AudioPortsConfig*);
    bool (TARNWELL_CLAP_CALL* select) (const Plugin*, Id configId);
};

//==============================================================================
constexpr std::uint32_t paramIsAutomatable = 1u << 5;

struct ParamInfo
{
    Id id;
    std::uint32_t flags;
    void* cookie;
    char name[nameSize];
    char module[pathSize];
    double minValue, maxValue, defaultValue;
};

struct PluginParams
{
    std::uint32_t (TARNWELL_CLAP_CALL* count) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* getInfo) (const Plugin*, std::uint32_t paramIndex, ParamInfo*);
    bool (TARNWELL_CLAP_CALL* getValue) (const Plugin*, Id, double* value);
    bool (TARNWELL_CLAP_CALL* valueToText) (const Plugin*, Id, double value, char* text, std::uint32_t capacity);
    bool (TARNWELL_CLAP_CALL* textToValue) (const Plugin*, Id, const char* text, double* value);
    void (TARNWELL_CLAP_CALL* flush) (const Plugin*, const InputEvents*, const OutputEvents*);
};

struct HostParams
{
    void (TARNWELL_CLAP_CALL* rescan) (const Host*, std::uint32_t flags);
    void (TARNWELL_CLAP_CALL* clear) (const Host*, Id, std::uint32_t flags);
    void (TARNWELL_CLAP_CALL* requestFlush) (const Host*);
};

//==============================================================================
struct OutputStream
{
    void* context;
    std::int64_t (TARNWELL_CLAP_CALL* write) (const OutputStream*, const void* buffer, std::uint64_t size);
};

struct InputStream
{
    void* context;
    std::int64_t (TARNWELL_CLAP_CALL* read) (const InputStream*, void* buffer, std::uint64_t size);
};

struct PluginState
{
    bool (TARNWELL_CLAP_CALL* save) (const Plugin*, const OutputStream*);
    bool (TARNWELL_CLAP_CALL* load) (const Plugin*, const InputStream*);
};

struct HostState
{
    void (TARNWELL_CLAP_CALL* markDirty) (const Host*);
};

//==============================================================================
struct PluginLatency
{
    std::uint32_t (TARNWELL_CLAP_CALL* get) (const Plugin*);
};

struct PluginTail
{
    std::uint32_t (TARNWELL_CLAP_CALL* get) (const Plugin*); // frames
};

enum RenderMode : std::int32_t {
    renderRealtime = 0,
    renderOffline = 1,
};

struct PluginRender
{
    bool (TARNWELL_CLAP_CALL* hasHardRealtimeRequirement) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* set) (const Plugin*, std::int32_t mode);
};

struct HostThreadCheck
{
    bool (TARNWELL_CLAP_CALL* isMainThread) (const Host*);
    bool (TARNWELL_CLAP_CALL* isAudioThread) (const Host*);
};

// A host's main loop waking the plug-in when a file descriptor is ready (Linux and other POSIX
// systems), or when a timer of the plug-in's period falls due.
constexpr std::uint32_t posixFdRead = 1u << 0, posixFdWrite = 1u << 1, posixFdError = 1u << 2;

struct PluginPosixFdSupport
{
    void (TARNWELL_CLAP_CALL* onFd) (const Plugin*, int fd, std::uint32_t flags);
};

struct HostPosixFdSupport
{
    bool (TARNWELL_CLAP_CALL* registerFd) (const Host*, int fd, std::uint32_t flags);
    bool (TARNWELL_CLAP_CALL* modifyFd) (const Host*, int fd, std::uint32_t flags);
    bool (TARNWELL_CLAP_CALL* unregisterFd) (const Host*, int fd);
};

struct PluginTimerSupport
{
    void (TARNWELL_CLAP_CALL* onTimer) (const Plugin*, Id timerId);
};

struct HostTimerSupport
{
    bool (TARNWELL_CLAP_CALL* registerTimer) (const Host*, std::uint32_t periodMs, Id* timerId);
    bool (TARNWELL_CLAP_CALL* unregisterTimer) (const Host*, Id timerId);
};

//==============================================================================
constexpr const char* windowApiX11 = "x11";
constexpr const char* windowApiWin32 = "win32";

struct Window
{
    const char* api;
    union
    {
        void* cocoa;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct GuiResizeHints
{
    bool canResizeHorizontally, canResizeVertically, preserveAspectRatio;
    std::uint32_t aspectRatioWidth, aspectRatioHeight;
};

struct PluginGui
{
    bool (TARNWELL_CLAP_CALL* isApiSupported) (const Plugin*, const char* api, bool isFloating);
    bool (TARNWELL_CLAP_CALL* getPreferredApi) (const Plugin*, const char** api, bool* isFloating);
    bool (TARNWELL_CLAP_CALL* create) (const Plugin*, const char* api, bool isFloating);
    void (TARNWELL_CLAP_CALL* destroy) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* setScale) (const Plugin*, double scale);
    bool (TARNWELL_CLAP_CALL* getSize) (const Plugin*, std::uint32_t* width, std::uint32_t* height);
    bool (TARNWELL_CLAP_CALL* canResize) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* getResizeHints) (const Plugin*, GuiResizeHints*);
    bool (TARNWELL_CLAP_CALL* adjustSize) (const Plugin*, std::uint32_t* width, std::uint32_t* height);
    bool (TARNWELL_CLAP_CALL* setSize) (const Plugin*, std::uint32_t width, std::uint32_t height);
    bool (TARNWELL_CLAP_CALL* setParent) (const Plugin*, const Window*);
    bool (TARNWELL_CLAP_CALL* setTransient) (const Plugin*, const Window*);
    void (TARNWELL_CLAP_CALL* suggestTitle) (const Plugin*, const char* title);
    bool (TARNWELL_CLAP_CALL* show) (const Plugin*);
    bool (TARNWELL_CLAP_CALL* hide) (const Plugin*);
};

struct HostGui
{
    void (TARNWELL_CLAP_CALL* resizeHintsChanged) (const Host*);
    bool (TARNWELL_CLAP_CALL* requestResize) (const Host*, std::uint32_t width, std::uint32_t height);
    bool (TARNWELL_CLAP_CALL* requestShow) (const Host*);
    bool (TARNWELL_CLAP_CALL* requestHide) (const Host*);
    void (TARNWELL_CLAP_CALL* closed) (const Host*, bool wasDestroyed);
};

#if ! defined(_WIN32) || defined(_WIN64)
static_assert (sizeof (AudioPortInfo) == 288 && sizeof (AudioPortsConfig) == 304 && sizeof (ParamInfo) == 1320);
static_assert (sizeof (Window) == 16 && sizeof (PluginGui) == 15 * sizeof (void*));
#endif
} // namespace tarnwell::clap
