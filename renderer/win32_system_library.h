// The one way both programs load a DLL that is not imported from the start:
// always the copy in the system folder, never one lying beside the program
// or in the current folder. Windows takes a DLL whose name is not one of its
// KnownDLLs (opengl32, glu32, msimg32 and winmm are not) from the program's
// own folder first, so a file planted beside the pair would otherwise run
// inside it. Every library the programs load at run time or delay-load
// comes through this file (the renderer's OpenGL too: win32_opengl.h).
#pragma once
#include <windows.h>

// Called first in each program: later loads search the system folder only
// where Windows offers it (SetDefaultDllDirectories: Windows 8 on, and
// Windows 7 with update KB2533623), and the current folder is left out of
// the search everywhere (SetDllDirectory). The libraries below are loaded
// by full path either way.
void RestrictLibrarySearch();

// The library of that file name from the system folder, loaded at most once
// per name for the life of the process; nullptr when it is not there (no
// "cannot find" message box from the system). Its own dependencies are
// searched from the system folder too.
HMODULE LoadSystemLibrary(const char* fileName);

// A system library loaded when one of its functions is first needed, so that
// a program start does not pay for what a run never uses (the file chooser's
// comdlg32, shell32, the music's winmm, the gradient's msimg32).
class SystemLibrary {
public:
    explicit SystemLibrary(const char* fileName) : fileName_(fileName) {}
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The function, or nullptr when the DLL cannot be loaded or lacks it
    // (the caller then takes its error path).
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
