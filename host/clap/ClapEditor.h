#pragma once

#include "host/clap/ClapParameterModel.h"
#include "host/editor_hosting/EditorHost.h"
#include "host/editor_hosting/MessageThread.h"

namespace tarnwell
{
// The editor of one instance as the gui extension shows it: embedded in the host's window
// (X11 on Linux, Win32 on Windows) through the shared editor hosting, whose own message thread
// runs it, at the host's scale or the desktop's.
class ClapEditor
{
public:
    explicit ClapEditor (ClapPlugin&);
    ~ClapEditor();

    static const char* windowApi() noexcept;

    bool setParent (void* nativeWindow) { return host.open (nativeWindow); }
    bool size (std::uint32_t& width, std::uint32_t& height);
    bool setScale (double scale, bool& resized);

    // A size the host proposes: snapped to one the editor can take (adjust), or taken as it
    // is (set; false, and no change, for any other).
    bool adjustSize (std::uint32_t& width, std::uint32_t& height);
    bool setSize (std::uint32_t width, std::uint32_t height);

private:
    // First in, last out: the message thread outlives the editor below.
    SharedMessageThread::User messageThreadUser;
    ClapParameterModel model;
    EditorHost host;
};
} // namespace tarnwell
