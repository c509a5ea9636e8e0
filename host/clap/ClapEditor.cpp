#include "host/clap/ClapEditor.h"

#include "editor/TarnwellEditor.h"
#include "host/clap/ClapExtensionsAbi.h"

namespace tarnwell
{
ClapEditor::ClapEditor (ClapPlugin& plugin)
    : messageThreadUser (messageThreadFor (plugin)),
      hostEvents (plugin),
      model (plugin),
      host ([this] { return std::make_unique<TarnwellEditor> (model); })
{
}

SharedMessageThread::User ClapEditor::messageThreadFor (const ClapPlugin& plugin)
{
    if (ClapHostEvents::offeredBy (plugin))
        return SharedMessageThread::User (SharedMessageThread::User::OnCallingThread {});
    return SharedMessageThread::User();
}

ClapEditor::~ClapEditor() { host.close(); }

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
    ERect* rect = nullptr;
    if (! host.getRect (&rect) || rect == nullptr)
        return false;
    width = static_cast<std::uint32_t> (rect->right - rect->left);
    height = static_cast<std::uint32_t> (rect->bottom - rect->top);
    return true;
}

bool ClapEditor::setScale (double scale, bool& resized)
{
    return scale > 0 && host.setHostScale (static_cast<float> (scale), resized);
}
} // namespace tarnwell
