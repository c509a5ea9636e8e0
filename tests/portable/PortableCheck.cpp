// A VST 2.4 host built on the distribution it runs on (in a Debian 11 or 13 chroot, or for
// 64-bit ARM under qemu), with nothing but the C++ library: it loads Tarnwell.so, runs the
// same calls as the Windows test hosts, restores a saved block, and holds everything against
// the results of the Debian 12 build (tests/win32/WriteReference.cpp writes them).
//
//   portable_check [GoogleTest flags] <Tarnwell.so> <reference file>
//
// Built by ./tarnwell test-portable with each distribution's own g++, not by CMake.

#include "tests/win32/ReferenceRun.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace tarnwell::crosscheck;

namespace
{
const char* pluginPath = nullptr;
const char* referencePath = nullptr;

VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST (PortableBuild, LoadsProcessesAndRestoresAsTheDebian12BuildDoes)
{
    Reference debian12;
    ASSERT_TRUE (read (referencePath, debian12)) << referencePath;

    void* library = dlopen (pluginPath, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (library, nullptr) << dlerror();
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry> (dlsym (library, "VSTPluginMain"));
    ASSERT_NE (entry, nullptr);

    const auto here = collect (
        [&] {
            AEffect* e = entry (&hostCallback);
            if (e != nullptr)
                dispatch (e, effOpen);
            return e;
        },
        [] (AEffect* e) { dispatch (e, effClose); });

    // The saved blocks are the same bytes; the last run is the restored one.
    EXPECT_EQ (here.newChunk, debian12.newChunk);
    EXPECT_EQ (here.configuredChunk, debian12.configuredChunk);
    ASSERT_EQ (here.outputs.size(), debian12.outputs.size());
    for (size_t run = 0; run < here.outputs.size(); ++run)
    {
        const double difference = largestDifference (here.outputs[run], debian12.outputs[run]);
        EXPECT_LE (difference, 1.0e-6) << "run " << run;
        std::printf ("run %zu: largest difference from the Debian 12 build %.3g\n", run, difference);
    }
    dlclose (library);
}
} // namespace

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s [GoogleTest flags] <Tarnwell.so> <reference file>\n", argv[0]);
        return 2;
    }
    pluginPath = argv[1];
    referencePath = argv[2];
    return RUN_ALL_TESTS();
}
