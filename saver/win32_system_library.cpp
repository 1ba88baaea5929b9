#include "win32_system_library.h"

#include <string>

FARPROC SystemLibrary::Address(const char* name)
{
    if (!tried_) {
        tried_ = true;
        char folder[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::string path = std::string(folder) + "\\" + fileName_;
            // No "cannot find" message box from the system when it is missing.
            const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
            module_ = LoadLibraryA(path.c_str());
            SetErrorMode(previousMode);
        }
    }
    return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}
