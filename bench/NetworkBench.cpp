// Time per stereo frame of the fast network against the plain per-sample loop, at two rates
// and three block sizes, on noise and on a silent tail (which must cost no more than noise).
// The fast network takes the widest kernel this processor runs; TARNWELL_KERNEL=baseline (or
// avx2, avx512) in the environment narrows it, for the engine and entry-point rows alike.
#include "BenchSignal.h"

#include "engine/PlainReverbNetwork.h"
#include "engine/ReverbNetwork.h"

#include <memory>

using namespace tarnwell;
using namespace tarnwell::bench;

namespace
{
template <typename Network>
void measure (benchmark::State& state, Input input)
{
    const FlushDenormals flush;
    const auto sampleRate = double (state.range (0));
    const auto block = int (state.range (1));
    const auto coefficients = designNetwork (benchSettings (sampleRate));

    auto network = [] {
        if constexpr (std::is_same_v<Network, ReverbNetwork>)
            return std::make_unique<Network> (benchKernel());
        else
            return std::make_unique<Network>();
    }();
    Signal signal (input, block);
    signal.settle (sampleRate, [&] (float* l, float* r) { network->process (coefficients, l, r, block); });

    for (auto _ : state)
    {
        signal.next();
        network->process (coefficients, signal.left.data(), signal.right.data(), block);
        benchmark::DoNotOptimize (signal.left.data());
        benchmark::DoNotOptimize (signal.right.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame (state, block);
    if constexpr (std::is_same_v<Network, ReverbNetwork>)
        state.SetLabel (ReverbNetwork::name (network->instructionSet()));
}

void engineNoise (benchmark::State& s)
{
    measure<ReverbNetwork> (s, Input::noise);
}
void engineSilentTail (benchmark::State& s)
{
    measure<ReverbNetwork> (s, Input::silentTail);
}
void plainNoise (benchmark::State& s)
{
    measure<PlainReverbNetwork> (s, Input::noise);
}
void plainSilentTail (benchmark::State& s)
{
    measure<PlainReverbNetwork> (s, Input::silentTail);
}

// Wiping the 1 MiB of rings, as a new instance does.
void clearRings (benchmark::State& state)
{
    auto network = std::make_unique<ReverbNetwork>();
    for (auto _ : state)
    {
        network->clear();
        benchmark::ClobberMemory();
    }
}
} // namespace

BENCHMARK (engineNoise)->Apply (rates);
BENCHMARK (engineSilentTail)->Apply (rates);
BENCHMARK (plainNoise)->Apply (rates);
BENCHMARK (plainSilentTail)->Apply (rates);
BENCHMARK (clearRings)->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::AddCustomContext ("kernel", ReverbNetwork::name (benchKernel()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
