#include "tools/render/OutputFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwell::render
{
namespace
{
// The hidden files open now, where a signal handler can read them: fixed storage, and a
// flag set only once the path is complete.
struct PendingPath
{
    std::atomic<bool> used { false };
    char path[PATH_MAX] {};
};
std::array<PendingPath, 8> pending;

int claimSlot (const juce::File& file)
{
    const auto path = file.getFullPathName().toStdString();
    if (path.size() >= PATH_MAX)
        return -1;
    for (size_t i = 0; i < pending.size(); ++i)
    {
        auto& p = pending[i];
        if (p.used.load())
            continue;
        std::memcpy (p.path, path.c_str(), path.size() + 1);
        p.used.store (true);
        return static_cast<int> (i);
    }
    return -1;
}

void releaseSlot (int slot)
{
    if (slot >= 0)
        pending[static_cast<size_t> (slot)].used.store (false);
}

extern "C" void removePendingAndDie (int signal)
{
    for (auto& p : pending)
        if (p.used.load())
            ::unlink (p.path);
    // Blocked until this returns, then delivered with its default action.
    struct sigaction fallback
    {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction (signal, &fallback, nullptr);
    ::raise (signal);
}

juce::String reasonFor (int errorNumber)
{
    return juce::String (std::strerror (errorNumber)).toLowerCase();
}
} // namespace

OutputFile::OutputFile (const juce::File& file) : target (file)
{
    const auto folder = target.getParentDirectory();
    if (! folder.isDirectory())
    {
        error =
            "cannot write " + target.getFullPathName() + ": the folder " + folder.getFullPathName() + " does not exist";
        return;
    }

    // Exclusive creation: a name no one else is using, in the target's own folder so that
    // the rename stays on one file system.
    for (int attempt = 0; attempt < 10 && slot < 0; ++attempt)
    {
        temporary =
            folder.getChildFile ("." + target.getFileName() + "."
                                 + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()) + ".part");
        const int fd = ::open (temporary.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            error = "cannot write " + target.getFullPathName() + ": " + reasonFor (errno);
            return;
        }
        ::close (fd);
        slot = claimSlot (temporary);
        if (slot < 0)
        {
            ::unlink (temporary.getFullPathName().toRawUTF8());
            error = "cannot write " + target.getFullPathName() + ": the path is too long";
            return;
        }
    }
    if (slot < 0 && error.isEmpty())
        error = "cannot write " + target.getFullPathName() + ": no free name for a hidden file beside it";
}

OutputFile::~OutputFile()
{
    if (slot < 0)
        return;
    releaseSlot (slot);
    ::unlink (temporary.getFullPathName().toRawUTF8());
}

bool OutputFile::commit()
{
    if (slot < 0)
        return false;
    // rename() replaces a file in one step and refuses to replace a folder.
    if (::rename (temporary.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
    {
        error = "cannot write " + target.getFullPathName() + ": " + reasonFor (errno);
        return false;
    }
    releaseSlot (slot);
    slot = -1;
    return true;
}

juce::String whyNotAnOutput (const juce::File& target, const juce::Array<juce::File>& inputs)
{
    struct stat out
    {};
    if (::stat (target.getFullPathName().toRawUTF8(), &out) != 0)
        return {}; // a new file, or one the open will explain
    if (S_ISDIR (out.st_mode))
        return "cannot write " + target.getFullPathName() + ": it is a folder";
    for (const auto& input : inputs)
    {
        struct stat in
        {};
        if (::stat (input.getFullPathName().toRawUTF8(), &in) == 0 && in.st_dev == out.st_dev
            && in.st_ino == out.st_ino)
            return "cannot write " + target.getFullPathName() + ": it is the input file";
    }
    return {};
}

void removeOutputsWhenInterrupted()
{
    struct sigaction action
    {};
    action.sa_handler = removePendingAndDie;
    sigemptyset (&action.sa_mask);
    // A closed terminal (SIGHUP), a reader that went away (SIGPIPE: `... | head -1`), and a
    // file over the size limit (SIGXFSZ) end the program too.
    constexpr int signals[] = { SIGHUP, SIGINT, SIGTERM, SIGPIPE, SIGXFSZ };
    for (const int signal : signals)
        sigaddset (&action.sa_mask, signal);
    for (const int signal : signals)
    {
        // One the caller ignores stays ignored (nohup; a size limit the write then reports).
        struct sigaction current
        {};
        if (::sigaction (signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        ::sigaction (signal, &action, nullptr);
    }
}
} // namespace tarnwell::render
