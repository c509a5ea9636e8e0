#pragma once

namespace tarnwell::standalone
{
// SIGTERM and SIGINT (a session manager, a logout, Ctrl+C) ask the app to quit as its close
// button does. The handler only raises a flag (a lock-free atomic, which a signal handler may
// touch), which the message thread polls; a second signal while that quit is still under way
// ends the process at once.
// [message-thread]
void catchQuitSignals();
// [thread-safe]
bool quitSignalArrived() noexcept;
} // namespace tarnwell::standalone
