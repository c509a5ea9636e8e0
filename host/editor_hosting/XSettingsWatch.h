#pragma once

#include "host/editor_hosting/XcbConnection.h"

namespace tarnwell
{
// The desktop's scale on an X display, kept up to date from the server's own news rather than
// by asking again and again: a connection of our own watches the XSETTINGS owner's settings
// (and finds the new owner when a settings daemon quits or another takes over) and the root
// window's X resources. While nothing changes, nothing arrives and nothing runs.
// [message-thread]
// One thread at a time; it never waits for the server except for the answers to its own
// requests, and no X error it meets goes anywhere but to this connection.
class XSettingsWatch
{
public:
    // Opens the connection to $DISPLAY and reads the scale once.
    explicit XSettingsWatch (const Xcb& xcb);

    // Device pixels per layout pixel, as announced; 0 if nothing is.
    float scale() const noexcept { return current; }

    // Readable when the server has news: wait for it with poll() and then call handleNews.
    // -1 if there is no connection (no display, or the server went away).
    int fileDescriptor() const;

    // Takes in everything the server has sent so far; whether the scale changed.
    bool handleNews();

private:
    void findSettingsOwner();
    float read() const;

    const Connection x;
    const xcb_window_t root;
    const xcb_atom_t selection, settings, resources, manager;
    xcb_window_t owner = XCB_NONE;
    float current = 0.0f;
};
} // namespace tarnwell
