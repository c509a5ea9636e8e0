#include "host/clap/ClapEditor.h"

#include "editor/TarnwellEditor.h"
#include "host/clap/ClapExtensionsAbi.h"
#include "host/clap/ClapPlugin.h"

#include <limits>

namespace tarnwell
{
namespace
{
// The host's answer to a drag of the editor's corner; request_resize may be called from any
// thread. Without the host's gui extension the editor keeps its size.
EditorHost::UserResized askHostToFit (const ClapPlugin& plugin)
{
    const auto* gui = static_cast<const clap::HostGui*> (plugin.hostExtension (clap::extension::gui));
    if (gui == nullptr || gui->requestResize == nullptr)
        return {};
    const auto* clapHost = plugin.host();
    return [gui, clapHost] (int width, int height) {
        gui->requestResize (clapHost, static_cast<std::uint32_t> (width), static_cast<std::uint32_t> (height));
    };
}

bool fitsInt (std::uint32_t value) noexcept
{
    return value <= static_cast<std::uint32_t> (std::numeric_limits<int>::max());
}
} // namespace

ClapEditor::ClapEditor (ClapPlugin& plugin)
    : messageThreadUser (messageThreadFor (plugin)), hostEvents (plugin), model (plugin),
      host ([this] { return std::make_unique<TarnwellEditor> (model); }, askHostToFit (plugin))
{}

SharedMessageThread::User ClapEditor::messageThreadFor (const ClapPlugin& plugin)
{
    if (ClapHostEvents::offeredBy (plugin))
        return SharedMessageThread::User (SharedMessageThread::User::OnCallingThread {});
    return SharedMessageThread::User();
}

ClapEditor::~ClapEditor()
{
    host.close();
}

const char* ClapEditor::windowApi() noexcept
{
#ifdef _WIN32
    return clap::windowApiWin32;
#else
    return clap::windowApiX11;
#endif
}

bool ClapEditor::size (std::uint32_t& width, std::uint32_t& height)
{
    const auto known = host.size();
    if (! known)
        return false;
    width = static_cast<std::uint32_t> (known->width);
    height = static_cast<std::uint32_t> (known->height);
    return true;
}

bool ClapEditor::adjustSize (std::uint32_t& width, std::uint32_t& height)
{
    int w = fitsInt (width) ? static_cast<int> (width) : std::numeric_limits<int>::max();
    int h = fitsInt (height) ? static_cast<int> (height) : std::numeric_limits<int>::max();
    if (! host.adjustSize (w, h))
        return false;
    width = static_cast<std::uint32_t> (w);
    height = static_cast<std::uint32_t> (h);
    return true;
}

bool ClapEditor::setSize (std::uint32_t width, std::uint32_t height)
{
    auto w = width, h = height;
    if (! adjustSize (w, h) || w != width || h != height)
        return false;
    int sw = static_cast<int> (w), sh = static_cast<int> (h);
    return host.setSize (sw, sh);
}

bool ClapEditor::setScale (double scale, bool& resized)
{
    return scale > 0 && host.setHostScale (static_cast<float> (scale), resized);
}
} // namespace tarnwell
