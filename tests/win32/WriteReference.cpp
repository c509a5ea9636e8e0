// Runs Tarnwell.so through what the Windows test host runs Tarnwell.dll through, and writes
// the results for it to compare against.
//
//   tarnwell_win32_reference <output file>

#include "ReferenceRun.h"

#include <dlfcn.h>

#include <cstdio>

namespace
{
VstIntPtr host (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }

    void* library = dlopen (TARNWELL_VST2_PATH, RTLD_NOW | RTLD_LOCAL);
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = library != nullptr ? reinterpret_cast<Entry> (dlsym (library, "VSTPluginMain")) : nullptr;
    if (entry == nullptr)
    {
        std::fprintf (stderr, "cannot load %s: %s\n", TARNWELL_VST2_PATH, dlerror());
        return 1;
    }

    const auto reference = tarnwell::crosscheck::collect (
        [&] {
            AEffect* e = entry (&host);
            if (e != nullptr)
                tarnwell::crosscheck::dispatch (e, effOpen);
            return e;
        },
        [] (AEffect* e) { tarnwell::crosscheck::dispatch (e, effClose); });

    if (reference.outputs.empty() || ! tarnwell::crosscheck::write (argv[1], reference))
    {
        std::fprintf (stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf ("Reference written to %s\n", argv[1]);
    return 0;
}
