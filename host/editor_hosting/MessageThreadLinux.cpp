#include "host/editor_hosting/MessageThread.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace juce
{
// JUCE's Linux event loop: dispatches one message or window event, waiting for one if asked.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace tarnwell
{
namespace
{
// JUCE from start to end on one thread of ours: it makes the message manager (and, once a
// window is wanted, the X connection), runs the loop, and deletes all of it again before
// it ends. Whoever stops the loop joins the thread, so nothing JUCE's loop uses is freed
// while the loop may still touch it.
class MessageLoop
{
public:
    MessageLoop() : thread ([this] { run(); })
    {
        // Until the thread has claimed the message manager, calls would land nowhere.
        std::unique_lock lock (stateLock);
        changed.wait (lock, [this] { return claimed; });
    }

    ~MessageLoop()
    {
        juce::MessageManager::getInstance()->callFunctionOnMessageThread (
            [] (void* loop) -> void* {
                static_cast<MessageLoop*> (loop)->stopping = true;
                return nullptr;
            },
            this);
        // JUCE's post relocks the queue after the message may already have run: only once
        // that call has returned may the loop delete the queue.
        {
            const std::lock_guard lock (stateLock);
            posted = true;
        }
        changed.notify_one();
        thread.join();
    }

private:
    void run()
    {
        juce::initialiseJuce_GUI();
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        {
            const std::lock_guard lock (stateLock);
            claimed = true;
        }
        changed.notify_one();

        while (! stopping)
            juce::dispatchNextMessageOnSystemQueue (false);

        {
            std::unique_lock lock (stateLock);
            changed.wait (lock, [this] { return posted; });
        }
        // Windows, timers and the X connection belong to this thread: they go here.
        juce::shutdownJuce_GUI();
    }

    std::mutex stateLock;
    std::condition_variable changed;
    bool claimed = false; // under stateLock: the thread is JUCE's message thread
    bool posted = false; // under stateLock: the stop request is out of JUCE's queue code
    bool stopping = false; // message thread only
    std::thread thread; // last: it starts once the members above exist
};

std::mutex usersLock;
int users = 0; // under usersLock
MessageLoop* loop = nullptr; // under usersLock
bool hostThread = false; // under usersLock: a host's thread is the message thread
// Deliberately no static destructor: a process that exits with instances still open must
// not try to stop the thread from an exit handler, perhaps on that very thread.
} // namespace

SharedMessageThread::User::User()
{
    const std::lock_guard guard (usersLock);
    ++users;
}

// JUCE set up on the host's thread, with no thread or loop of ours: the host wakes it through
// the file descriptors JUCE's event loop lists.
SharedMessageThread::User::User (OnCallingThread)
{
    const std::lock_guard guard (usersLock);
    if (users++ == 0 && loop == nullptr && ! hostThread)
    {
        juce::initialiseJuce_GUI();
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        hostThread = true;
    }
}

SharedMessageThread::User::~User()
{
    const std::lock_guard guard (usersLock);
    if (--users != 0)
        return;
    if (std::exchange (hostThread, false))
        juce::shutdownJuce_GUI(); // on the thread that set it up, as the host calls it
    else
        delete std::exchange (loop, nullptr);
}

bool SharedMessageThread::isCallingThread()
{
    return juce::MessageManager::existsAndIsCurrentThread();
}

void SharedMessageThread::callFunction (void* (*function) (void*), void* userData)
{
    {
        // Started by the first call, not the first instance: a host that never opens an editor
        // gets no thread, no display connection and no GUI work from us.
        const std::lock_guard guard (usersLock);
        if (loop == nullptr && ! hostThread)
            loop = new MessageLoop();
    }
    // No lock held: a User (the caller's) keeps the loop alive until this returns.
    juce::MessageManager::getInstance()->callFunctionOnMessageThread (function, userData);
}
} // namespace tarnwell
