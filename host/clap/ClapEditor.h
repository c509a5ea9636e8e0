#pragma once

#include "host/clap/ClapHostEvents.h"
#include "host/clap/ClapParameterModel.h"
#include "host/editor_hosting/EditorHost.h"
#include "host/editor_hosting/MessageThread.h"

namespace tarnwell
{
// The editor of one instance as the gui extension shows it: embedded in the host's window
// (X11 on Linux, Win32 on Windows) through the shared editor hosting, at the host's scale or the
// desktop's. On Linux the host's main loop runs its events where the host offers fd or timer
// support (ClapHostEvents), else the shared message thread of our own does.
// [main-thread] Every call, as the gui and fd/timer extensions make them.
class ClapEditor
{
public:
    explicit ClapEditor (ClapPlugin&);
    ~ClapEditor();

    static const char* windowApi() noexcept;

    bool setParent (void* nativeWindow) { return host.open (nativeWindow); }
    bool size (std::uint32_t& width, std::uint32_t& height);
    bool setScale (double scale, bool& resized);
    void onFd (int fd) { hostEvents.onFd (fd); }
    void onTimer (clap::Id id) { hostEvents.onTimer (id); }

    // A size the host proposes: snapped to one the editor can take (adjust), or taken as it
    // is (set; false, and no change, for any other).
    bool adjustSize (std::uint32_t& width, std::uint32_t& height);
    bool setSize (std::uint32_t width, std::uint32_t height);

private:
    static SharedMessageThread::User messageThreadFor (const ClapPlugin&);

    // First in, last out: the message thread outlives the editor below, and the host's
    // registrations last exactly as long as the editor.
    SharedMessageThread::User messageThreadUser;
    ClapHostEvents hostEvents;
    ClapParameterModel model;
    EditorHost host;
};
} // namespace tarnwell
