// Program services of the platform that the saver's modules and forms use.
#pragma once
#include <string>

class ProgramServices {
public:
    virtual ~ProgramServices() = default;
    // The folder the program file lies in, without a trailing backslash
    // (a drive root keeps its backslash: "C:\").
    virtual std::string ProgramFolder() const = 0;
    // The command line without the program's name.
    virtual std::string ArgumentText() const = 0;
    // True when `byte` starts a two-byte character in the system's ANSI code
    // page (code page 932: 0x81-0x9F and 0xE0-0xFC; none in code page 1252).
    // The second byte of such a character may be a backslash.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // True when the path can be opened for reading as a file.
    virtual bool CanOpenForReading(const std::string& path) const = 0;
    // Starts exactly this program file as a new process, shown normally, and
    // does not wait for it. False when it cannot be started.
    virtual bool StartProgram(const std::string& path) = 0;
    // Whether the program StartProgram last started still runs.
    virtual bool StartedProgramRunning() const = 0;
    // The user's own folder for this program's data ("<application data>\Quorvellanto");
    // empty when there is none. Made when missing only when `create` is set
    // (a save needs it; a load only looks for a file in it); empty when it
    // could not be made.
    virtual std::string UserDataFolder(bool create) = 0;
    // Deletes a file; false when it could not be deleted (or was not there).
    virtual bool DeleteFileAt(const std::string& path) = 0;
    // Ends the process at once; no further form procedure runs.
    virtual void EndProgram() = 0;
};

// True when the file can be opened for reading; a trailing backslash is
// tested without it.
bool FileExists(const ProgramServices& services, const std::string& path);

// The folder of a file's path, without a trailing backslash; a drive root
// keeps its backslash ("C:\a.mp3" gives "C:\"). The path is read character
// by character in the system's code page, so that the second byte of a
// two-byte character (0x5C in "表") is never taken for a backslash.
std::string FolderOf(const std::string& path, const ProgramServices& services);

// The window manager, as far as the saver's rules look at it.
class Desktop {
public:
    virtual ~Desktop() = default;
    // True when a top-level window has this title.
    virtual bool WindowExists(const std::string& title) const = 0;
    // Shows or hides the mouse cursor (one step of the display count).
    virtual void ShowCursor(bool show) = 0;
};
