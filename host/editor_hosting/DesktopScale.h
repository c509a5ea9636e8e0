#pragma once

namespace tarnwell
{
// The desktop's scale, device pixels per layout pixel, as the desktop announces it to programs,
// where a plug-in's windows do not follow it by themselves; 0 where they do, or where nothing is
// announced.
//
// Linux: JUCE leaves a plug-in's windows at 100 % whatever the desktop says, expecting the host
// to tell the scale. Hosts that do not are answered by the desktop's XSETTINGS
// (Gdk/WindowScalingFactor, else Xft/DPI over 96), else by the X resource Xft.dpi. Windows: JUCE's windows take their monitor's
// DPI themselves, so 0.
float desktopScale();
} // namespace tarnwell
