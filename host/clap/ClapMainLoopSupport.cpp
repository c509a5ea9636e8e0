// The posix-fd-support and timer-support extensions: the host's main loop found one of the
// editor's descriptors ready, or the editor's timer due (ClapHostEvents registered them).

#include "host/clap/ClapEditor.h"
#include "host/clap/ClapExtensions.h"
#include "host/clap/ClapPlugin.h"

namespace tarnwell::clapExtensions
{
namespace
{
template <typename Call>
void toEditor (const clap::Plugin* p, Call&& call) noexcept
{
    auto* self = ClapPlugin::from (p);
    if (self == nullptr || self->editor == nullptr)
        return;
    try
    {
        call (*self->editor);
    }
    catch (...)
    {}
}

// [main-thread] (both)
void TARNWELL_CLAP_CALL onFd (const clap::Plugin* p, int fd, std::uint32_t)
{
    toEditor (p, [fd] (ClapEditor& editor) { editor.onFd (fd); });
}

void TARNWELL_CLAP_CALL onTimer (const clap::Plugin* p, clap::Id id)
{
    toEditor (p, [id] (ClapEditor& editor) { editor.onTimer (id); });
}
} // namespace

const clap::PluginPosixFdSupport posixFdSupport { &onFd };
const clap::PluginTimerSupport timerSupport { &onTimer };
} // namespace tarnwell::clapExtensions
