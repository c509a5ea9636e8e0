#include "host/editor_hosting/MessageThread.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <windows.h>

#include <mutex>

// On Windows a VST host creates and drives its plug-ins' windows from its own GUI thread, which
// runs a message loop: that thread becomes JUCE's message thread, as in JUCE's own wrapper.
// No thread of ours runs.
namespace tarnwell
{
namespace
{
std::mutex usersLock;
int users = 0;

// JUCE registers its window classes with this handle: the DLL's, not the host's program's.
void* thisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW (GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                        reinterpret_cast<LPCWSTR> (&users), &module);
    return module;
}
} // namespace

SharedMessageThread::User::User()
{
    const std::lock_guard guard (usersLock);
    if (users++ == 0)
    {
        juce::Process::setCurrentModuleInstanceHandle (thisModule());
        juce::initialiseJuce_GUI();
    }
}

// The host's GUI thread is the message thread anyway.
SharedMessageThread::User::User (OnCallingThread) : User() {}

bool SharedMessageThread::isCallingThread()
{
    return juce::MessageManager::existsAndIsCurrentThread();
}

SharedMessageThread::User::~User()
{
    const std::lock_guard guard (usersLock);
    if (--users == 0)
        juce::shutdownJuce_GUI();
}

void SharedMessageThread::callFunction (void* (*function) (void*), void* userData)
{
    // At once on the host's GUI thread; from any other thread, when that thread next pumps.
    juce::MessageManager::getInstance()->callFunctionOnMessageThread (function, userData);
}
} // namespace tarnwell
