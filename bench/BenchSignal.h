#pragma once

// What every network benchmark feeds and how it runs: noise or a silent tail, settings with a
// short decay, denormals flushed as hosts and our processor do, and the cost per stereo frame.

#include "engine/NetworkSettings.h"
#include "engine/ReverbNetwork.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tarnwell::bench
{
enum class Input { noise, silentTail };

struct FlushDenormals
{
#if defined(__SSE__)
    FlushDenormals()
    {
        _mm_setcsr (saved | 0x8040);
    }
    ~FlushDenormals()
    {
        _mm_setcsr (saved);
    }
    unsigned saved = _mm_getcsr();
#endif
};

// The kernel the fast network runs: the widest, or a narrower one named by TARNWELL_KERNEL, as
// the plug-in reads it.
inline ReverbNetwork::InstructionSet benchKernel() noexcept
{
    return ReverbNetwork::resolve (ReverbNetwork::named (std::getenv ("TARNWELL_KERNEL")));
}

inline NetworkSettings benchSettings (double sampleRate)
{
    NetworkSettings settings;
    settings.sampleRate = sampleRate;
    settings.t60Low = 0.5; // short: a silent tail reaches the denormal range within seconds
    settings.t60High = 0.2;
    settings.mix = 0.5f;
    return settings;
}

// Stereo blocks of noise, taken from a long noise record at a moving offset, or of silence.
class Signal
{
public:
    Signal (Input kind, int blockSize)
        : input (kind), block (size_t (blockSize)), noise (length + block), left (block), right (block)
    {
        std::mt19937 rng (7);
        std::uniform_real_distribution<float> dist (-1, 1);
        std::generate (noise.begin(), noise.end(), [&] { return dist (rng); });
    }

    // The next block into left and right.
    void next() { fill (input, left.data(), right.data()); }

    // The next block of noise, whatever the input kind: to excite the network first.
    void nextNoise (float* l, float* r) { fill (Input::noise, l, r); }
    void nextSilence (float* l, float* r) { fill (Input::silentTail, l, r); }

    void fill (Input kind, float* l, float* r)
    {
        if (kind == Input::noise)
        {
            std::copy_n (noise.begin() + long (offset), block, l);
            std::copy_n (noise.rbegin() + long (offset), block, r);
            offset = (offset + block) % length;
        }
        else
        {
            std::fill_n (l, block, 0.0f);
            std::fill_n (r, block, 0.0f);
        }
    }

    // Seconds of audio, in blocks, through process (left, right): noise for one second, then,
    // for the silent tail, 40 seconds of silence so the tail reaches the denormal range.
    template <typename Process>
    void settle (double sampleRate, Process&& process)
    {
        for (double done = 0; done < sampleRate; done += double (block))
        {
            nextNoise (left.data(), right.data());
            process (left.data(), right.data());
        }
        if (input == Input::silentTail)
            for (double done = 0; done < 40 * sampleRate; done += double (block))
            {
                nextSilence (left.data(), right.data());
                process (left.data(), right.data());
            }
    }

    const Input input;
    const size_t block;
    static constexpr size_t length = 1 << 16;
    std::vector<float> noise, left, right;
    size_t offset = 0;
};

inline void reportPerFrame (benchmark::State& state, int block)
{
    state.counters["per_frame"] = benchmark::Counter (double (state.iterations()) * block,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

inline void rates (benchmark::internal::Benchmark* b)
{
    for (long rate : { 44100, 96000 })
        for (long block : { 64, 512, 4096 })
            b->Args ({ rate, block });
    b->ArgNames ({ "rate", "block" });
}
} // namespace tarnwell::bench
