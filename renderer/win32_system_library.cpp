#include "win32_system_library.h"

#include <delayimp.h>

#include <string>

void RestrictLibrarySearch()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // kernel32 is a KnownDLL, always mapped: looking it up loads nothing.
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* fileName)
{
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder) + "\\" + fileName;
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A full path with the altered search order: the library's dependencies
    // are looked for in its own folder (the system folder) first, not in the
    // program's. Loading a library already loaded only counts it once more.
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetErrorMode(previousMode);
    return module;
}

FARPROC SystemLibrary::Address(const char* name)
{
    if (!tried_) {
        tried_ = true;
        module_ = LoadSystemLibrary(fileName_);
    }
    return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}

namespace {

// The delay-load helper asks before it loads a delay-loaded DLL (the saver's
// user32 and gdi32): it is given the system folder's copy. Left to itself the
// helper would call LoadLibrary with the bare name, which searches the
// program's folder first.
FARPROC WINAPI BeforeDelayLoad(unsigned notification, PDelayLoadInfo info)
{
    if (notification != dliNotePreLoadLibrary) return nullptr;
    if (HMODULE module = LoadSystemLibrary(info->szDll)) return reinterpret_cast<FARPROC>(module);
    // Not in the system folder: the program cannot go on, and must not fall
    // back on the helper's own search. It ends as it does when the library
    // is missing at a start: quietly, with exit code 0.
    ExitProcess(0);
}

}  // namespace

// The delay-load helper's hook, read when a delay-loaded function is first
// called. Defined here, beside the loader both programs reference, so that it
// replaces the runtime library's empty default in every program that links it.
PfnDliHook __pfnDliNotifyHook2 = BeforeDelayLoad;  // declared extern "C" by <delayimp.h>
