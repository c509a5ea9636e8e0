#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarnwell::test
{
// A program the test starts and stops by its process id (found in PATH unless named with a
// path), with extra environment variables and its output in a log file (shown when a test
// fails).
class ChildProcess
{
public:
    ChildProcess (const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
                  const std::string& logFile);
    ~ChildProcess(); // SIGKILL if still running: nothing outlives the test

    ChildProcess (const ChildProcess&) = delete;
    ChildProcess& operator= (const ChildProcess&) = delete;

    bool started() const { return pid > 0; }
    pid_t id() const { return pid; }
    bool running();
    void signal (int signalNumber);

    // The exit status (as waitpid gives it), or nothing if it still runs after `timeout`.
    std::optional<int> waitForExit (std::chrono::milliseconds timeout);

    std::string log() const;

private:
    pid_t pid = -1;
    std::optional<int> status;
    std::string logFile;
};
} // namespace tarnwell::test
