#pragma once

#include <xcb/xcb.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace tarnwell
{
// libxcb, loaded when first asked for rather than linked, as JUCE loads its X libraries: the
// plug-in then needs no X library to load, and without libxcb there is no desktop to ask.
struct Xcb
{
    decltype (&xcb_connect) connect = nullptr;
    decltype (&xcb_disconnect) disconnect = nullptr;
    decltype (&xcb_connection_has_error) connectionHasError = nullptr;
    decltype (&xcb_get_setup) getSetup = nullptr;
    decltype (&xcb_setup_roots_iterator) setupRootsIterator = nullptr;
    decltype (&xcb_screen_next) screenNext = nullptr;
    decltype (&xcb_intern_atom) internAtom = nullptr;
    decltype (&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype (&xcb_get_selection_owner) getSelectionOwner = nullptr;
    decltype (&xcb_get_selection_owner_reply) getSelectionOwnerReply = nullptr;
    decltype (&xcb_get_property) getProperty = nullptr;
    decltype (&xcb_get_property_reply) getPropertyReply = nullptr;
    decltype (&xcb_get_property_value) getPropertyValue = nullptr;
    decltype (&xcb_get_property_value_length) getPropertyValueLength = nullptr;
    decltype (&xcb_get_window_attributes) getWindowAttributes = nullptr;
    decltype (&xcb_get_window_attributes_reply) getWindowAttributesReply = nullptr;
    decltype (&xcb_get_geometry) getGeometry = nullptr;
    decltype (&xcb_get_geometry_reply) getGeometryReply = nullptr;
    decltype (&xcb_configure_window) configureWindow = nullptr;
    decltype (&xcb_change_window_attributes) changeWindowAttributes = nullptr;
    decltype (&xcb_change_window_attributes_checked) changeWindowAttributesChecked = nullptr;
    decltype (&xcb_request_check) requestCheck = nullptr;
    decltype (&xcb_get_file_descriptor) getFileDescriptor = nullptr;
    decltype (&xcb_poll_for_event) pollForEvent = nullptr;
    decltype (&xcb_flush) flush = nullptr;

    // [thread-safe] Null where libxcb is missing or incomplete. Loaded once, by C++11's
    // thread-safe initialisation of a function-local static.
    static const Xcb* get()
    {
        static const Xcb loaded;
        return loaded.connect != nullptr ? &loaded : nullptr;
    }

private:
    Xcb()
    {
        void* library = dlopen ("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr)
            return;
        bool complete = true;
        const auto load = [&] (auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype (function)>> (dlsym (library, name));
            complete = complete && function != nullptr;
        };
        load (disconnect, "xcb_disconnect");
        load (connectionHasError, "xcb_connection_has_error");
        load (getSetup, "xcb_get_setup");
        load (setupRootsIterator, "xcb_setup_roots_iterator");
        load (screenNext, "xcb_screen_next");
        load (internAtom, "xcb_intern_atom");
        load (internAtomReply, "xcb_intern_atom_reply");
        load (getSelectionOwner, "xcb_get_selection_owner");
        load (getSelectionOwnerReply, "xcb_get_selection_owner_reply");
        load (getProperty, "xcb_get_property");
        load (getPropertyReply, "xcb_get_property_reply");
        load (getPropertyValue, "xcb_get_property_value");
        load (getPropertyValueLength, "xcb_get_property_value_length");
        load (getWindowAttributes, "xcb_get_window_attributes");
        load (getWindowAttributesReply, "xcb_get_window_attributes_reply");
        load (getGeometry, "xcb_get_geometry");
        load (getGeometryReply, "xcb_get_geometry_reply");
        load (configureWindow, "xcb_configure_window");
        load (changeWindowAttributes, "xcb_change_window_attributes");
        load (changeWindowAttributesChecked, "xcb_change_window_attributes_checked");
        load (requestCheck, "xcb_request_check");
        load (getFileDescriptor, "xcb_get_file_descriptor");
        load (pollForEvent, "xcb_poll_for_event");
        load (flush, "xcb_flush");
        if (complete)
            load (connect, "xcb_connect"); // set last: it marks the whole set as usable
    }
};

// A connection of our own through xcb, whose errors come back to the caller: the process's
// Xlib error handler is the host's. One thread at a time, whichever made it.
class Connection
{
public:
    explicit Connection (const Xcb& library) : xcb (library), connection (xcb.connect (nullptr, &screen)) {}
    ~Connection() { xcb.disconnect (connection); }
    Connection (const Connection&) = delete;
    Connection& operator= (const Connection&) = delete;

    bool isOpen() const { return xcb.connectionHasError (connection) == 0; }

    xcb_window_t root() const
    {
        auto roots = xcb.setupRootsIterator (xcb.getSetup (connection));
        for (int i = 0; i < screen && roots.rem > 1; ++i)
            xcb.screenNext (&roots);
        return roots.data != nullptr ? roots.data->root : XCB_NONE;
    }

    int screenNumber() const { return screen; }

    // The window that owns a selection, XCB_NONE if none does.
    xcb_window_t selectionOwner (xcb_atom_t selection) const
    {
        if (selection == XCB_ATOM_NONE)
            return XCB_NONE;
        xcb_generic_error_t* error = nullptr;
        auto* reply = xcb.getSelectionOwnerReply (connection, xcb.getSelectionOwner (connection, selection), &error);
        const xcb_window_t owner = reply != nullptr ? reply->owner : static_cast<xcb_window_t> (XCB_NONE);
        std::free (reply);
        std::free (error);
        return owner;
    }

    // An atom's number. Unless made, XCB_ATOM_NONE where the server has none of that name yet;
    // a name that something may use later, and that is watched for, must be made.
    xcb_atom_t atom (const std::string& name, bool make = false) const
    {
        auto* reply = xcb.internAtomReply (connection,
                                           xcb.internAtom (connection, make ? 0 : 1,
                                                           static_cast<std::uint16_t> (name.size()), name.c_str()),
                                           nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : static_cast<xcb_atom_t> (XCB_ATOM_NONE);
        std::free (reply);
        return found;
    }

    // A property's bytes; empty if the window or the property is gone. A window that vanished
    // meanwhile answers with an error, which is ours alone and goes no further.
    std::string property (xcb_window_t window, xcb_atom_t which) const
    {
        if (window == XCB_NONE || which == XCB_ATOM_NONE)
            return {};
        xcb_generic_error_t* error = nullptr;
        auto* reply =
            xcb.getPropertyReply (connection,
                                  xcb.getProperty (connection, 0, window, which, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
                                  &error);
        std::string bytes;
        if (reply != nullptr && reply->format == 8)
            bytes.assign (static_cast<const char*> (xcb.getPropertyValue (reply)),
                          static_cast<std::size_t> (xcb.getPropertyValueLength (reply)));
        std::free (reply);
        std::free (error);
        return bytes;
    }

    std::string property (xcb_window_t window, const std::string& name) const { return property (window, atom (name)); }

    // Whether window exists and can hold a window that draws (not an input-only one).
    bool canParent (xcb_window_t window) const
    {
        if (window == XCB_NONE)
            return false;
        auto* reply = xcb.getWindowAttributesReply (connection, xcb.getWindowAttributes (connection, window), nullptr);
        const bool usable = reply != nullptr && reply->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
        std::free (reply);
        return usable;
    }

    // A window's size, or 0 x 0 if it is gone. A round trip: every request before it is done.
    std::pair<int, int> size (xcb_window_t window) const
    {
        auto* reply = xcb.getGeometryReply (connection, xcb.getGeometry (connection, window), nullptr);
        const std::pair<int, int> found =
            reply != nullptr ? std::pair<int, int> (reply->width, reply->height) : std::pair<int, int>();
        std::free (reply);
        return found;
    }

    void resize (xcb_window_t window, int width, int height) const
    {
        const std::uint32_t values[] = { static_cast<std::uint32_t> (width), static_cast<std::uint32_t> (height) };
        xcb.configureWindow (connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb.flush (connection);
    }

    // From now on, resizes of window are seen by resizedSinceLastAsked (a window's structure
    // events can go to any number of clients, so the owner's own are untouched).
    void watchResizes (xcb_window_t window) const
    {
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb.changeWindowAttributes (connection, window, XCB_CW_EVENT_MASK, &mask);
        xcb.flush (connection);
    }

    // Whether a watched window was resized (or moved) since the last call; never waits.
    bool resizedSinceLastAsked() const
    {
        bool resized = false;
        while (auto* event = xcb.pollForEvent (connection))
        {
            resized = resized || (event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY;
            std::free (event);
        }
        return resized;
    }

    // Asks for window's events of the mask, on this connection only; false (and no error
    // anywhere but here) if the window is gone. A round trip.
    bool selectEvents (xcb_window_t window, std::uint32_t mask) const
    {
        auto* error =
            xcb.requestCheck (connection,
                              xcb.changeWindowAttributesChecked (connection, window, XCB_CW_EVENT_MASK, &mask));
        const bool selected = error == nullptr;
        std::free (error);
        return selected;
    }

    // The next event that has arrived, null if none has; never waits.
    std::unique_ptr<xcb_generic_event_t, decltype (&std::free)> nextEvent() const
    {
        return { xcb.pollForEvent (connection), &std::free };
    }

    // Readable whenever the server has sent something.
    int fileDescriptor() const { return isOpen() ? xcb.getFileDescriptor (connection) : -1; }

private:
    const Xcb& xcb;
    int screen = 0;
    xcb_connection_t* const connection;
};
} // namespace tarnwell
