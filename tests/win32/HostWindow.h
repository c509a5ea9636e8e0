#pragma once

// What the Windows test hosts share besides the reference run: the host's own top-level window
// that an editor opens into, its message loop, what the screen shows there, and a module's
// exported names.

#include <windows.h>

#include <set>
#include <string>

namespace tarnwell::crosscheck
{
// The names in the DLL's export directory.
inline std::set<std::string> exportedNames (HMODULE module)
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

inline void pumpMessages (int rounds)
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
inline size_t coloursShown (HWND window, int width, int height)
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

// The host's own top-level window, which the editor opens into.
struct HostWindow
{
    HWND handle = nullptr;

    HostWindow (int width, int height)
    {
        WNDCLASSW windowClass {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW (nullptr);
        windowClass.lpszClassName = L"TarnwellTestHostWindow";
        windowClass.hbrBackground = static_cast<HBRUSH> (GetStockObject (WHITE_BRUSH));
        RegisterClassW (&windowClass); // fails harmlessly when a previous test registered it
        handle = CreateWindowExW (0, windowClass.lpszClassName, L"Tarnwell test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, 0, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
        pumpMessages (5);
    }
    ~HostWindow() { DestroyWindow (handle); }

    HWND editor() const { return GetWindow (handle, GW_CHILD); }
};

} // namespace tarnwell::crosscheck
