#pragma once

#include <string>

namespace tarnwell::standalone
{
// [message-thread]
// Why the app cannot show a window here (no DISPLAY, or no X server answering at it), as one
// line for the user; empty when an X server answers. Asked through a connection of its own
// before JUCE opens the display, which it does without checking.
std::string whyNoGraphicalDisplay();
} // namespace tarnwell::standalone
