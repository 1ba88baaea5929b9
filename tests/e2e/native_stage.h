// What the end-to-end suites of the native Linux programs need: an Xvfb and
// an X session of their own (no Wine), the built programs' paths, screen
// statistics and helpers to run tools and find processes.
#pragma once
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

struct NativeStage {
    Xvfb xvfb;
    XSession x;
    std::string workDir, logDir;
    std::string renderer;  // the built X11 renderer
    bool ready = false;
    std::string failure;
};
NativeStage& TheNativeStage();

// Exposes the native stage as a GoogleTest environment (one Xvfb per test binary).
void RegisterNativeStageEnvironment();

struct Rect {
    int x, y, width, height;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// Lit pixels of a screen grab inside `area`: how many, how many clearly
// coloured (not grey), and where their centre lies.
struct LitPixels {
    long lit = 0, coloured = 0;
    double centreX = 0, centreY = 0;
};
LitPixels CountLit(const std::vector<unsigned char>& rgb, int screenWidth, Rect area);

// Pixels outside `area` that differ from the RGB colour `expected`.
long CountOtherThan(const std::vector<unsigned char>& rgb, int screenWidth, int screenHeight, Rect area,
                    unsigned long expected);
unsigned long PixelAt(const std::vector<unsigned char>& rgb, int screenWidth, int x, int y);

struct ToolResult {
    int exitCode = -1;  // -1: it did not end in time, or died by a signal
    std::string output;
};
// Runs a program to its end (bounded) with `env` added; stdout and stderr together.
ToolResult RunTool(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                   Millis timeout, const std::string& logPath);

// Ids of running processes whose executable is `path`.
std::vector<int> ProcessesOf(const std::string& path);

}  // namespace e2e
