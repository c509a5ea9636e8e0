#pragma once

#include <sys/types.h>

#include <chrono>
#include <vector>

struct _XDisplay; // Xlib's Display; its header's macros stay out of the tests

namespace tarnwell::test
{
// The standalone app's window on the test's X display, found by the app's process id, and
// driven as a user would: a real pointer click through the XTEST extension.
class AppWindow
{
public:
    AppWindow (pid_t pid, std::chrono::milliseconds timeout);
    ~AppWindow();

    AppWindow (const AppWindow&) = delete;
    AppWindow& operator= (const AppWindow&) = delete;

    bool found() const { return window != 0; }

    // Points in the editor, which fills the window's bottom left below the title bar and
    // any notice.
    void click (int editorX, int editorY);
    // Points anywhere in the window, from its top left: the title bar's buttons, a menu below.
    void clickInWindow (int windowX, int windowY);

    // The pixels of an area of the editor.
    std::vector<unsigned long> pixels (int editorX, int editorY, int width, int height);

private:
    void editorOrigin (int& x, int& y);
    void clickAt (int rootX, int rootY);

    _XDisplay* display = nullptr;
    unsigned long window = 0; // an X window id
};
} // namespace tarnwell::test
