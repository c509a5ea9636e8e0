// Time per stereo frame of the fast network against the plain per-sample loop, at two rates
// and three block sizes, on noise and on a silent tail (which must cost no more than noise).
#include "engine/PlainReverbNetwork.h"
#include "engine/ReverbNetwork.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>
#if defined(__SSE__)
 #include <xmmintrin.h>
#endif

using namespace tarnwell;

namespace
{
enum class Input { noise, silentTail };

// Hosts' audio threads, and our processor, flush denormals for the block; so does the benchmark.
struct FlushDenormals
{
#if defined(__SSE__)
    FlushDenormals() { _mm_setcsr (saved | 0x8040); }
    ~FlushDenormals() { _mm_setcsr (saved); }
    unsigned saved = _mm_getcsr();
#endif
};

template <typename Network, typename... Args>
void measure (benchmark::State& state, Input input, Args... networkArgs)
{
    const FlushDenormals flush;
    const auto sampleRate = double (state.range (0));
    const auto block = int (state.range (1));

    NetworkSettings settings;
    settings.sampleRate = sampleRate;
    settings.t60Low = 0.5; // short: a silent tail reaches the denormal range within seconds
    settings.t60High = 0.2;
    settings.mix = 0.5f;
    const auto coefficients = designNetwork (settings);

    auto network = std::make_unique<Network> (networkArgs...);

    const size_t noiseLength = 1 << 16;
    std::vector<float> noise (noiseLength + size_t (block));
    std::mt19937 rng (7);
    std::uniform_real_distribution<float> dist (-1, 1);
    std::generate (noise.begin(), noise.end(), [&] { return dist (rng); });

    std::vector<float> left (static_cast<size_t> (block)), right (static_cast<size_t> (block));
    auto fill = [&] (size_t offset) {
        if (input == Input::noise)
        {
            std::copy_n (noise.begin() + long (offset), block, left.begin());
            std::copy_n (noise.rbegin() + long (offset), block, right.begin());
        }
        else
        {
            std::fill (left.begin(), left.end(), 0.0f);
            std::fill (right.begin(), right.end(), 0.0f);
        }
    };

    // Excite the network, then, for the silent tail, let it ring out for 40 seconds.
    for (size_t done = 0; done < size_t (sampleRate); done += size_t (block))
    {
        std::copy_n (noise.begin() + long (done % noiseLength), block, left.begin());
        std::copy_n (noise.begin() + long (done % noiseLength), block, right.begin());
        network->process (coefficients, left.data(), right.data(), block);
    }
    if (input == Input::silentTail)
        for (size_t done = 0; done < size_t (40 * sampleRate); done += size_t (block))
        {
            fill (0);
            network->process (coefficients, left.data(), right.data(), block);
        }

    size_t offset = 0;
    for (auto _ : state)
    {
        fill (offset);
        offset = (offset + size_t (block)) % noiseLength;
        network->process (coefficients, left.data(), right.data(), block);
        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_frame"] = benchmark::Counter (double (state.iterations()) * block,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void fastNoise (benchmark::State& s) { measure<ReverbNetwork> (s, Input::noise, ReverbNetwork::InstructionSet::automatic); }
void fastSilentTail (benchmark::State& s) { measure<ReverbNetwork> (s, Input::silentTail, ReverbNetwork::InstructionSet::automatic); }
void fastBaselineNoise (benchmark::State& s) { measure<ReverbNetwork> (s, Input::noise, ReverbNetwork::InstructionSet::baseline); }
void plainNoise (benchmark::State& s) { measure<PlainReverbNetwork> (s, Input::noise); }
void plainSilentTail (benchmark::State& s) { measure<PlainReverbNetwork> (s, Input::silentTail); }

void rates (benchmark::internal::Benchmark* b)
{
    for (long rate : { 44100, 96000 })
        for (long block : { 64, 512, 4096 })
            b->Args ({ rate, block });
    b->ArgNames ({ "rate", "block" });
}
} // namespace

BENCHMARK (fastNoise)->Apply (rates);
BENCHMARK (fastSilentTail)->Apply (rates);
BENCHMARK (fastBaselineNoise)->Apply (rates);
BENCHMARK (plainNoise)->Apply (rates);
BENCHMARK (plainSilentTail)->Apply (rates);

BENCHMARK_MAIN();
