#pragma once

// A minimal VST 2.4 host for tests: loads the built Tarnwell.so with dlopen, drives it only
// through the exported entry point and the AEffect record, and records what the plug-in
// sends back through the host callback.

#include "host/vst2/VstAbi.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwell::testhost
{
struct HostCall
{
    const AEffect* effect;
    int opcode, index;
    float opt;
    VstIntPtr value = 0;
};

struct HostLog
{
    static inline std::mutex lock;
    static inline std::vector<HostCall> calls;
    static inline std::atomic<VstIntPtr> versionAnswer { 2400 };

    static void clear()
    {
        const std::lock_guard g (lock);
        calls.clear();
    }

    static std::vector<HostCall> callsFor (const AEffect* e)
    {
        const std::lock_guard g (lock);
        std::vector<HostCall> result;
        for (const auto& c : calls)
            if (c.effect == e && c.opcode != audioMasterVersion)
                result.push_back (c);
        return result;
    }
};

inline VstIntPtr hostCallback (AEffect* effect, int opcode, int index, VstIntPtr value, void*, float opt)
{
    {
        const std::lock_guard g (HostLog::lock);
        HostLog::calls.push_back ({ effect, opcode, index, opt, value });
    }
    return opcode == audioMasterVersion ? HostLog::versionAnswer.load() : 0;
}

class PluginLibrary
{
public:
    PluginLibrary() : handle (dlopen (TARNWELL_VST2_PATH, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle != nullptr)
            entry = reinterpret_cast<Entry> (dlsym (handle, "VSTPluginMain"));
    }
    ~PluginLibrary()
    {
        if (handle != nullptr)
            dlclose (handle);
    }
    PluginLibrary (const PluginLibrary&) = delete;
    PluginLibrary& operator= (const PluginLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr && entry != nullptr; }
    void* symbol (const char* name) const { return dlsym (handle, name); }
    AEffect* enter() const { return entry (&hostCallback); }

private:
    using Entry = AEffect* (*)(audioMasterCallback);
    void* handle;
    Entry entry = nullptr;
};

// One instance, opened as hosts do and closed at the end of its scope.
class Plugin
{
public:
    explicit Plugin (const PluginLibrary& library) : effect (library.enter())
    {
        if (effect != nullptr)
            dispatch (effOpen);
    }
    ~Plugin() { close(); }
    Plugin (const Plugin&) = delete;
    Plugin& operator= (const Plugin&) = delete;

    void close()
    {
        if (effect != nullptr)
            effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
        effect = nullptr;
    }

    VstIntPtr dispatch (int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    // A text request, into a generous buffer prefilled with garbage.
    std::string text (int opcode, int index = 0)
    {
        char buffer[256];
        std::fill (std::begin (buffer), std::end (buffer), 'x');
        buffer[255] = 0;
        dispatch (opcode, index, 0, buffer);
        return buffer;
    }

    void resume (float sampleRate, int blockSize)
    {
        dispatch (effSetSampleRate, 0, 0, nullptr, sampleRate);
        dispatch (effSetBlockSize, 0, blockSize);
        dispatch (effMainsChanged, 0, 1);
    }

    // processReplacing in place over whole channels (one or two), in host blocks of `blockSize`.
    void processInPlace (std::vector<std::vector<float>>& audio, int blockSize)
    {
        const int frames = static_cast<int> (audio[0].size());
        for (int start = 0; start < frames; start += blockSize)
        {
            float* channels[2] {};
            for (size_t ch = 0; ch < audio.size() && ch < 2; ++ch)
                channels[ch] = audio[ch].data() + start;
            effect->processReplacing (effect, channels, channels, std::min (blockSize, frames - start));
        }
    }

    AEffect* effect;
};

// A speaker arrangement the size real hosts pass (8 speakers), of which the plug-in may read
// only the header.
struct Arrangement
{
    int type;
    int numChannels;
    VstSpeakerProperties speakers[8];

    Arrangement (int channels, int arrangementType) : type (arrangementType), numChannels (channels), speakers {} {}
};

// A test with the plug-in loaded and one instance made through its entry point.
class LoadedPluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (library.isLoaded()) << dlerror();
        ASSERT_NE (plugin.effect, nullptr);
    }

    PluginLibrary library;
    Plugin plugin { library };
};
} // namespace tarnwell::testhost
