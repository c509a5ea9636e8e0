// The same work as the engine rows, through the door a host uses: Tarnwell.so loaded with
// dlopen and driven through VSTPluginMain and processReplacing, with the host's buffers in
// place or apart. The difference from the engine rows is the plug-in's own overhead.
#include "BenchSignal.h"

#include "engine/ReverbNetwork.h"
#include "host/vst2/VstAbi.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>

using namespace tarnwell::bench;

namespace
{
VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The library stays loaded for the whole run, as in a host.
AEffect* openInstance()
{
    static void* const library = dlopen (TARNWELL_VST2_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf (stderr, "%s\n", dlerror());
        return nullptr;
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry> (dlsym (library, "VSTPluginMain"));
    auto* effect = entry != nullptr ? entry (&hostCallback) : nullptr;
    if (effect != nullptr)
        effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);
    return effect;
}

// prepareToPlay writes two lines to standard output; they stay out of the report.
struct QuietStandardOutput
{
    QuietStandardOutput()
    {
        std::fflush (stdout);
        if (saved >= 0 && sink >= 0)
            dup2 (sink, STDOUT_FILENO);
    }
    ~QuietStandardOutput()
    {
        std::fflush (stdout);
        if (saved >= 0)
            dup2 (saved, STDOUT_FILENO), close (saved);
        if (sink >= 0)
            close (sink);
    }
    const int saved = dup (STDOUT_FILENO);
    const int sink = open ("/dev/null", O_WRONLY);
};

struct Instance
{
    AEffect* const effect = openInstance();

    ~Instance()
    {
        if (effect != nullptr)
            effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
    }

    // The engine rows' settings, as normalised parameters.
    void configure (double sampleRate, int block) const
    {
        const QuietStandardOutput quiet;
        const auto s = benchSettings (sampleRate);
        effect->setParameter (effect, 0, float (s.t60Low / 10));
        effect->setParameter (effect, 1, float (s.t60High / 10));
        effect->setParameter (effect, 2, float (std::log10 (s.transitionFrequency / 50) / std::log10 (320.0)));
        effect->setParameter (effect, 3, s.mix);
        effect->setParameter (effect, 4, s.diffusion);
        effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, float (sampleRate));
        effect->dispatcher (effect, effSetBlockSize, 0, block, nullptr, 0.0f);
        effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
};

void measure (benchmark::State& state, bool inPlace)
{
    const FlushDenormals flush; // the host's audio thread, as in the engine rows
    const auto sampleRate = double (state.range (0));
    const auto block = int (state.range (1));

    Instance plugin;
    if (plugin.effect == nullptr)
        return state.SkipWithError ("Tarnwell.so did not load");
    plugin.configure (sampleRate, block);
    auto* const effect = plugin.effect;

    Signal signal (Input::noise, block);
    signal.settle (sampleRate, [&] (float* l, float* r) {
        float* channels[] = { l, r };
        effect->processReplacing (effect, channels, channels, block);
    });

    // Apart: the host's four buffers cut from one allocation, inputs then outputs, as many
    // hosts keep them.
    const auto size = static_cast<size_t> (block);
    std::vector<float> pool (4 * size);
    float* ins[] = { pool.data(), pool.data() + size };
    float* outs[] = { pool.data() + 2 * size, pool.data() + 3 * size };
    if (inPlace)
        outs[0] = ins[0], outs[1] = ins[1];

    for (auto _ : state)
    {
        signal.fill (Input::noise, ins[0], ins[1]);
        effect->processReplacing (effect, ins, outs, block);
        benchmark::DoNotOptimize (outs[0]);
        benchmark::DoNotOptimize (outs[1]);
        benchmark::ClobberMemory();
    }
    reportPerFrame (state, block);
    // The plug-in resolves its kernel with this same code, on this processor, in this environment.
    state.SetLabel (tarnwell::ReverbNetwork::name (tarnwell::bench::benchKernel()));
}

void entryPointInPlace (benchmark::State& s)
{
    measure (s, true);
}
void entryPointApart (benchmark::State& s)
{
    measure (s, false);
}

// A host toggling the instance off and on (effMainsChanged 0, then 1).
void suspendResume (benchmark::State& state)
{
    Instance plugin;
    if (plugin.effect == nullptr)
        return state.SkipWithError ("Tarnwell.so did not load");
    plugin.configure (44100, 512);
    auto* const effect = plugin.effect;

    const QuietStandardOutput quiet;
    for (auto _ : state)
    {
        effect->dispatcher (effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
}
} // namespace

BENCHMARK (entryPointInPlace)->Apply (rates);
BENCHMARK (entryPointApart)->Apply (rates);
BENCHMARK (suspendResume)->Unit (benchmark::kMicrosecond);
