#include "tools/render/QuietHosting.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwell::render
{
SilencedStream::SilencedStream (int stream, bool active) : fd (stream)
{
    if (! active)
        return;
    std::fflush (nullptr);
    const int null = open ("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    saved = dup (fd);
    if (saved >= 0)
        dup2 (null, fd);
    close (null);
}

SilencedStream::~SilencedStream()
{
    if (saved < 0)
        return;
    std::fflush (nullptr);
    dup2 (saved, fd);
    close (saved);
}

SilencedStdout::SilencedStdout (bool active) : SilencedStream (STDOUT_FILENO, active) {}

SilencedStderr::SilencedStderr (bool active) : SilencedStream (STDERR_FILENO, active) {}
} // namespace tarnwell::render
