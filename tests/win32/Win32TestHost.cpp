// A Windows VST 2.4 host of our own, built for x86 and x64 like the DLL and run under Wine:
// loads Tarnwell.dll, finds it only through its exports, and checks identity, parameters,
// processing and chunks against the Linux build's results, and the editor in a real window.
//
//   tarnwell_win32_host [GoogleTest flags] <Tarnwell.dll> <reference file from tarnwell_win32_reference>

#include "HostWindow.h"
#include "ReferenceRun.h"
#include "tests/support/ExpectedDefaults.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

using namespace tarnwell::crosscheck;
namespace expected = tarnwell::expected;

namespace
{
VstIntPtr versionAnswer = 2400;

VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? versionAnswer : 0;
}

using Entry = AEffect* (*)(audioMasterCallback);
HMODULE library = nullptr;
Entry entry = nullptr;
Reference linux;

AEffect* open()
{
    AEffect* e = entry (&hostCallback);
    if (e != nullptr)
        dispatch (e, effOpen);
    return e;
}

void close (AEffect* e)
{
    dispatch (e, effClose);
}

// An opened instance, closed however the test ends.
struct Close
{
    void operator() (AEffect* e) const { close (e); }
};
using Instance = std::unique_ptr<AEffect, Close>;

std::string text (AEffect* e, int opcode, int index = 0)
{
    char buffer[256];
    std::memset (buffer, 'x', sizeof buffer);
    buffer[255] = 0;
    dispatch (e, opcode, index, 0, buffer);
    return buffer;
}

//==============================================================================
TEST (Vst2Dll, EntryPointAndIdentity)
{
    EXPECT_EQ (exportedNames (library), (std::set<std::string> { "VSTPluginMain", "main" }));
    EXPECT_EQ (reinterpret_cast<void*> (GetProcAddress (library, "main")), reinterpret_cast<void*> (entry));

    versionAnswer = 0;
    EXPECT_EQ (entry (&hostCallback), nullptr) << "a host without VST 2 gets nothing";
    versionAnswer = 2400;

    Instance e (open());
    ASSERT_NE (e, nullptr);
    EXPECT_EQ (e->magic, 0x56737450);
    EXPECT_EQ (e->uniqueID, 0x516E5477); // "QnTw"
    EXPECT_EQ (e->version, 0x10000);
    EXPECT_EQ (e->flags, 0x31); // HasEditor, CanReplacing, ProgramChunks, after effOpen's probe
    EXPECT_EQ (e->numParams, 5);
    EXPECT_EQ (e->numPrograms, 0);
    EXPECT_EQ (e->numInputs, 2);
    EXPECT_EQ (e->numOutputs, 2);
    EXPECT_EQ (e->initialDelay, 0);

    EXPECT_EQ (text (e.get(), effGetEffectName), expected::productName);
    EXPECT_EQ (text (e.get(), effGetProductString), expected::productName);
    EXPECT_EQ (text (e.get(), effGetVendorString), expected::vendor);
    EXPECT_EQ (dispatch (e.get(), effGetVendorVersion), 0x10000);
    EXPECT_EQ (dispatch (e.get(), effGetPlugCategory), 1);
    EXPECT_EQ (dispatch (e.get(), effGetVstVersion), 2400);
    EXPECT_EQ (dispatch (e.get(), effCanDo, 0, 0, const_cast<char*> ("receiveVstTimeInfo")), 1);
    EXPECT_EQ (dispatch (e.get(), effCanDo, 0, 0, const_cast<char*> ("receiveVstMidiEvents")), -1);
    EXPECT_EQ (dispatch (e.get(), effCanDo, 0, 0, const_cast<char*> ("sendVstEventsX")), 0);
}

TEST (Vst2Dll, ParameterNamesDefaultsAndTexts)
{
    Instance e (open());
    ASSERT_NE (e, nullptr);
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE (expected::parameterNames[i]);
        EXPECT_EQ (text (e.get(), effGetParamName, i), expected::parameterNames[i]);
        EXPECT_EQ (text (e.get(), effGetParamDisplay, i), expected::defaultTexts[i]);
        EXPECT_EQ (text (e.get(), effGetParamLabel, i), "");
        EXPECT_EQ (e->getParameter (e.get(), i), expected::storedDefaults[i]);
    }

    // The formatting of numbers goes through Windows' C run-time here.
    e->setParameter (e.get(), 2, 1.0f);
    EXPECT_EQ (text (e.get(), effGetParamDisplay, 2), "10000.00 Hz");
    e->setParameter (e.get(), 0, 0.123f);
    EXPECT_EQ (text (e.get(), effGetParamDisplay, 0), "1.23 sec");
    e->setParameter (e.get(), 3, 0.6f);
    EXPECT_EQ (text (e.get(), effGetParamDisplay, 3), "60.00%");
}

//==============================================================================
TEST (Vst2Dll, OutputAndChunksMatchTarnwellSo)
{
    const auto windows = collect (&open, &close);
    ASSERT_EQ (windows.outputs.size(), linux.outputs.size());
    for (size_t i = 0; i < linux.outputs.size(); ++i)
    {
        SCOPED_TRACE ("run " + std::to_string (i));
        const double difference = largestDifference (windows.outputs[i], linux.outputs[i]);
        std::printf ("run %u: largest difference %.3g\n", static_cast<unsigned> (i), difference);
        EXPECT_FALSE (windows.outputs[i].empty());
        EXPECT_LE (difference, 1.0e-6);
        double energy = 0.0;
        for (const float sample : linux.outputs[i])
            energy += static_cast<double> (sample) * static_cast<double> (sample);
        EXPECT_GT (energy, 1.0) << "the reference is not silence";
    }

    // A new instance's block, and one after settings, byte for byte as on Linux.
    EXPECT_EQ (windows.newChunk.size(), 119u);
    EXPECT_EQ (windows.newChunk, linux.newChunk);
    EXPECT_EQ (windows.configuredChunk, linux.configuredChunk);
    EXPECT_EQ (windows.scenarioChunks, linux.scenarioChunks);
}

TEST (Vst2Dll, ChunkRestoresIntoAnotherInstanceAndBadChunksChangeNothing)
{
    Instance source (open()), target (open());
    ASSERT_NE (source, nullptr);
    ASSERT_NE (target, nullptr);
    const float values[] = { 0.71f, 0.02f, 0.333f, 0.9f, 0.05f };
    for (int i = 0; i < 5; ++i)
        source->setParameter (source.get(), i, values[i]);
    auto block = chunk (source.get());
    EXPECT_EQ (dispatch (target.get(), effSetChunk, 0, static_cast<VstIntPtr> (block.size()), block.data()), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (target->getParameter (target.get(), i), values[i]) << expected::parameterNames[i];
    EXPECT_EQ (chunk (target.get()), block);
    EXPECT_EQ (text (target.get(), effGetParamDisplay, 3), "90.00%");

    char junk[16] = "not a chunk";
    EXPECT_EQ (dispatch (target.get(), effSetChunk, 0, sizeof junk, junk), 0);
    EXPECT_EQ (dispatch (target.get(), effSetChunk, 0, 0, junk), 0);
    EXPECT_EQ (target->getParameter (target.get(), 3), 0.9f);
    EXPECT_EQ (chunk (target.get()), block);
}

//==============================================================================
TEST (Vst2Dll, EditorOpensDrawsAndClosesInAHostWindow)
{
    HostWindow host (640, 360);
    ASSERT_NE (host.handle, nullptr);
    Instance e (open());
    ASSERT_NE (e, nullptr);

    ERect* rect = nullptr;
    ASSERT_EQ (dispatch (e.get(), effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->right - rect->left, 453);
    EXPECT_EQ (rect->bottom - rect->top, 200);
    EXPECT_EQ (dispatch (e.get(), effEditOpen, 0, 0, nullptr), 0) << "no parent window, no editor";

    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE ("opening " + std::to_string (round + 1));
        ASSERT_EQ (dispatch (e.get(), effEditOpen, 0, 0, host.handle), 1);
        HWND editor = host.editor();
        ASSERT_NE (editor, nullptr);
        RECT client {};
        GetClientRect (editor, &client);
        EXPECT_EQ (client.right, 453);
        EXPECT_EQ (client.bottom, 200);
        EXPECT_TRUE (IsWindowVisible (editor));

        // The host's loop is the editor's message loop; idle calls as hosts send them.
        for (int i = 0; i < 30; ++i)
        {
            dispatch (e.get(), effEditIdle);
            pumpMessages (1);
        }
        EXPECT_GT (coloursShown (editor, 453, 200), 50u) << "the editor drew its picture and controls";

        dispatch (e.get(), effEditClose);
        pumpMessages (2);
        EXPECT_EQ (host.editor(), nullptr);
    }

    // Closing the instance with its editor open takes the window away too.
    ASSERT_EQ (dispatch (e.get(), effEditOpen, 0, 0, host.handle), 1);
    pumpMessages (5);
    e.reset();
    pumpMessages (2);
    EXPECT_EQ (host.editor(), nullptr);
}

// A host drawing at 200 % says so with its scale message; the editor then opens at twice its size.
TEST (Vst2Dll, EditorAtTheHostsScale)
{
    HostWindow host (1000, 500);
    ASSERT_NE (host.handle, nullptr);
    Instance e (open());
    ASSERT_NE (e, nullptr);

    EXPECT_EQ (dispatch (e.get(), effVendorSpecific, tarnwell::vst::scaleMessageIndex, tarnwell::vst::scaleMessageValue,
                         nullptr, 2.0f),
               1);
    ERect* rect = nullptr;
    ASSERT_EQ (dispatch (e.get(), effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->right - rect->left, 906);
    EXPECT_EQ (rect->bottom - rect->top, 400);

    ASSERT_EQ (dispatch (e.get(), effEditOpen, 0, 0, host.handle), 1);
    pumpMessages (5);
    RECT client {};
    GetClientRect (host.editor(), &client);
    EXPECT_EQ (client.right, 906);
    EXPECT_EQ (client.bottom, 400);
    dispatch (e.get(), effEditClose);
}
} // namespace

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s [GoogleTest flags] <Tarnwell.dll> <reference file>\n", argv[0]);
        return 2;
    }

    library = LoadLibraryA (argv[1]);
    entry = library != nullptr
        ? reinterpret_cast<Entry> (reinterpret_cast<void*> (GetProcAddress (library, "VSTPluginMain")))
        : nullptr;
    if (entry == nullptr)
    {
        std::fprintf (stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (! read (argv[2], linux))
    {
        std::fprintf (stderr, "cannot read the reference %s\n", argv[2]);
        return 1;
    }
    return RUN_ALL_TESTS();
}
