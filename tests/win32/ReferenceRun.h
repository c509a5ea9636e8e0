#pragma once

// What both builds of the plug-in are put through, so that Tarnwell.dll under Wine can be held
// against Tarnwell.so on Linux: the same input, settings and host calls, through the entry point
// only. The Linux side writes its results to a file (WriteReference.cpp); the Windows test host
// reads it and compares.

#include "host/vst2/VstAbi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tarnwell::crosscheck
{
struct Setting
{
    int index;
    float value;
};

struct Scenario
{
    int inputs, outputs;
    float sampleRate;
    int blockSize; // what the host announces
    int hostBlock; // what it then sends per processReplacing call
    bool inPlace;
    int frames;
    std::vector<Setting> settings;
};

// Stereo in place at the usual rate; then mono in, stereo out, at another rate, with separate
// buffers and host blocks larger than the announced block size.
inline std::vector<Scenario> scenarios()
{
    return {
        { 2, 2, 44100.0f, 256, 256, true, 44100, { { 3, 0.6f }, { 4, 0.8f }, { 0, 0.3f }, { 2, 0.7f } } },
        { 1, 2, 48000.0f, 100, 333, false, 24000, { { 3, 1.0f }, { 4, 0.15f }, { 1, 0.6f }, { 2, 0.95f } } },
    };
}

// A burst of noise with a click, then silence for the tail: same bits on every platform.
inline std::vector<std::vector<float>> input (const Scenario& s)
{
    std::vector<std::vector<float>> channels (2, std::vector<float> (static_cast<size_t> (s.frames), 0.0f));
    std::uint32_t state = 0x2545F491u;
    for (auto& ch : channels)
        for (size_t i = 0; i < ch.size() / 4; ++i)
        {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            ch[i] = static_cast<float> (state >> 8) / 16777216.0f - 0.5f;
        }
    channels[0][10] = 1.0f;
    return channels;
}

inline VstIntPtr dispatch (AEffect* e, int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                           float opt = 0.0f)
{
    return e->dispatcher (e, opcode, index, value, ptr, opt);
}

// The arrangement as hosts pass it; the plug-in reads only the header.
struct Arrangement
{
    int type;
    int numChannels;
    VstSpeakerProperties speakers[8];
};

// Runs one scenario through an opened instance; the outputs, channel after channel.
inline std::vector<float> run (AEffect* e, const Scenario& s)
{
    if (s.inputs != 2 || s.outputs != 2)
    {
        Arrangement in { 0, s.inputs, {} }, out { 0, s.outputs, {} };
        dispatch (e, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&in), &out);
    }
    for (const auto& setting : s.settings)
        e->setParameter (e, setting.index, setting.value);
    dispatch (e, effSetSampleRate, 0, 0, nullptr, s.sampleRate);
    dispatch (e, effSetBlockSize, 0, s.blockSize);
    dispatch (e, effMainsChanged, 0, 1);

    auto in = input (s);
    std::vector<std::vector<float>> out (static_cast<size_t> (s.outputs),
                                         std::vector<float> (static_cast<size_t> (s.frames), 0.0f));
    for (int start = 0; start < s.frames; start += s.hostBlock)
    {
        float* ins[2] {};
        float* outs[2] {};
        for (int ch = 0; ch < 2; ++ch)
        {
            ins[ch] = in[static_cast<size_t> (ch)].data() + start;
            if (ch < s.outputs)
                outs[ch] = (s.inPlace ? in : out)[static_cast<size_t> (ch)].data() + start;
        }
        e->processReplacing (e, ins, outs, std::min (s.hostBlock, s.frames - start));
    }

    std::vector<float> result;
    for (int ch = 0; ch < s.outputs; ++ch)
    {
        const auto& src = (s.inPlace ? in : out)[static_cast<size_t> (ch)];
        result.insert (result.end(), src.begin(), src.end());
    }
    return result;
}

// How far one run's output lies from another's: the largest sample difference, huge where a
// sample is not finite or the lengths differ.
inline double largestDifference (const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size())
        return 1.0e30;
    double largest = 0.0;
    for (size_t n = 0; n < a.size(); ++n)
    {
        const double d = std::fabs (static_cast<double> (a[n]) - static_cast<double> (b[n]));
        largest = std::isfinite (d) ? std::max (largest, d) : 1.0e30;
    }
    return largest;
}

// The chunk an instance hands out, copied.
inline std::vector<char> chunk (AEffect* e)
{
    void* data = nullptr;
    const auto size = dispatch (e, effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr)
        return {};
    return { static_cast<char*> (data), static_cast<char*> (data) + size };
}

// The runs whose outputs are compared: each scenario, then the first one again on an instance
// that restored the first run's chunk instead of being set (a restore sets all five values).
inline size_t runCount()
{
    return scenarios().size() + 1;
}

// The reference file: blocks of 32-bit little-endian size plus bytes, in this order: the new
// instance's chunk, the chunk after the first scenario's settings, each run's output, then the
// chunk after each scenario's settings (what a host that sets values only through a saved
// block, as the CLAP test host does, restores to play the same).
struct Reference
{
    std::vector<char> newChunk, configuredChunk;
    std::vector<std::vector<float>> outputs;
    std::vector<std::vector<char>> scenarioChunks;
};

inline bool writeBlock (std::FILE* f, const void* data, std::uint32_t size)
{
    return std::fwrite (&size, sizeof size, 1, f) == 1 && (size == 0 || std::fwrite (data, 1, size, f) == size);
}

inline bool readBlock (std::FILE* f, std::vector<char>& bytes)
{
    std::uint32_t size = 0;
    if (std::fread (&size, sizeof size, 1, f) != 1 || size > (64u << 20))
        return false;
    bytes.resize (size);
    return size == 0 || std::fread (bytes.data(), 1, size, f) == size;
}

inline bool write (const char* path, const Reference& r)
{
    std::FILE* f = std::fopen (path, "wb");
    if (f == nullptr)
        return false;
    bool ok = writeBlock (f, r.newChunk.data(), static_cast<std::uint32_t> (r.newChunk.size()))
        && writeBlock (f, r.configuredChunk.data(), static_cast<std::uint32_t> (r.configuredChunk.size()));
    for (const auto& o : r.outputs)
        ok = ok && writeBlock (f, o.data(), static_cast<std::uint32_t> (o.size() * sizeof (float)));
    for (const auto& c : r.scenarioChunks)
        ok = ok && writeBlock (f, c.data(), static_cast<std::uint32_t> (c.size()));
    return std::fclose (f) == 0 && ok;
}

inline bool read (const char* path, Reference& r)
{
    std::FILE* f = std::fopen (path, "rb");
    if (f == nullptr)
        return false;
    bool ok = readBlock (f, r.newChunk) && readBlock (f, r.configuredChunk);
    r.outputs.clear();
    for (size_t i = 0; ok && i < runCount(); ++i)
    {
        std::vector<char> bytes;
        ok = readBlock (f, bytes);
        std::vector<float> samples (bytes.size() / sizeof (float));
        std::copy (bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t> (samples.size() * sizeof (float)),
                   reinterpret_cast<char*> (samples.data()));
        r.outputs.push_back (std::move (samples));
    }
    r.scenarioChunks.assign (scenarios().size(), {});
    for (auto& c : r.scenarioChunks)
        ok = ok && readBlock (f, c);
    std::fclose (f);
    return ok;
}

// The whole run, on a fresh instance per scenario as a host would open them.
template <typename Open, typename Close>
Reference collect (Open open, Close close)
{
    Reference r;
    const auto all = scenarios();
    for (size_t i = 0; i < all.size(); ++i)
    {
        AEffect* e = open();
        if (e == nullptr)
            return {};
        if (i == 0)
            r.newChunk = chunk (e);
        r.outputs.push_back (run (e, all[i]));
        r.scenarioChunks.push_back (chunk (e));
        if (i == 0)
            r.configuredChunk = r.scenarioChunks.back();
        close (e);
    }

    AEffect* e = open();
    if (e == nullptr)
        return {};
    auto restored = all.front();
    restored.settings.clear();
    auto block = r.configuredChunk;
    dispatch (e, effSetChunk, 0, static_cast<VstIntPtr> (block.size()), block.data());
    r.outputs.push_back (run (e, restored));
    close (e);
    return r;
}
} // namespace tarnwell::crosscheck
