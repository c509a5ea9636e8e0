#include "host/clap/ClapEditorEvents.h"

namespace tarnwell
{
void ClapEditorEvents::sendTo (const clap::OutputEvents* out) noexcept
{
    auto head = read.load (std::memory_order_relaxed);
    const auto tail = written.load (std::memory_order_acquire);
    for (; head != tail; ++head)
    {
        const auto& e = ring[head % ring.size()];
        if (out == nullptr || out->tryPush == nullptr)
            continue; // nobody to tell: dropped, as the host reads the values back anyway

        if (e.kind == Kind::value)
        {
            clap::ParamValueEvent event {};
            event.header = { sizeof (event), 0, clap::coreEventSpace, clap::eventParamValue, 0 };
            event.paramId = static_cast<clap::Id> (e.index);
            event.noteId = -1;
            event.portIndex = event.channel = event.key = -1;
            event.value = e.value;
            out->tryPush (out, &event.header);
        }
        else
        {
            clap::ParamGestureEvent event {};
            const auto type = e.kind == Kind::gestureBegin ? clap::eventParamGestureBegin : clap::eventParamGestureEnd;
            event.header = { sizeof (event), 0, clap::coreEventSpace, type, 0 };
            event.paramId = static_cast<clap::Id> (e.index);
            out->tryPush (out, &event.header);
        }
    }
    read.store (head, std::memory_order_release);
}
} // namespace tarnwell
