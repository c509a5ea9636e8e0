#include "host/lv2/Lv2Ui.h"

#include "editor/TarnwellEditor.h"
#include "host/lv2/Lv2Ports.h"

#include <cstring>
#include <utility>

namespace tarnwell::lv2
{
namespace
{
const void* featureData (const LV2_Feature* const* features, const char* uri)
{
    for (auto f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}
} // namespace

Lv2Ui* Lv2Ui::create (LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                      const LV2_Feature* const* features)
{
    auto* parent = const_cast<void*> (featureData (features, LV2_UI__parent));
    if (parent == nullptr || write == nullptr || widget == nullptr)
        return nullptr;

    auto ui = std::make_unique<Lv2Ui> (write, controller,
                                       static_cast<const LV2UI_Touch*> (featureData (features, LV2_UI__touch)));
    const auto* resize = static_cast<const LV2UI_Resize*> (featureData (features, LV2_UI__resize));
    return ui->open (parent, hostScaleFactor (features), resize, widget) ? ui.release() : nullptr;
}

Lv2Ui::Lv2Ui (LV2UI_Write_Function writeFunction, LV2UI_Controller hostController, const LV2UI_Touch* hostTouch)
    : write (writeFunction), controller (hostController),
      touch (hostTouch != nullptr ? *hostTouch : LV2UI_Touch { nullptr, nullptr }),
      // A drag of the editor's corner is passed on from the next idle, on the host's thread.
      editor ([this] { return std::make_unique<TarnwellEditor> (model); }, [this] (int, int) { userResized = true; })
{}

Lv2Ui::~Lv2Ui()
{
    editor.close();
}

bool Lv2Ui::open (void* parentWindow, float hostScale, const LV2UI_Resize* resize, LV2UI_Widget* widget)
{
    bool openEditorResized = false; // none is open yet
    if (hostScale > 0.0f) // else the desktop's
        editor.setHostScale (hostScale, openEditorResized);
    if (! editor.open (parentWindow))
        return false;
    const auto size = editor.size();
    if (! size)
        return false;

    *widget = editor.nativeWindow();
    if (*widget != nullptr)
        gtkHostSize = GtkHostSize::start (*widget, size->width, size->height, GtkHostSize::gtkScaleOf (parentWindow));
    if (resize != nullptr)
        hostResize = *resize;
    tellHostSize();
    return *widget != nullptr;
}

std::pair<int, int> Lv2Ui::sizeForHost()
{
    const auto size = editor.size();
    if (! size)
        return { 0, 0 };
    if (gtkHostSize == nullptr)
        return { size->width, size->height };
    gtkHostSize->setDeviceSize (size->width, size->height);
    return gtkHostSize->hostSize();
}

void Lv2Ui::tellHostSize()
{
    const auto size = sizeForHost();
    if (hostResize.ui_resize != nullptr && size.first > 0)
        hostResize.ui_resize (hostResize.handle, size.first, size.second);
}

int Lv2Ui::hostResized (int width, int height)
{
    // In a GTK 3 host the numbers are logical pixels; the editor counts device pixels.
    const int scale = gtkHostSize != nullptr ? gtkHostSize->scale() : 1;
    if (width <= 0 || height <= 0)
        return 1;
    const auto current = editor.size();
    if (! current)
        return 1;

    // The size we have, in the host's units (GTK rounds it up to whole logical pixels): nothing
    // to do. Taking it as a new size would grow the editor by a pixel each time round.
    const int currentWidth = current->width, currentHeight = current->height;
    if ((width - 1) * scale < currentWidth && currentWidth <= width * scale && (height - 1) * scale < currentHeight
        && currentHeight <= height * scale)
        return 0;

    int w = width * scale, h = height * scale;
    if (! editor.setSize (w, h))
        return 1;
    const auto told = sizeForHost();
    if (told != std::make_pair (width, height))
        tellHostSize();
    return 0;
}

void Lv2Ui::portEvent (std::uint32_t port, std::uint32_t bufferSize, std::uint32_t format, const void* buffer)
{
    // Only plain float values of the parameter ports mean anything to the editor.
    if (format != 0 || bufferSize != sizeof (float) || buffer == nullptr || ! isParameterPort (port))
        return;

    float value;
    std::memcpy (&value, buffer, sizeof (float));
    model.show (parameterOf (port), normalisedOfPort (parameterOf (port), value));
}

void Lv2Ui::idle()
{
    if (userResized.exchange (false))
        tellHostSize();
    if (gtkHostSize != nullptr)
        gtkHostSize->idle ([this] {
            const auto size = editor.size();
            return size ? std::make_pair (size->width, size->height) : std::make_pair (0, 0);
        });
    model.changes().drain ([this] (const Lv2UiEvents::Event& e) {
        const auto port = portOf (e.parameter);
        switch (e.kind)
        {
            case Lv2UiEvents::Event::beginGesture:
            case Lv2UiEvents::Event::endGesture:
                if (touch.touch != nullptr)
                    touch.touch (touch.handle, port, e.kind == Lv2UiEvents::Event::beginGesture);
                break;
            case Lv2UiEvents::Event::value:
            {
                const float value = portValueOf (e.parameter, e.newValue);
                write (controller, port, sizeof (float), 0, &value);
                break;
            }
        }
    });
}
} // namespace tarnwell::lv2
