#include "native_stage.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace e2e {

NativeStage& TheNativeStage()
{
    static NativeStage stage;
    return stage;
}

LitPixels CountLit(const std::vector<unsigned char>& rgb, int screenWidth, Rect area)
{
    LitPixels result;
    double sumX = 0, sumY = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * screenWidth + x) * 3];
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            if (hi < 24) continue;
            ++result.lit;
            if (hi - lo > 25) ++result.coloured;
            sumX += x;
            sumY += y;
        }
    }
    if (result.lit > 0) {
        result.centreX = sumX / result.lit;
        result.centreY = sumY / result.lit;
    }
    return result;
}

unsigned long PixelAt(const std::vector<unsigned char>& rgb, int screenWidth, int x, int y)
{
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * screenWidth + x) * 3];
    return (static_cast<unsigned long>(p[0]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[2];
}

long CountOtherThan(const std::vector<unsigned char>& rgb, int screenWidth, int screenHeight, Rect area,
                    unsigned long expected)
{
    long other = 0;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (!area.Contains(x, y) && PixelAt(rgb, screenWidth, x, y) != expected) ++other;
        }
    }
    return other;
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

namespace {

class NativeStageEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        NativeStage& s = TheNativeStage();
        s.workDir = EnsureDir(QV_NATIVE_WORK_DIR);
        s.logDir = EnsureDir(s.workDir + "/logs");
        s.renderer = QV_NATIVE_RENDERER;
        if (!s.xvfb.Start(1024, 768, s.logDir + "/xvfb.log")) {
            s.failure = "Xvfb did not start";
            return;
        }
        if (!s.x.Open(s.xvfb.display())) {
            s.failure = "cannot open " + s.xvfb.display();
            return;
        }
        s.ready = true;
    }

    void TearDown() override
    {
        NativeStage& s = TheNativeStage();
        s.x.Close();
        s.xvfb.Stop();
    }
};

}  // namespace

void RegisterNativeStageEnvironment() { ::testing::AddGlobalTestEnvironment(new NativeStageEnvironment); }

}  // namespace e2e
