// An LV2 host with nothing that draws, on lilv: it finds Tarnwell in LV2_PATH, renders an impulse
// through one instance and says how long loading took and what the instances cost. The LV2
// tests run it in a tree that has no display or font library.
//
//   lv2_headless_host [--instances N] [library ...]
//
// Each library named must fail to load (the tree holds none of them). Exit status 0 when the
// impulse left a finite reverberation on the right channel; 2 when a named library loaded; 1
// otherwise.

#include "tests/lv2/LilvHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace
{
// 0 where /proc is not mounted, as in the tests' tree.
long residentKiB()
{
    std::ifstream statm ("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf (_SC_PAGESIZE) / 1024);
}
} // namespace

int main (int argc, char** argv)
{
    int extraInstances = 0;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp (argv[i], "--instances") == 0 && i + 1 < argc)
        {
            extraInstances = std::atoi (argv[++i]) - 1;
            continue;
        }
        if (void* library = dlopen (argv[i], RTLD_NOW | RTLD_LOCAL))
        {
            std::printf ("%s loaded, though it should not be found here\n", argv[i]);
            dlclose (library);
            return 2;
        }
    }

    tarnwell::test::Lv2World world;
    if (world.plugin == nullptr)
    {
        std::fprintf (stderr, "Tarnwell not found in LV2_PATH\n");
        return 1;
    }

    // Instantiating loads the binary: from there to the first block's end.
    constexpr int frames = 512;
    const long residentBefore = residentKiB();
    const auto start = std::chrono::steady_clock::now();
    tarnwell::test::Lv2Instance instance (world, 48000.0, frames);
    if (instance.instance == nullptr)
    {
        std::fprintf (stderr, "Tarnwell did not instantiate\n");
        return 1;
    }
    std::vector<std::vector<float>> input (2, std::vector<float> (frames)), output = input;
    input[0][0] = 1.0f;
    instance.run (input, 0, frames, output);
    const auto firstBlock = std::chrono::steady_clock::now() - start;
    const long residentFirst = residentKiB();

    input[0][0] = 0.0f;
    double rightEnergy = 0.0;
    for (int block = 1; block < 94; ++block)
    {
        instance.run (input, 0, frames, output);
        for (float s : output[1])
            rightEnergy += static_cast<double> (s) * static_cast<double> (s);
    }

    std::vector<std::unique_ptr<tarnwell::test::Lv2Instance>> more;
    for (int i = 0; i < extraInstances; ++i)
    {
        more.push_back (std::make_unique<tarnwell::test::Lv2Instance> (world, 48000.0, frames));
        more.back()->run (input, 0, frames, output);
    }
    const long residentAll = residentKiB();

    std::printf ("load to first block: %.2f ms\n", std::chrono::duration<double, std::milli> (firstBlock).count());
    std::printf ("resident: %ld KiB more with the first instance", residentFirst - residentBefore);
    if (extraInstances > 0)
        std::printf (", %ld KiB per further instance", (residentAll - residentFirst) / extraInstances);
    std::printf ("\nright channel's energy: %g\n", rightEnergy);
    return std::isfinite (rightEnergy) && rightEnergy > 1.0e-6 ? 0 : 1;
}
