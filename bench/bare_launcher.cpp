// Benchmark anchor of a screen-saver run: starts the renderer that lies in
// its own folder at once, exactly as the saver does (the file named as the
// application, shown normally), and ends when the renderer has ended. It loads
// nothing but kernel32, so the time to the renderer's window is the least any
// launcher can take.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 32] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* cut = path;
    for (char* p = path; *p != '\0'; ++p)
        if (*p == '\\') cut = p;
    lstrcpyA(cut, "\\Quorvellanto.dll");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path, path, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 2;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return 0;
}
