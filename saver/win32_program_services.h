// The program services and the desktop on Win32: the program's folder and
// command line, starting the renderer, files, windows and the cursor.
#pragma once
#include "program_services.h"

class Win32ProgramServices : public ProgramServices {
public:
    std::string ProgramFolder() const override;
    std::string ArgumentText() const override;
    bool IsLeadByte(unsigned char byte) const override;
    bool CanOpenForReading(const std::string& path) const override;
    bool StartProgram(const std::string& path) override;
    bool StartedProgramRunning() const override;
    std::string UserDataFolder(bool create) override;
    bool DeleteFileAt(const std::string& path) override;
    void EndProgram() override;

    // The marker that this program's run or settings dialog is up, kept until
    // the process ends: a named kernel object, which a start can look up
    // before it loads the window manager. False when another instance holds it.
    bool MarkInstance();
    // True when another instance holds the marker.
    bool InstanceMarked() const;
    // Ends the program StartProgram last started, at once, and waits (bounded)
    // until it is gone.
    void StopStartedProgram();
    // Waits until the program StartProgram last started says its windows are
    // up, it has ended, or `timeoutMs` has passed; false on the bound only.
    bool WaitForStartedProgramWindows(unsigned timeoutMs) const;

private:
    void* started_ = nullptr;  // the process StartProgram last started (a HANDLE)
    unsigned long startedId_ = 0;
    void* marker_ = nullptr;   // the instance marker once held (a HANDLE)
};

class Win32Desktop : public Desktop {
public:
    bool WindowExists(const std::string& title) const override;
    void ShowCursor(bool show) override;
};
