#pragma once

namespace tarnwell::standalone
{
// SIGTERM and SIGINT (a session manager, a logout, Ctrl+C) ask the app to quit as its close
// button does. The handler only raises a flag, which the message thread polls; a second
// signal while that quit is still under way ends the process at once.
void catchQuitSignals();
bool quitSignalArrived() noexcept;
} // namespace tarnwell::standalone
