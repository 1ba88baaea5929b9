// Wine for the suites: a prefix of their own with a server kept for the
// suite, the loader of an architecture, a HOME whose sound goes into a file,
// Windows paths of Unix files.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "processes.h"

namespace support {

// A Unix path on Wine's drive Z:, as a Windows path.
std::string WindowsPath(const std::string& unixPath);

// A Wine prefix of the suite's own, created on first use, with its server
// kept alive for the suite and ended at the end.
class WinePrefix {
public:
    // The Wine loader of the architecture under test (wine64 or the 32-bit wine).
    void SetLoader(const std::string& loader) { loader_ = loader; }
    // Windows that no window manager manages (Wine's X11 driver then waits
    // for none as a window goes, see docs/platform-notes.md); set by Prepare.
    void SetUnmanagedWindows() { unmanagedWindows_ = true; }
    const std::string& loader() const { return loader_; }
    bool Prepare(const std::string& path, const std::string& display, const std::string& logDir);
    void Shutdown();
    std::map<std::string, std::string> Env() const;
    // HOME of every Wine process of the suite (its ALSA configuration sends the sound into a file).
    void SetSoundHome(const std::string& home) { home_ = home; }
    const std::string& path() const { return path_; }
    std::string DriveC() const { return path_ + "/drive_c"; }
    // Starts a Windows program (and its arguments) under Wine; its output goes to logs/<logName>.
    Process Run(const std::vector<std::string>& args, const std::string& logName,
                const std::map<std::string, std::string>& extraEnv = {}) const;
    // Runs a program to its end and returns its exit code (-1 on time-out).
    int RunToEnd(const std::vector<std::string>& args, Millis timeout, const std::string& logName) const;
    // The display scale in dots per inch (Wine's LogPixels, where Wine reads
    // it) for the programs started from now on: the server is started anew.
    bool SetDisplayScale(int dpi);

private:
    std::string path_, display_, logDir_, home_;
    std::string loader_ = "/usr/lib/wine/wine64";
    bool unmanagedWindows_ = false;
};

// The loader for an architecture: WINELOADER when set, else Wine's own per architecture.
std::string WineLoaderFor(const std::string& arch);
// A HOME whose ALSA configuration sends the default device into `home`/capture.raw
// (emptied); returns that file's path.
std::string MakeSoundCaptureHome(const std::string& home);

}  // namespace support
