// A DLL of the system folder that is loaded only when one of its functions is
// first needed, so that a program start does not pay for what a run never
// uses (the file chooser's comdlg32, shell32, the music's winmm). Only the
// copy in the system folder is loaded, never one lying beside the program.
#pragma once
#include <windows.h>

class SystemLibrary {
public:
    explicit SystemLibrary(const char* fileName) : fileName_(fileName) {}
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The function, or nullptr when the DLL cannot be loaded or lacks it
    // (the caller then takes its error path). The DLL is loaded at most once
    // and stays loaded.
    template <typename Function>
    Function Find(const char* name)
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
    }
    // True once the DLL has been loaded (a failed try gives false).
    bool Loaded() const { return module_ != nullptr; }

private:
    FARPROC Address(const char* name);
    const char* fileName_;
    HMODULE module_ = nullptr;
    bool tried_ = false;
};
