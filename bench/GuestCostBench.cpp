// What Tarnwell.so costs the host's process beyond its audio, through VSTPluginMain as a host
// drives it:
//  - loading: from dlopen to the first processed block, each run in a fresh child process, as
//    a host that loads the library for the first time;
//  - an idle editor: the process's CPU time while the editor sits open in an X11 window and
//    nothing changes, beside the same wait with it never opened (needs $DISPLAY; skipped
//    without).
// TARNWELL_BENCH_VST2 names another VST 2.4 library to measure in its place.
#include "host/vst2/VstAbi.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace
{
const char* pluginPath()
{
    const char* other = std::getenv ("TARNWELL_BENCH_VST2");
    return other != nullptr && *other != '\0' ? other : TARNWELL_VST2_PATH;
}

VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

AEffect* openInstance (void* library)
{
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = library != nullptr ? reinterpret_cast<Entry> (dlsym (library, "VSTPluginMain")) : nullptr;
    if (entry == nullptr && library != nullptr) // older plug-ins, Dragonfly's among them, export only this name
        entry = reinterpret_cast<Entry> (dlsym (library, "main"));
    auto* effect = entry != nullptr ? entry (&hostCallback) : nullptr;
    if (effect != nullptr)
    {
        effect->dispatcher (effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher (effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        effect->dispatcher (effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    }
    return effect;
}

// In the child: loads, opens and processes one block; the nanoseconds that took, or -1.
std::int64_t nanosecondsToFirstBlock()
{
    const auto start = std::chrono::steady_clock::now();
    void* library = dlopen (pluginPath(), RTLD_NOW | RTLD_LOCAL);
    AEffect* effect = openInstance (library);
    if (effect == nullptr)
        return -1;
    effect->dispatcher (effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> left (256), right (256);
    float* channels[] = { left.data(), right.data() };
    effect->processReplacing (effect, channels, channels, 256);
    const auto end = std::chrono::steady_clock::now();
    effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
    return std::chrono::duration_cast<std::chrono::nanoseconds> (end - start).count();
}

void dlopenToFirstBlock (benchmark::State& state)
{
    for (auto _ : state)
    {
        int result[2];
        if (pipe (result) != 0)
            return state.SkipWithError ("no pipe");
        const pid_t child = fork();
        if (child == 0)
        {
            const std::int64_t ns = nanosecondsToFirstBlock();
            _exit (write (result[1], &ns, sizeof ns) == sizeof ns ? 0 : 1);
        }
        close (result[1]);
        std::int64_t ns = -1;
        const bool read_ = read (result[0], &ns, sizeof ns) == sizeof ns;
        close (result[0]);
        waitpid (child, nullptr, 0);
        if (! read_ || ns < 0)
            return state.SkipWithError ("the plug-in did not load or process");
        state.SetIterationTime (double (ns) * 1e-9);
    }
}

double processSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_PROCESS_CPUTIME_ID, &t);
    return double (t.tv_sec) + double (t.tv_nsec) * 1e-9;
}

// The process's share of one core over each second of waiting, with the editor open (arg 1)
// or never opened (arg 0).
void idleEditor (benchmark::State& state)
{
    const bool open = state.range (0) != 0;
    Display* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return state.SkipWithError ("no X display");
    // The atoms a window manager makes, as on a desktop: builds that need them can be measured too.
    for (const char* atom : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                              "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                              "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE_FULLSCREEN" })
        XInternAtom (display, atom, False);
    const Window window = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 600, 300, 0, 0, 0);
    XMapWindow (display, window);
    XSync (display, False);

    void* library = dlopen (pluginPath(), RTLD_NOW | RTLD_LOCAL);
    AEffect* effect = openInstance (library);
    if (effect == nullptr)
        return state.SkipWithError ("the plug-in did not load");
    if (open)
        effect->dispatcher (effect, effEditOpen, 0, 0, reinterpret_cast<void*> (window), 0.0f);
    std::this_thread::sleep_for (std::chrono::seconds (1)); // drawn once, settled

    double busy = 0, waited = 0;
    for (auto _ : state)
    {
        const double before = processSeconds();
        const auto start = std::chrono::steady_clock::now();
        // The host's GUI thread, idling the editor as hosts do about 30 times a second.
        for (int i = 0; i < 30; ++i)
        {
            effect->dispatcher (effect, effEditIdle, 0, 0, nullptr, 0.0f);
            std::this_thread::sleep_for (std::chrono::milliseconds (33));
        }
        busy += processSeconds() - before;
        waited += std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    }
    state.counters["core_percent"] = waited > 0 ? 100.0 * busy / waited : 0.0;

    if (open)
        effect->dispatcher (effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher (effect, effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow (display, window);
    XCloseDisplay (display);
}
} // namespace

BENCHMARK (dlopenToFirstBlock)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (20);
BENCHMARK (idleEditor)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->Iterations (10);

BENCHMARK_MAIN();
