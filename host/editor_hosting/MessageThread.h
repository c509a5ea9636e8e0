#pragma once

#include <utility>

namespace tarnwell
{
// JUCE's message thread for all instances in the library. On Linux a host's GUI thread is no
// JUCE message thread, and a host need not call effEditIdle, so a thread of ours runs the editor
// (MessageThreadLinux.cpp), from the first call made on it (an editor wanted) to the last
// instance's close (unless a CLAP host runs the editor's events from its own main loop, whose
// thread then is the message thread: User (OnCallingThread)); on Windows the host's GUI thread
// is the message thread (MessageThreadWindows.cpp), from the first instance's creation to the
// last one's close.
//
// Thread marks as in processor/InstanceCore.h, plus [message-thread]: this thread, on which the
// editor and everything of JUCE's GUI lives. Users are a reference count: the first starts
// what the last one stops.
class SharedMessageThread
{
public:
    // [main-thread]
    // Held by each instance: the last one's close stops (and on Linux joins) what was started,
    // so after it nothing of ours keeps running. Safe from any thread on Linux; on Windows from
    // the host's GUI thread.
    class User
    {
    public:
        User();
        // For a host that runs the editor's events on its own GUI thread (CLAP's fd or timer
        // support): when no message thread runs yet, the calling thread becomes it until the
        // last user goes, which must then happen on this thread too. Otherwise as User().
        struct OnCallingThread
        {};
        explicit User (OnCallingThread);
        ~User();
        User (const User&) = delete;
        User& operator= (const User&) = delete;
    };

    // [thread-safe] Whether the calling thread is the message thread now.
    static bool isCallingThread();

    // [main-thread] (never the audio thread: it waits) Runs fn on the message thread and waits
    // for it; runs it at once if already there.
    // Only while a User is alive. On Linux the first call starts the thread, unless a host's
    // thread is the message thread.
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
