// Programs started and stopped by process id, with their output in a log;
// bounded waits for a condition or a program's end.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace support {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll = Millis(5));

// Creates the folder (and its parents) as needed and returns its path.
std::string EnsureDir(const std::string& path);

class Process {
public:
    // Starts argv[0] (searched on PATH) with the current environment plus `env`;
    // stdout and stderr are appended to `logPath`. It gets a process group of its
    // own, and SIGTERM when the process that started it ends.
    static Process Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                         const std::string& logPath);
    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();  // kills the process if it still runs

    pid_t pid() const { return pid_; }
    bool Running();
    // Exit code once ended within `timeout`; nothing if it still runs (or died by a signal).
    std::optional<int> WaitExit(Millis timeout);
    void Kill();
    // SIGTERM, then SIGKILL if it has not ended within `grace`: an X server
    // told to end removes its socket and lock file, a killed one leaves them.
    void Stop(Millis grace);

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    bool Reap(bool block);
};

struct ToolResult {
    int exitCode = -1;  // -1: it did not end in time, or died by a signal
    std::string output;
};
// Runs a program to its end (bounded) with `env` added; stdout and stderr together.
ToolResult RunTool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   Millis timeout, const std::string& logPath);
// Ids of running processes whose executable is `path`.
std::vector<int> ProcessesOf(const std::string& path);

}  // namespace support
