// The LV2 entry points: the plug-in's and the UI's descriptors, the only exported symbols.
// No exception crosses into the host.

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Plugin.h"
#include "host/lv2/Lv2Ui.h"

#include <cstring>

namespace
{
using tarnwell::lv2::Lv2Plugin;
using tarnwell::lv2::Lv2Ui;

Lv2Plugin* plugin (LV2_Handle h) { return static_cast<Lv2Plugin*> (h); }
Lv2Ui* ui (LV2UI_Handle h) { return static_cast<Lv2Ui*> (h); }

LV2_Handle instantiate (const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features)
{
    try
    {
        return Lv2Plugin::create (sampleRate, features);
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPort (LV2_Handle h, uint32_t port, void* data) { plugin (h)->connect (port, data); }
void activate (LV2_Handle h) { plugin (h)->activate(); }
void run (LV2_Handle h, uint32_t frames) { plugin (h)->run (frames); }
void deactivate (LV2_Handle h) { plugin (h)->deactivate(); }
void cleanup (LV2_Handle h) { delete plugin (h); }

LV2_State_Status save (LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                       const LV2_Feature* const*)
{
    try
    {
        return plugin (h)->save (store, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore (LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                          const LV2_Feature* const*)
{
    try
    {
        return plugin (h)->restore (retrieve, handle);
    }
    catch (...)
    {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const void* extensionData (const char* uri)
{
    static const LV2_State_Interface state { &save, &restore };
    return std::strcmp (uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor pluginDescriptor { tarnwell::lv2::pluginUri, &instantiate, &connectPort, &activate, &run,
                                        &deactivate, &cleanup, &extensionData };

//==============================================================================
LV2UI_Handle instantiateUi (const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                            LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    if (pluginUri == nullptr || std::strcmp (pluginUri, tarnwell::lv2::pluginUri) != 0)
        return nullptr;
    try
    {
        return Lv2Ui::create (write, controller, widget, features);
    }
    catch (...)
    {
        return nullptr;
    }
}

void cleanupUi (LV2UI_Handle h) { delete ui (h); }

void portEvent (LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    try
    {
        ui (h)->portEvent (port, size, format, buffer);
    }
    catch (...)
    {
    }
}

int idle (LV2UI_Handle h)
{
    try
    {
        ui (h)->idle();
    }
    catch (...)
    {
    }
    return 0; // the window stays until the host closes it
}

// The host resizing our window, through the UI's own ui:resize.
int resizeUi (LV2UI_Feature_Handle h, int width, int height)
{
    try
    {
        return ui (h)->hostResized (width, height);
    }
    catch (...)
    {
        return 1;
    }
}

const void* uiExtensionData (const char* uri)
{
    static const LV2UI_Idle_Interface idleInterface { &idle };
    static const LV2UI_Resize resizeInterface { nullptr, &resizeUi };
    if (std::strcmp (uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    return std::strcmp (uri, LV2_UI__resize) == 0 ? &resizeInterface : nullptr;
}

const LV2UI_Descriptor uiDescriptor { tarnwell::lv2::uiUri, &instantiateUi, &cleanupUi, &portEvent, &uiExtensionData };
} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    return index == 0 ? &pluginDescriptor : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    return index == 0 ? &uiDescriptor : nullptr;
}
