#pragma once

namespace tarnwell::standalone
{
// Sets JUCE's global scale so that the app's windows show at the desktop's scale. JUCE scales
// a standalone app by itself only where it finds the desktop's screens through XRandR (not
// under Xvfb, nor through Xinerama), so the global scale is what the desktop wants over what
// JUCE already applies. Nothing changes where the desktop announces no scale (wanted 0).
// [message-thread]
void followDesktopScale (float wanted);
} // namespace tarnwell::standalone
