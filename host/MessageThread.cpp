#include "host/MessageThread.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <mutex>

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
    std::unique_ptr<MessageLoop> loop;
} // namespace

SharedMessageThread::User::User()
{
    const std::lock_guard guard (usersLock);
    if (users++ == 0)
    {
        juce::initialiseJuce_GUI();
        loop = std::make_unique<MessageLoop>();
    }
}

SharedMessageThread::User::~User()
{
    const std::lock_guard guard (usersLock);
    if (--users == 0)
    {
        loop.reset();
        juce::shutdownJuce_GUI();
    }
}

void SharedMessageThread::callFunction (void* (*function) (void*), void* userData)
{
    juce::MessageManager::getInstance()->callFunctionOnMessageThread (function, userData);
}
} // namespace tarnwell
