// The UI's LV2 entry point, its descriptor: the UI binary's only exported symbol. No exception
// crosses into the host. Every call is [main-thread], the host's UI thread, as Lv2Ui says.

#include "host/lv2/Lv2Identity.h"
#include "host/lv2/Lv2Ui.h"

#include <cstring>

namespace
{
using tarnwell::lv2::Lv2Ui;

Lv2Ui* ui (LV2UI_Handle h)
{
    return static_cast<Lv2Ui*> (h);
}

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

void cleanupUi (LV2UI_Handle h)
{
    delete ui (h);
}

void portEvent (LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    try
    {
        ui (h)->portEvent (port, size, format, buffer);
    }
    catch (...)
    {}
}

int idle (LV2UI_Handle h)
{
    try
    {
        ui (h)->idle();
    }
    catch (...)
    {}
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

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    return index == 0 ? &uiDescriptor : nullptr;
}
