// The render tool's peak resident memory for inputs of 1 and 10 minutes at 96 kHz: it reads,
// renders and writes block by block, so the figure must not grow with the input's length. It
// does grow with the decay (the impulse response the tool measures is as long as the decay to
// -90 dB): at the defaults, and at the longest decay (both T60s 10 s).
// The tool runs as a child process; wait4 gives its peak resident set.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t sampleRate = 96000, channels = 2;

template <typename T>
void put (std::FILE* f, T value)
{
    std::fwrite (&value, sizeof value, 1, f);
}

// Stereo noise as a 32-bit float WAV file, written a block at a time.
bool writeNoiseWav (const std::string& path, std::uint64_t frames)
{
    std::FILE* f = std::fopen (path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const auto dataBytes = static_cast<std::uint32_t> (frames * channels * 4);
    std::fwrite ("RIFF", 1, 4, f);
    put<std::uint32_t> (f, 36 + dataBytes);
    std::fwrite ("WAVEfmt ", 1, 8, f);
    put<std::uint32_t> (f, 16);
    put<std::uint16_t> (f, 3); // IEEE float
    put<std::uint16_t> (f, channels);
    put<std::uint32_t> (f, sampleRate);
    put<std::uint32_t> (f, sampleRate * channels * 4);
    put<std::uint16_t> (f, channels * 4);
    put<std::uint16_t> (f, 32);
    std::fwrite ("data", 1, 4, f);
    put<std::uint32_t> (f, dataBytes);

    std::minstd_rand random (7);
    std::uniform_real_distribution<float> noise (-0.5f, 0.5f);
    std::vector<float> block (65536 * channels);
    for (std::uint64_t done = 0; done < frames; done += 65536)
    {
        const auto n = std::min<std::uint64_t> (65536, frames - done);
        for (auto& x : block)
            x = noise (random);
        std::fwrite (block.data(), sizeof (float), n * channels, f);
    }
    return std::fclose (f) == 0;
}

void RenderToolPeakMemory (benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / ("render-memory-bench-" + std::to_string (::getpid()));
    std::filesystem::create_directories (folder);
    const auto in = (folder / "in.wav").string(), out = (folder / "out.wav").string();
    if (! writeNoiseWav (in, static_cast<std::uint64_t> (state.range (0)) * 60 * sampleRate))
        state.SkipWithError ("cannot write the input");

    long peakKb = 0;
    for (auto _ : state)
    {
        const auto pid = ::fork();
        if (pid == 0)
        {
            std::freopen ("/dev/null", "w", stdout);
            std::vector<const char*> arguments { TARNWELL_RENDER_PATH, "render",           in.c_str(), out.c_str(),
                                                 "--plugin",           TARNWELL_VST2_PATH, "--tail",   "2" };
            if (state.range (1) != 0)
                arguments.insert (arguments.end(), { "--set", "T60Low=1", "--set", "T60High=1" });
            arguments.push_back (nullptr);
            ::execv (TARNWELL_RENDER_PATH, const_cast<char* const*> (arguments.data()));
            ::_exit (127);
        }
        int status = 0;
        rusage usage {};
        if (pid < 0 || ::wait4 (pid, &status, 0, &usage) != pid || ! WIFEXITED (status) || WEXITSTATUS (status) != 0)
            state.SkipWithError ("the render failed");
        peakKb = usage.ru_maxrss;
    }
    state.counters["input_MB"] = double (std::filesystem::file_size (in)) / 1e6;
    state.counters["peak_RSS_MB"] = double (peakKb) / 1024.0;
    std::filesystem::remove_all (folder);
}
} // namespace

BENCHMARK (RenderToolPeakMemory)
    ->ArgNames ({ "minutes", "longest_decay" })
    ->Args ({ 1, 0 })
    ->Args ({ 10, 0 })
    ->Args ({ 1, 1 })
    ->Args ({ 10, 1 })
    ->Iterations (1)
    ->Unit (benchmark::kSecond);
BENCHMARK_MAIN();
