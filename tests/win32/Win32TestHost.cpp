// A Windows VST 2.4 host of our own, built for x86 and x64 like the DLL and run under Wine:
// loads Tarnwell.dll, finds it only through its exports, and checks identity, parameters,
// processing and chunks against the Linux build's results, and the editor in a real window.
//
//   tarnwell_win32_host <Tarnwell.dll> <reference file from tarnwell_win32_reference>
//
// Prints each failure and "N passed, N failed"; exits non-zero on any failure.

#include "Checks.h"
#include "ReferenceRun.h"
#include "tests/support/ExpectedDefaults.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

using namespace tarnwell::checks;
using namespace tarnwell::crosscheck;

namespace
{
VstIntPtr versionAnswer = 2400;

VstIntPtr hostCallback (AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? versionAnswer : 0;
}

using Entry = AEffect* (*) (audioMasterCallback);
HMODULE library = nullptr;
Entry entry = nullptr;

AEffect* open()
{
    AEffect* e = entry (&hostCallback);
    if (e != nullptr)
        dispatch (e, effOpen);
    return e;
}

void close (AEffect* e) { dispatch (e, effClose); }

std::string text (AEffect* e, int opcode, int index = 0)
{
    char buffer[256];
    std::memset (buffer, 'x', sizeof buffer);
    buffer[255] = 0;
    dispatch (e, opcode, index, 0, buffer);
    return buffer;
}

// The names in the DLL's export directory.
std::set<std::string> exportedNames (HMODULE module)
{
    const auto* base = reinterpret_cast<const unsigned char*> (module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*> (base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*> (base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (dir.VirtualAddress == 0)
        return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*> (base + dir.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*> (base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert (reinterpret_cast<const char*> (base + nameRvas[i]));
    return names;
}

//==============================================================================
void entryAndIdentity()
{
    CHECK ((exportedNames (library) == std::set<std::string> { "VSTPluginMain", "main" }));
    CHECK (reinterpret_cast<void*> (GetProcAddress (library, "main")) == reinterpret_cast<void*> (entry));

    versionAnswer = 0;
    CHECK (entry (&hostCallback) == nullptr); // a host without VST 2 gets nothing
    versionAnswer = 2400;

    AEffect* e = open();
    if (! CHECK (e != nullptr))
        return;

    CHECK (e->magic == 0x56737450);
    CHECK (e->uniqueID == 0x516E5477); // "QnTw"
    CHECK (e->version == 0x10000);
    CHECK (e->flags == 0x31); // HasEditor, CanReplacing, ProgramChunks, after effOpen's probe
    CHECK (e->numParams == 5);
    CHECK (e->numPrograms == 0);
    CHECK (e->numInputs == 2);
    CHECK (e->numOutputs == 2);
    CHECK (e->initialDelay == 0);

    namespace expected = tarnwell::expected;
    CHECK_TEXT (text (e, effGetEffectName), std::string (expected::productName));
    CHECK_TEXT (text (e, effGetProductString), std::string (expected::productName));
    CHECK_TEXT (text (e, effGetVendorString), std::string (expected::vendor));
    CHECK (dispatch (e, effGetVendorVersion) == 0x10000);
    CHECK (dispatch (e, effGetPlugCategory) == 1);
    CHECK (dispatch (e, effGetVstVersion) == 2400);
    CHECK (dispatch (e, effCanDo, 0, 0, const_cast<char*> ("receiveVstTimeInfo")) == 1);
    CHECK (dispatch (e, effCanDo, 0, 0, const_cast<char*> ("receiveVstMidiEvents")) == -1);
    CHECK (dispatch (e, effCanDo, 0, 0, const_cast<char*> ("sendVstEventsX")) == 0);

    for (int i = 0; i < 5; ++i)
    {
        CHECK_TEXT (text (e, effGetParamName, i), std::string (expected::parameterNames[i]));
        CHECK_TEXT (text (e, effGetParamDisplay, i), std::string (expected::defaultTexts[i]));
        CHECK_TEXT (text (e, effGetParamLabel, i), std::string());
        CHECK (e->getParameter (e, i) == expected::storedDefaults[i]);
    }

    // The formatting of numbers goes through Windows' C run-time here.
    e->setParameter (e, 2, 1.0f);
    CHECK_TEXT (text (e, effGetParamDisplay, 2), std::string ("10000.00 Hz"));
    e->setParameter (e, 0, 0.123f);
    CHECK_TEXT (text (e, effGetParamDisplay, 0), std::string ("1.23 sec"));
    e->setParameter (e, 3, 0.6f);
    CHECK_TEXT (text (e, effGetParamDisplay, 3), std::string ("60.00%"));
    close (e);
}

//==============================================================================
void processingAndChunks (const Reference& linux)
{
    const auto windows = collect (&open, &close);
    if (! CHECK (windows.outputs.size() == linux.outputs.size()))
        return;

    for (size_t i = 0; i < linux.outputs.size(); ++i)
    {
        const auto& a = windows.outputs[i];
        const auto& b = linux.outputs[i];
        if (! CHECK (a.size() == b.size() && ! a.empty()))
            continue;
        double maxDifference = 0.0, energy = 0.0;
        for (size_t n = 0; n < a.size(); ++n)
        {
            const double d = std::fabs (static_cast<double> (a[n]) - static_cast<double> (b[n]));
            maxDifference = std::isfinite (d) ? std::max (maxDifference, d) : 1.0e30;
            energy += static_cast<double> (b[n]) * static_cast<double> (b[n]);
        }
        char detail[96];
        std::snprintf (detail, sizeof detail, "run %u: largest difference %.3g", static_cast<unsigned> (i), maxDifference);
        check (maxDifference <= 1.0e-6, "output matches Tarnwell.so within 1e-6", __LINE__, detail);
        CHECK (energy > 1.0); // the reference is not silence
        std::printf ("%s\n", detail);
    }

    // A new instance's block, and one after settings, byte for byte as on Linux.
    CHECK (windows.newChunk.size() == 96);
    CHECK (windows.newChunk == linux.newChunk);
    CHECK (windows.configuredChunk == linux.configuredChunk);

    // Round trip into another instance.
    AEffect* source = open();
    AEffect* target = open();
    if (! CHECK (source != nullptr && target != nullptr))
        return;
    const float values[] = { 0.71f, 0.02f, 0.333f, 0.9f, 0.05f };
    for (int i = 0; i < 5; ++i)
        source->setParameter (source, i, values[i]);
    auto block = chunk (source);
    CHECK (dispatch (target, effSetChunk, 0, static_cast<VstIntPtr> (block.size()), block.data()) == 0);
    for (int i = 0; i < 5; ++i)
        CHECK (target->getParameter (target, i) == values[i]);
    CHECK (chunk (target) == block);
    CHECK_TEXT (text (target, effGetParamDisplay, 3), std::string ("90.00%"));

    // Bad blocks change nothing.
    char junk[16] = "not a chunk";
    CHECK (dispatch (target, effSetChunk, 0, sizeof junk, junk) == 0);
    CHECK (dispatch (target, effSetChunk, 0, 0, junk) == 0);
    CHECK (target->getParameter (target, 3) == 0.9f);
    close (source);
    close (target);
}

//==============================================================================
void pumpMessages (int rounds)
{
    for (int i = 0; i < rounds; ++i)
    {
        MSG message;
        while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageW (&message);
        }
        Sleep (10);
    }
}

// How many different colours the window shows on the screen: one or two if nothing was drawn.
// Read from the screen, as Wine's window DCs give back the host window's own background.
size_t coloursShown (HWND window, int width, int height)
{
    POINT origin { 0, 0 };
    ClientToScreen (window, &origin);
    HDC windowDc = GetDC (nullptr);
    HDC memoryDc = CreateCompatibleDC (windowDc);
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof (info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection (windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject (memoryDc, bitmap);
    BitBlt (memoryDc, 0, 0, width, height, windowDc, origin.x, origin.y, SRCCOPY);
    GdiFlush();

    std::set<DWORD> colours;
    const auto* pixels = static_cast<const DWORD*> (bits);
    for (int i = 0; pixels != nullptr && i < width * height; ++i)
        colours.insert (pixels[i] & 0xffffff);

    SelectObject (memoryDc, old);
    DeleteObject (bitmap);
    DeleteDC (memoryDc);
    ReleaseDC (nullptr, windowDc);
    return colours.size();
}

void editorInAWindow()
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.lpszClassName = L"TarnwellTestHostWindow";
    windowClass.hbrBackground = static_cast<HBRUSH> (GetStockObject (WHITE_BRUSH));
    RegisterClassW (&windowClass);
    HWND hostWindow = CreateWindowExW (0, windowClass.lpszClassName, L"Tarnwell test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       0, 0, 640, 360, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (! CHECK (hostWindow != nullptr))
        return;
    pumpMessages (5);

    AEffect* e = open();
    if (! CHECK (e != nullptr))
        return;

    ERect* rect = nullptr;
    CHECK (dispatch (e, effEditGetRect, 0, 0, &rect) == 1);
    CHECK (rect != nullptr && rect->right - rect->left == 453 && rect->bottom - rect->top == 200);
    CHECK (dispatch (e, effEditOpen, 0, 0, nullptr) == 0);

    for (int round = 0; round < 2; ++round)
    {
        CHECK (dispatch (e, effEditOpen, 0, 0, hostWindow) == 1);
        HWND editor = GetWindow (hostWindow, GW_CHILD);
        if (! CHECK (editor != nullptr))
            break;
        RECT client {};
        GetClientRect (editor, &client);
        CHECK (client.right == 453 && client.bottom == 200);
        CHECK (IsWindowVisible (editor) != FALSE);

        // The host's loop is the editor's message loop; idle calls as hosts send them.
        for (int i = 0; i < 30; ++i)
        {
            dispatch (e, effEditIdle);
            pumpMessages (1);
        }
        const size_t colours = coloursShown (editor, 453, 200);
        check (colours > 50, "the editor drew its picture and controls", __LINE__, std::to_string (colours) + " colours");

        dispatch (e, effEditClose);
        pumpMessages (2);
        CHECK (GetWindow (hostWindow, GW_CHILD) == nullptr);
    }

    // Closing the instance with its editor open takes the window away too.
    CHECK (dispatch (e, effEditOpen, 0, 0, hostWindow) == 1);
    pumpMessages (5);
    close (e);
    pumpMessages (2);
    CHECK (GetWindow (hostWindow, GW_CHILD) == nullptr);

    DestroyWindow (hostWindow);
}

// A host drawing at 200 % says so with its scale message; the editor then opens at twice its size.
void editorAtTheHostsScale()
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.lpszClassName = L"TarnwellTestHostScaledWindow";
    RegisterClassW (&windowClass);
    HWND hostWindow = CreateWindowExW (0, windowClass.lpszClassName, L"Tarnwell test host at 200 %", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       0, 0, 1000, 500, nullptr, nullptr, windowClass.hInstance, nullptr);
    AEffect* e = open();
    if (! CHECK (hostWindow != nullptr && e != nullptr))
        return;

    CHECK (dispatch (e, effVendorSpecific, tarnwell::vst::scaleMessageIndex, tarnwell::vst::scaleMessageValue, nullptr, 2.0f) == 1);
    ERect* rect = nullptr;
    CHECK (dispatch (e, effEditGetRect, 0, 0, &rect) == 1);
    CHECK (rect != nullptr && rect->right - rect->left == 906 && rect->bottom - rect->top == 400);

    CHECK (dispatch (e, effEditOpen, 0, 0, hostWindow) == 1);
    pumpMessages (5);
    RECT client {};
    GetClientRect (GetWindow (hostWindow, GW_CHILD), &client);
    check (client.right == 906 && client.bottom == 400, "the editor's window at 200 %", __LINE__,
           std::to_string (client.right) + " x " + std::to_string (client.bottom));

    dispatch (e, effEditClose);
    close (e);
    DestroyWindow (hostWindow);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: %s <Tarnwell.dll> <reference file>\n", argv[0]);
        return 2;
    }

    library = LoadLibraryA (argv[1]);
    entry = library != nullptr ? reinterpret_cast<Entry> (reinterpret_cast<void*> (GetProcAddress (library, "VSTPluginMain"))) : nullptr;
    if (entry == nullptr)
    {
        std::printf ("cannot load %s (error %lu)\n0 passed, 1 failed\n", argv[1], GetLastError());
        return 1;
    }

    Reference linux;
    if (! read (argv[2], linux))
    {
        std::printf ("cannot read the reference %s\n0 passed, 1 failed\n", argv[2]);
        return 1;
    }

    entryAndIdentity();
    processingAndChunks (linux);
    editorInAWindow();
    editorAtTheHostsScale();

    std::printf ("%d passed, %d failed\n", passed, failed);
    std::fflush (stdout);
    return failed == 0 ? 0 : 1;
}
