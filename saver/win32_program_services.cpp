#include "win32_program_services.h"

#include "startup.h"
#include "win32_system_library.h"
#include "renderer_contract.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

std::string Win32ProgramServices::ProgramFolder() const
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    // Read in the system's code page (kernel32's lead-byte test, so that a
    // run finds the renderer without loading user32).
    return FolderOf(path.data(), *this);
}

bool Win32ProgramServices::IsLeadByte(unsigned char byte) const
{
    return IsDBCSLeadByte(byte) != FALSE;
}

bool Win32ProgramServices::CanOpenForReading(const std::string& path) const
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::string Win32ProgramServices::ArgumentText() const
{
    return ArgumentTextOf(GetCommandLineA());
}

// The file is named as the application to run, so that nothing but that file
// can start, whatever blanks its folder holds; its own path is the command line.
bool Win32ProgramServices::StartProgram(const std::string& path)
{
    std::vector<char> commandLine(path.begin(), path.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    if (started_ != nullptr) CloseHandle(started_);
    started_ = process.hProcess;
    startedId_ = process.dwProcessId;
    return true;
}

void Win32ProgramServices::StopStartedProgram()
{
    if (started_ == nullptr) return;
    TerminateProcess(started_, 0);
    WaitForSingleObject(started_, 5000);  // gone before this program goes on (or ends)
}

// Opening the event by name (or making it, when the program has not yet) gives
// the same object for as long as either side holds it; a program that ends
// first leaves its process handle signalled.
bool Win32ProgramServices::WaitForStartedProgramWindows(unsigned timeoutMs) const
{
    if (started_ == nullptr) return true;
    HANDLE up = CreateEventA(nullptr, TRUE, FALSE, WindowsUpEventName(startedId_).c_str());
    HANDLE waitFor[2] = {started_, up};
    const DWORD result = WaitForMultipleObjects(up != nullptr ? 2 : 1, waitFor, FALSE, timeoutMs);
    if (up != nullptr) CloseHandle(up);
    return result != WAIT_TIMEOUT;
}

namespace {

// Local to the user's session, as the windows it stands for are.
constexpr const char* kInstanceMarkerName = "Local\\Quorvellanto instance";

}  // namespace

bool Win32ProgramServices::MarkInstance()
{
    if (marker_ != nullptr) return true;
    HANDLE marker = CreateMutexA(nullptr, FALSE, kInstanceMarkerName);
    if (marker == nullptr) return true;  // no marker to be had: the windows still mark the instance
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(marker);
        return false;
    }
    marker_ = marker;
    return true;
}

bool Win32ProgramServices::InstanceMarked() const
{
    if (marker_ != nullptr) return false;
    HANDLE marker = OpenMutexA(SYNCHRONIZE, FALSE, kInstanceMarkerName);
    if (marker == nullptr) return false;
    CloseHandle(marker);
    return true;
}

bool Win32ProgramServices::StartedProgramRunning() const
{
    return started_ != nullptr && WaitForSingleObject(started_, 0) == WAIT_TIMEOUT;
}

namespace {

// The user's application-data folder: %APPDATA%, which Windows sets for every
// user session (and follows folder redirection), so a run needs no shell32;
// only where it is missing is shell32 asked, loaded then.
std::string ApplicationDataFolder(bool create)
{
    char appData[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const DWORD attributes = GetFileAttributesA(appData);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return appData;
    }
    static SystemLibrary shell32("shell32.dll");
    using FolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const auto folderPath = shell32.Find<FolderPathFunction>("SHGetFolderPathA");
    if (folderPath == nullptr) return {};
    const int which = CSIDL_APPDATA | (create ? CSIDL_FLAG_CREATE : 0);
    if (FAILED(folderPath(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
    return appData;
}

}  // namespace

std::string Win32ProgramServices::UserDataFolder(bool create)
{
    const std::string appData = ApplicationDataFolder(create);
    if (appData.empty()) return {};
    const std::string folder = appData + "\\Quorvellanto";
    if (!create) return folder;
    CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return folder;
}

bool Win32ProgramServices::DeleteFileAt(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

void Win32ProgramServices::EndProgram()
{
    ExitProcess(0);
}

bool Win32Desktop::WindowExists(const std::string& title) const
{
    return FindWindowA(nullptr, title.c_str()) != nullptr;
}

void Win32Desktop::ShowCursor(bool show)
{
    ::ShowCursor(show ? TRUE : FALSE);
}
