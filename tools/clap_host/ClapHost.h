#pragma once

// A small CLAP host: loads a .clap with dlopen (LoadLibrary on Windows), drives it only through
// clap_entry and the records it hands out, and records what the plug-in asks of the host. The
// CLAP tests and the render tool host plug-ins through it. It speaks through our own
// declarations (host/clap/ClapExtensionsAbi.h); the check that loads plug-ins built with the
// real headers (tests/clap/ClapPeerCheck.cpp) holds those declarations to account.

#include "host/clap/ClapExtensionsAbi.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tarnwell::clapHost
{
namespace clap = tarnwell::clap;

// The library and its entry, initialised for as long as this lives.
class Library
{
public:
    explicit Library (const std::string& path)
    {
#ifdef _WIN32
        handle = LoadLibraryA (path.c_str());
        if (handle != nullptr)
            entry = reinterpret_cast<const clap::PluginEntry*> (
                GetProcAddress (static_cast<HMODULE> (handle), "clap_entry"));
#else
        handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr)
            entry = static_cast<const clap::PluginEntry*> (dlsym (handle, "clap_entry"));
#endif
        initialised = entry != nullptr && entry->init != nullptr && entry->init (path.c_str());
        if (initialised)
            factory = static_cast<const clap::PluginFactory*> (entry->getFactory (clap::pluginFactoryId));
    }

    ~Library()
    {
        if (initialised)
            entry->deinit();
        if (handle != nullptr)
#ifdef _WIN32
            FreeLibrary (static_cast<HMODULE> (handle));
#else
            dlclose (handle);
#endif
    }

    Library (const Library&) = delete;
    Library& operator= (const Library&) = delete;

    bool isLoaded() const
    {
        return initialised && factory != nullptr;
    }

    const clap::PluginEntry* entry = nullptr;
    const clap::PluginFactory* factory = nullptr;

private:
    void* handle = nullptr;
    bool initialised = false;
};

// The host record, with a params extension that counts what the plug-in asks of it, and, when
// offerFds or offerTimers is set, fd or timer support that records what the plug-in registers
// (a host's main loop would then wait for those and call the plug-in's on_fd or on_timer).
struct HostRecord
{
    HostRecord()
    {
        host.clapVersion = clap::version;
        host.hostData = this;
        host.name = "Tarnwell test host";
        host.vendor = "Quennet";
        host.url = "";
        host.version = "1";
        host.getExtension = [] (const clap::Host* h, const char* id) -> const void* {
            auto* self = static_cast<HostRecord*> (h->hostData);
            if (self->offerFds && std::strcmp (id, clap::extension::posixFdSupport) == 0)
                return &self->fdSupport;
            if (self->offerTimers && std::strcmp (id, clap::extension::timerSupport) == 0)
                return &self->timerSupport;
            return std::strcmp (id, clap::extension::params) == 0 ? &self->params : nullptr;
        };
        host.requestRestart = host.requestProcess = host.requestCallback = [] (const clap::Host*) {};
        params.rescan = [] (const clap::Host* h, std::uint32_t) { ++static_cast<HostRecord*> (h->hostData)->rescans; };
        params.clear = [] (const clap::Host*, clap::Id, std::uint32_t) {};
        params.requestFlush = [] (const clap::Host* h) { ++static_cast<HostRecord*> (h->hostData)->flushRequests; };
        fdSupport.registerFd = [] (const clap::Host* h, int fd, std::uint32_t flags) {
            auto& registered = static_cast<HostRecord*> (h->hostData)->fds;
            return fd >= 0 && flags != 0 && registered.emplace (fd, flags).second;
        };
        fdSupport.modifyFd = [] (const clap::Host* h, int fd, std::uint32_t flags) {
            auto& registered = static_cast<HostRecord*> (h->hostData)->fds;
            const auto found = registered.find (fd);
            return found != registered.end() && (found->second = flags) != 0;
        };
        fdSupport.unregisterFd = [] (const clap::Host* h, int fd) {
            return static_cast<HostRecord*> (h->hostData)->fds.erase (fd) == 1;
        };
        timerSupport.registerTimer = [] (const clap::Host* h, std::uint32_t period, clap::Id* id) {
            auto& self = *static_cast<HostRecord*> (h->hostData);
            if (id == nullptr)
                return false;
            *id = self.nextTimer++;
            self.timers.emplace (*id, period);
            return true;
        };
        timerSupport.unregisterTimer = [] (const clap::Host* h, clap::Id id) {
            return static_cast<HostRecord*> (h->hostData)->timers.erase (id) == 1;
        };
    }

    clap::Host host {};
    clap::HostParams params {};
    std::atomic<int> rescans { 0 }, flushRequests { 0 };
    bool offerFds = false, offerTimers = false;
    clap::HostPosixFdSupport fdSupport {};
    clap::HostTimerSupport timerSupport {};
    std::map<int, std::uint32_t> fds; // registered: descriptor and flags
    std::map<clap::Id, std::uint32_t> timers; // registered: id and period in milliseconds
    clap::Id nextTimer = 7;
};

// Parameter events for one block, sorted by time as hosts must send them. Room is reserved up
// front, so handing them over allocates nothing.
class EventList
{
public:
    EventList()
    {
        events.reserve (256);
        list.context = this;
        list.size = [] (const clap::InputEvents* l) { return static_cast<std::uint32_t> (self (l).events.size()); };
        list.get = [] (const clap::InputEvents* l, std::uint32_t i) -> const clap::EventHeader* {
            return i < self (l).events.size() ? &self (l).events[i].header : nullptr;
        };
    }

    void add (std::uint32_t time, clap::Id id, double value)
    {
        clap::ParamValueEvent e {};
        e.header = { sizeof (e), time, clap::coreEventSpace, clap::eventParamValue, 0 };
        e.paramId = id;
        e.noteId = -1;
        e.portIndex = e.channel = e.key = -1;
        e.value = value;
        events.push_back (e);
    }

    void clear() { events.clear(); }
    const clap::InputEvents* get() const { return &list; }

private:
    static const EventList& self (const clap::InputEvents* l) { return *static_cast<const EventList*> (l->context); }

    std::vector<clap::ParamValueEvent> events;
    clap::InputEvents list {};
};

// What the plug-in sends: each event's header and, for parameter events, id and value.
struct ReceivedEvents
{
    struct Received
    {
        std::uint16_t type;
        clap::Id id;
        double value;

        bool operator== (const Received& o) const { return type == o.type && id == o.id && value == o.value; }
    };

    ReceivedEvents()
    {
        received.reserve (1024);
        list.context = this;
        list.tryPush = [] (const clap::OutputEvents* l, const clap::EventHeader* h) {
            auto& self = *static_cast<ReceivedEvents*> (l->context);
            if (h->type == clap::eventParamValue)
            {
                const auto& e = reinterpret_cast<const clap::ParamValueEvent&> (*h);
                self.received.push_back ({ h->type, e.paramId, e.value });
            }
            else if (h->type == clap::eventParamGestureBegin || h->type == clap::eventParamGestureEnd)
                self.received.push_back (
                    { h->type, reinterpret_cast<const clap::ParamGestureEvent&> (*h).paramId, 0.0 });
            return true;
        };
    }

    std::vector<Received> received;
    clap::OutputEvents list {};
};

// One instance, made from the library's first plug-in (or the one of `id`), destroyed at the
// end of its scope.
class Instance
{
public:
    explicit Instance (const Library& library, const char* id = nullptr)
    {
        if (! library.isLoaded() || library.factory->getPluginCount (library.factory) == 0)
            return;
        const auto* descriptor = library.factory->getPluginDescriptor (library.factory, 0);
        plugin = library.factory->createPlugin (library.factory, &host.host, id != nullptr ? id : descriptor->id);
        if (plugin != nullptr && ! plugin->init (plugin))
        {
            plugin->destroy (plugin);
            plugin = nullptr;
        }
        if (plugin == nullptr)
            return;
        ports = extension<clap::PluginAudioPorts> (clap::extension::audioPorts);
        params = extension<clap::PluginParams> (clap::extension::params);
        state = extension<clap::PluginState> (clap::extension::state);
    }

    ~Instance()
    {
        if (plugin == nullptr)
            return;
        if (processing)
            plugin->stopProcessing (plugin);
        if (active)
            plugin->deactivate (plugin);
        plugin->destroy (plugin);
    }

    Instance (const Instance&) = delete;
    Instance& operator= (const Instance&) = delete;

    template <typename Extension>
    const Extension* extension (const char* id) const
    {
        return static_cast<const Extension*> (plugin->getExtension (plugin, id));
    }

    bool start (double sampleRate, std::uint32_t maxFrames = 4096)
    {
        active = plugin->activate (plugin, sampleRate, 1, maxFrames);
        processing = active && plugin->startProcessing (plugin);
        return processing;
    }

    // One block over whole channels in place of the outputs: `audio` holds the input and gets
    // the output (outputs as separate buffers when `inPlace` is false).
    std::int32_t process (std::vector<std::vector<float>>& audio, std::uint32_t start, std::uint32_t frames,
                          const EventList* events = nullptr, std::uint32_t inputChannels = 0, bool inPlace = true)
    {
        std::vector<float*> in, out;
        for (auto& channel : audio)
            in.push_back (channel.data() + start);
        if (inputChannels != 0)
            in.resize (inputChannels);
        std::vector<std::vector<float>> separate;
        if (inPlace)
            for (auto& channel : audio)
                out.push_back (channel.data() + start);
        else
            for (size_t ch = 0; ch < audio.size(); ++ch)
            {
                separate.emplace_back (frames);
                out.push_back (separate.back().data());
            }

        clap::AudioBuffer inputs { in.data(), nullptr, static_cast<std::uint32_t> (in.size()), 0, 0 };
        clap::AudioBuffer outputs { out.data(), nullptr, static_cast<std::uint32_t> (out.size()), 0, 0 };
        const auto status = processBuffers (inputs, outputs, frames, events);
        if (! inPlace)
            for (size_t ch = 0; ch < audio.size(); ++ch)
                std::copy (separate[ch].begin(), separate[ch].end(), audio[ch].begin() + start);
        return status;
    }

    // One block over the host's own buffers: nothing here allocates.
    std::int32_t processBuffers (const clap::AudioBuffer& inputs, clap::AudioBuffer& outputs, std::uint32_t frames,
                                 const EventList* events)
    {
        clap::Process p {};
        p.steadyTime = steadyTime;
        p.framesCount = frames;
        p.audioInputs = &inputs;
        p.audioOutputs = &outputs;
        p.audioInputsCount = 1;
        p.audioOutputsCount = 1;
        p.inEvents = events != nullptr ? events->get() : noEvents.get();
        p.outEvents = &sent.list;
        steadyTime += frames;
        return plugin->process (plugin, &p);
    }

    // Whole channels in blocks of `blockSize`.
    void processInBlocks (std::vector<std::vector<float>>& audio, std::uint32_t blockSize)
    {
        const auto frames = static_cast<std::uint32_t> (audio[0].size());
        for (std::uint32_t start = 0; start < frames; start += blockSize)
            process (audio, start, std::min (blockSize, frames - start));
    }

    double value (clap::Id id) const
    {
        double v = -1;
        return params->getValue (plugin, id, &v) ? v : -1;
    }

    // While not processing: the host's way to set values.
    void flush (const EventList& events) { params->flush (plugin, events.get(), &sent.list); }

    // The state through streams that move at most `chunk` bytes a call, as some hosts' do.
    std::vector<std::uint8_t> save (std::uint64_t chunk = 7) const;
    bool load (const std::vector<std::uint8_t>&, std::uint64_t chunk = 5) const;

    HostRecord host;
    const clap::Plugin* plugin = nullptr;
    const clap::PluginAudioPorts* ports = nullptr;
    const clap::PluginParams* params = nullptr;
    const clap::PluginState* state = nullptr;
    ReceivedEvents sent;
    const EventList noEvents; // made before any block, so blocks without events allocate nothing
    bool active = false, processing = false;
    std::int64_t steadyTime = 0;
};

inline std::vector<std::uint8_t> Instance::save (std::uint64_t chunk) const
{
    struct Sink
    {
        std::vector<std::uint8_t> bytes;
        std::uint64_t chunk;
    } sink { {}, chunk };
    clap::OutputStream stream { &sink,
                                [] (const clap::OutputStream* s, const void* data, std::uint64_t size) -> std::int64_t {
                                    const auto n =
                                        std::min<std::uint64_t> (size, static_cast<Sink*> (s->context)->chunk);
                                    auto& bytes = static_cast<Sink*> (s->context)->bytes;
                                    bytes.insert (bytes.end(), static_cast<const std::uint8_t*> (data),
                                                  static_cast<const std::uint8_t*> (data) + n);
                                    return static_cast<std::int64_t> (n);
                                } };
    if (! state->save (plugin, &stream))
        return {};
    return sink.bytes;
}

inline bool Instance::load (const std::vector<std::uint8_t>& bytes, std::uint64_t chunk) const
{
    struct Source
    {
        const std::vector<std::uint8_t>& bytes;
        std::uint64_t chunk;
        size_t at = 0;
    } source { bytes, chunk };
    clap::InputStream stream { &source,
                               [] (const clap::InputStream* s, void* data, std::uint64_t size) -> std::int64_t {
                                   auto& src = *static_cast<Source*> (s->context);
                                   const auto n = static_cast<size_t> (std::min<std::uint64_t> (
                                       { size, src.chunk, std::uint64_t { src.bytes.size() - src.at } }));
                                   if (n > 0) // an empty block has no data() to copy from
                                       std::memcpy (data, src.bytes.data() + src.at, n);
                                   src.at += n;
                                   return static_cast<std::int64_t> (n);
                               } };
    return state->load (plugin, &stream);
}
} // namespace tarnwell::clapHost
