#include "host/editor_hosting/XSettingsWatch.h"

#include "host/editor_hosting/DesktopScaleSettings.h"

#include <string>

namespace tarnwell
{
XSettingsWatch::XSettingsWatch (const Xcb& xcb)
    : x (xcb), root (x.isOpen() ? x.root() : XCB_NONE),
      // Made if need be: a settings daemon or xrdb that starts later uses these very atoms.
      selection (x.isOpen() ? x.atom ("_XSETTINGS_S" + std::to_string (x.screenNumber()), true)
                            : xcb_atom_t (XCB_ATOM_NONE)),
      settings (x.isOpen() ? x.atom ("_XSETTINGS_SETTINGS", true) : xcb_atom_t (XCB_ATOM_NONE)),
      resources (x.isOpen() ? x.atom ("RESOURCE_MANAGER", true) : xcb_atom_t (XCB_ATOM_NONE)),
      manager (x.isOpen() ? x.atom ("MANAGER", true) : xcb_atom_t (XCB_ATOM_NONE))
{
    if (root == XCB_NONE)
        return;
    // A new settings daemon announces itself with a MANAGER message to the root window's
    // structure listeners; xrdb's resources are a property of the root window.
    x.selectEvents (root, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
    findSettingsOwner();
    current = read();
}

int XSettingsWatch::fileDescriptor() const
{
    return root != XCB_NONE ? x.fileDescriptor() : -1;
}

void XSettingsWatch::findSettingsOwner()
{
    // The owner can go between our asking and our watching it; then the watch is refused (an
    // error on this connection only) and the next owner, if any, is asked for. A few tries: a
    // desktop whose daemons keep replacing each other is found again by their messages.
    owner = XCB_NONE;
    for (int attempt = 0; attempt < 4 && owner == XCB_NONE; ++attempt)
    {
        const auto found = x.selectionOwner (selection);
        if (found == XCB_NONE)
            return;
        if (x.selectEvents (found, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY))
            owner = found;
    }
}

float XSettingsWatch::read() const
{
    const auto bytes = x.property (owner, settings);
    if (const auto scale = scaleFromXSettings (reinterpret_cast<const unsigned char*> (bytes.data()), bytes.size());
        scale > 0.0f)
        return scale;
    return scaleFromResources (x.property (root, resources));
}

bool XSettingsWatch::handleNews()
{
    if (root == XCB_NONE)
        return false;

    const float before = current;
    // Reading the settings is a round trip, during which more news may arrive and wait in
    // xcb's queue: go on until a look finds nothing new, so the descriptor is quiet again.
    for (;;)
    {
        bool ownerChanged = false, valuesChanged = false;
        while (const auto event = x.nextEvent())
        {
            switch (event->response_type & 0x7f)
            {
                case XCB_PROPERTY_NOTIFY:
                {
                    const auto& e = *reinterpret_cast<const xcb_property_notify_event_t*> (event.get());
                    valuesChanged = valuesChanged || (e.window == owner && e.atom == settings)
                        || (e.window == root && e.atom == resources);
                    break;
                }
                case XCB_DESTROY_NOTIFY:
                    ownerChanged = ownerChanged
                        || reinterpret_cast<const xcb_destroy_notify_event_t*> (event.get())->window == owner;
                    break;
                case XCB_CLIENT_MESSAGE:
                {
                    const auto& e = *reinterpret_cast<const xcb_client_message_event_t*> (event.get());
                    ownerChanged =
                        ownerChanged || (e.type == manager && e.format == 32 && e.data.data32[1] == selection);
                    break;
                }
                default:
                    break; // the rest of the root's and the owner's news, and our own errors
            }
        }
        if (! ownerChanged && ! valuesChanged)
            break;
        if (ownerChanged)
            findSettingsOwner();
        current = read();
    }
    return current != before;
}
} // namespace tarnwell
