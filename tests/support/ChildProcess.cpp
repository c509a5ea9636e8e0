#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tarnwell::test
{
ChildProcess::ChildProcess (const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
                            const std::string& logFileToUse)
    : logFile (logFileToUse)
{
    std::vector<std::string> environment (extraEnvironment);
    for (char** entry = environ; *entry != nullptr; ++entry)
    {
        const std::string variable (*entry);
        const auto name = variable.substr (0, variable.find ('=') + 1);
        bool overridden = false;
        for (const auto& extra : extraEnvironment)
            overridden = overridden || extra.compare (0, name.size(), name) == 0;
        if (! overridden)
            environment.push_back (variable);
    }

    std::vector<char*> argv, envp;
    for (const auto& argument : arguments)
        argv.push_back (const_cast<char*> (argument.c_str()));
    argv.push_back (nullptr);
    for (const auto& variable : environment)
        envp.push_back (const_cast<char*> (variable.c_str()));
    envp.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2 (&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawnp (&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy (&actions);
}

ChildProcess::~ChildProcess()
{
    if (running())
    {
        kill (pid, SIGKILL);
        waitForExit (std::chrono::seconds (10));
    }
}

bool ChildProcess::running()
{
    return started() && ! waitForExit (std::chrono::milliseconds (0)).has_value();
}

void ChildProcess::signal (int signalNumber)
{
    if (running())
        kill (pid, signalNumber);
}

std::optional<int> ChildProcess::waitForExit (std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (started() && ! status)
    {
        int result = 0;
        if (waitpid (pid, &result, WNOHANG) == pid)
            status = result;
        else if (std::chrono::steady_clock::now() >= deadline)
            break;
        else
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
    }
    return status;
}

std::string ChildProcess::log() const
{
    std::ifstream in (logFile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace tarnwell::test
