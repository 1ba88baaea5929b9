#include "processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "files.h"

extern char** environ;

namespace support {

bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll)
{
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(poll);
    }
}

std::string EnsureDir(const std::string& path)
{
    std::filesystem::create_directories(path);
    return path;
}

Process Process::Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                       const std::string& logPath)
{
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq != nullptr) merged[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
    }
    for (const auto& [k, v] : env) merged[k] = v;
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : merged) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (auto& s : argCopy) args.push_back(s.data());
    args.push_back(nullptr);

    // The log is opened here, where an error can still be reported; the child
    // only duplicates it (between fork and exec nothing but system calls).
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = getpid();
    Process p;
    p.pid_ = log < 0 || nothing < 0 ? -1 : fork();
    if (p.pid_ == 0) {
        // Its own process group, so that a stop reaches what it started and
        // nothing else; and it ends with the suite, whatever ends the suite
        // (a time limit's SIGKILL included): an X server told by SIGTERM
        // removes its socket and lock file.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        dup2(nothing, 0);
        dup2(log, 1);
        dup2(log, 2);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    if (log >= 0) close(log);
    if (nothing >= 0) close(nothing);
    if (p.pid_ < 0) p.exited_ = true;
    return p;
}

Process::Process(Process&& other) noexcept { *this = std::move(other); }

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Kill();
        pid_ = other.pid_;
        exited_ = other.exited_;
        status_ = other.status_;
        other.pid_ = -1;
        other.exited_ = true;
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::Reap(bool block)
{
    if (exited_ || pid_ <= 0) return true;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (r == pid_) {
        exited_ = true;
        status_ = status;
        return true;
    }
    if (r < 0) exited_ = true;
    return exited_;
}

bool Process::Running() { return !Reap(false); }

std::optional<int> Process::WaitExit(Millis timeout)
{
    if (!WaitUntil([this] { return Reap(false); }, timeout, Millis(10))) return std::nullopt;
    if (pid_ <= 0 || !WIFEXITED(status_)) return std::nullopt;
    return WEXITSTATUS(status_);
}

void Process::Kill()
{
    if (exited_ || pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    Reap(true);
}

void Process::Stop(Millis grace)
{
    if (exited_ || pid_ <= 0) return;
    kill(pid_, SIGTERM);
    WaitUntil([this] { return Reap(false); }, grace, Millis(10));
    Kill();
}

ToolResult RunTool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   Millis timeout, const std::string& logPath)
{
    WriteWholeFile(logPath, "");
    Process process = Process::Start(argv, env, logPath);
    ToolResult result;
    result.exitCode = process.WaitExit(timeout).value_or(-1);
    process.Kill();
    result.output = ReadWholeFile(logPath);
    return result;
}

std::vector<int> ProcessesOf(const std::string& path)
{
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        char target[PATH_MAX];
        const std::string link = "/proc/" + std::string(entry->d_name) + "/exe";
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (path == target) found.push_back(pid);
    }
    closedir(proc);
    return found;
}

}  // namespace support
