#include "host/MessageThread.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <mutex>
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
    class MessageLoop final : public juce::Thread
    {
    public:
        MessageLoop() : juce::Thread ("Tarnwell message thread")
        {
            startThread();
            // Until the thread has claimed the message manager, calls would land nowhere.
            claimed.wait (-1);
        }

        ~MessageLoop() override
        {
            // Objects JUCE deletes at shutdown (windows, the X connection, timers) belong to
            // this thread: let them go here, not on whichever host thread closes last.
            juce::MessageManager::getInstance()->callFunctionOnMessageThread (
                [] (void*) -> void* { juce::DeletedAtShutdown::deleteAll(); return nullptr; }, nullptr);

            signalThreadShouldExit();
            juce::MessageManager::callAsync ([] {}); // wakes the waiting loop
            stopThread (-1);
        }

    private:
        void run() override
        {
            juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
            claimed.signal();

            while (! threadShouldExit())
                juce::dispatchNextMessageOnSystemQueue (false);
        }

        juce::WaitableEvent claimed;
    };

    std::mutex usersLock;
    int users = 0;
    // Deliberately no static destructor: a process that exits with instances still open must
    // not try to stop the thread from an exit handler, perhaps on that very thread.
    MessageLoop* loop = nullptr;
} // namespace

SharedMessageThread::User::User()
{
    const std::lock_guard guard (usersLock);
    if (users++ == 0)
    {
        juce::initialiseJuce_GUI();
        loop = new MessageLoop();
    }
}

SharedMessageThread::User::~User()
{
    const std::lock_guard guard (usersLock);
    if (--users == 0)
    {
        delete std::exchange (loop, nullptr);
        juce::shutdownJuce_GUI();
    }
}

void SharedMessageThread::callFunction (void* (*function) (void*), void* userData)
{
    juce::MessageManager::getInstance()->callFunctionOnMessageThread (function, userData);
}
} // namespace tarnwell
