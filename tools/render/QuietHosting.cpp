#include "tools/render/QuietHosting.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwell::render
{
SilencedStdout::SilencedStdout (bool active)
{
    if (! active)
        return;
    std::fflush (stdout);
    const int null = open ("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    saved = dup (STDOUT_FILENO);
    if (saved >= 0)
        dup2 (null, STDOUT_FILENO);
    close (null);
}

SilencedStdout::~SilencedStdout()
{
    if (saved < 0)
        return;
    std::fflush (stdout);
    dup2 (saved, STDOUT_FILENO);
    close (saved);
}
} // namespace tarnwell::render
