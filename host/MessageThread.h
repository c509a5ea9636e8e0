#pragma once

#include <utility>

namespace tarnwell
{
// One JUCE message thread for all instances in the library, running from the first instance's
// creation to the last one's close. A host's GUI thread is no JUCE message thread, and a host
// need not call effEditIdle, so the editor lives on this thread instead.
class SharedMessageThread
{
public:
    // Held by each instance: the first starts JUCE and the thread, the last stops both, so
    // after the last close nothing of ours keeps running. Safe from any thread.
    class User
    {
    public:
        User();
        ~User();
        User (const User&) = delete;
        User& operator= (const User&) = delete;
    };

    // Runs fn on the message thread and waits for it; runs it at once if already there.
    // Only while a User is alive.
    template <typename Fn>
    static void call (Fn&& fn)
    {
        callFunction (&trampoline<std::remove_reference_t<Fn>>, &fn);
    }

private:
    template <typename Fn>
    static void* trampoline (void* fn)
    {
        (*static_cast<Fn*> (fn))();
        return nullptr;
    }

    static void callFunction (void* (*function) (void*), void* userData);
};
} // namespace tarnwell
