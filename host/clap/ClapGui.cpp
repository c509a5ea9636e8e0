// The gui extension: the editor embedded in the host's window, never floating.

#include "editor/EditorSize.h"
#include "host/clap/ClapEditor.h"
#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapPlugin.h"

#include <cstring>

namespace tarnwell::clapExtensions
{
namespace
{
bool supported (const char* api, bool isFloating)
{
    return api != nullptr && ! isFloating && std::strcmp (api, ClapEditor::windowApi()) == 0;
}

template <typename Call>
bool guarded (Call&& call) noexcept
{
    try
    {
        return call();
    }
    catch (...)
    {
        return false;
    }
}

// Every call below: [main-thread]
bool TARNWELL_CLAP_CALL isApiSupported (const clap::Plugin*, const char* api, bool isFloating)
{
    return supported (api, isFloating);
}

bool TARNWELL_CLAP_CALL preferredApi (const clap::Plugin*, const char** api, bool* isFloating)
{
    if (api != nullptr)
        *api = ClapEditor::windowApi();
    if (isFloating != nullptr)
        *isFloating = false;
    return true;
}

bool TARNWELL_CLAP_CALL create (const clap::Plugin* p, const char* api, bool isFloating)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && supported (api, isFloating) && guarded ([self] {
               if (self->editor == nullptr)
                   self->editor = std::make_unique<ClapEditor> (*self);
               return true;
           });
}

void TARNWELL_CLAP_CALL destroy (const clap::Plugin* p)
{
    if (auto* self = ClapPlugin::from (p))
        guarded ([self] {
            self->editor.reset();
            return true;
        });
}

// The host's scale for this editor and every later one; a resized open editor asks the host
// to fit it.
bool TARNWELL_CLAP_CALL setScale (const clap::Plugin* p, double scale)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && self->editor != nullptr && guarded ([self, scale] {
               bool resized = false;
               if (! self->editor->setScale (scale, resized))
                   return false;
               std::uint32_t w = 0, h = 0;
               const auto* gui = static_cast<const clap::HostGui*> (self->hostExtension (clap::extension::gui));
               if (resized && gui != nullptr && gui->requestResize != nullptr && self->editor->size (w, h))
                   gui->requestResize (self->host(), w, h);
               return true;
           });
}

bool TARNWELL_CLAP_CALL getSize (const clap::Plugin* p, std::uint32_t* width, std::uint32_t* height)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && self->editor != nullptr && width != nullptr && height != nullptr
        && guarded ([&] { return self->editor->size (*width, *height); });
}

// From 100 % to 300 % of its size at the scale, its shape kept.
bool TARNWELL_CLAP_CALL canResize (const clap::Plugin*)
{
    return true;
}

bool TARNWELL_CLAP_CALL resizeHints (const clap::Plugin*, clap::GuiResizeHints* hints)
{
    if (hints == nullptr)
        return false;
    *hints = { true, true, true, static_cast<std::uint32_t> (EditorSize::baseWidth),
               static_cast<std::uint32_t> (EditorSize::baseHeight) };
    return true;
}

bool TARNWELL_CLAP_CALL adjustSize (const clap::Plugin* p, std::uint32_t* width, std::uint32_t* height)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && self->editor != nullptr && width != nullptr && height != nullptr
        && guarded ([&] { return self->editor->adjustSize (*width, *height); });
}

// Only a size adjust_size would give; the editor and later ones take it.
bool TARNWELL_CLAP_CALL setSize (const clap::Plugin* p, std::uint32_t width, std::uint32_t height)
{
    auto* self = ClapPlugin::from (p);
    return self != nullptr && self->editor != nullptr
        && guarded ([&] { return self->editor->setSize (width, height); });
}

bool TARNWELL_CLAP_CALL setParent (const clap::Plugin* p, const clap::Window* window)
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr || self->editor == nullptr || window == nullptr || ! supported (window->api, false))
        return false;
#ifdef _WIN32
    void* native = window->win32;
#else
    void* native = reinterpret_cast<void*> (static_cast<std::uintptr_t> (window->x11));
#endif
    return guarded ([&] { return self->editor->setParent (native); });
}

bool TARNWELL_CLAP_CALL setTransient (const clap::Plugin*, const clap::Window*)
{
    return false;
}
void TARNWELL_CLAP_CALL suggestTitle (const clap::Plugin*, const char*) {}

// The embedded editor shows and hides with the host's window.
bool TARNWELL_CLAP_CALL show (const clap::Plugin* p)
{
    const auto* self = ClapPlugin::from (p);
    return self != nullptr && self->editor != nullptr;
}
bool TARNWELL_CLAP_CALL hide (const clap::Plugin* p)
{
    return show (p);
}
} // namespace

const clap::PluginGui gui { &isApiSupported, &preferredApi, &create,       &destroy,    &setScale,
                            &getSize,        &canResize,    &resizeHints,  &adjustSize, &setSize,
                            &setParent,      &setTransient, &suggestTitle, &show,       &hide };

} // namespace tarnwell::clapExtensions
