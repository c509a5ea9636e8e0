#pragma once

namespace tarnwell
{
// [main-thread]
// Whether a host's window handle (an X11 window id or an HWND) names a window an editor can be
// embedded in. Asked before JUCE sees the handle: on X11 a bad one would become an error sent to
// the host's error handler, which may end the host. Linux: false too where DISPLAY names no
// display, as JUCE would then have none to put the editor on.
bool isUsableParentWindow (void* window);
} // namespace tarnwell
