// The saver's settings: the program-wide settings state and the routines that
// read and write "Quorvellanto.ini" beside the program.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "profile_store.h"
#include "program_services.h"

// Settings state, one copy for the whole program.
extern std::int16_t BgmKind;    // 0 no music, 1 audio CD, 2 MP3 or WAV file
extern std::int16_t BgmRepeat;  // CD track to keep repeating, 0 none
extern std::string BgmFile;     // full path of the music file, empty for none
extern std::string BgmFolder;   // folder the file chooser opens first

enum BgmKinds : std::int16_t { BGM_NONE = 0, BGM_CD = 1, BGM_FILE = 2 };

// Section and key names as they stand in the file: code page 932 bytes on
// every system ("BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ").
extern const char* const kSettingsSection;
extern const char* const kKeyBgmKind;
extern const char* const kKeyBgmRepeat;
extern const char* const kKeyBgmFile;
extern const char* const kSettingsFileName;  // "\Quorvellanto.ini"

// Restores the state to its start values (0 and empty).
void ResetSettingsState();

// The file beside the program, and the user's own copy that takes its place
// when the program's folder refuses writes (a 64-bit System32).
std::string SettingsFilePath(const ProgramServices& services);
// The user's copy's path; its folder is made first when `create` is set
// (empty when it cannot be).
std::string UserSettingsFilePath(ProgramServices& services, bool create);
std::string GetIniString(const ProfileStore& profile, const std::string& section, const std::string& key,
                         const std::string& file);
bool PutIniString(ProfileStore& profile, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file);

// Fills the settings state from the file (defaults for what is missing; a
// music file that cannot be read is forgotten and kind 2 becomes 0). The
// user's own copy is read when it exists, else the file beside the program.
void LoadSettings(const ProfileStore& profile, ProgramServices& services);

// Writes the three keys from the state, in the order kind, repeat, file,
// beside the program. When that fails, the same three keys go into the user's
// own copy; when it succeeds, a user's copy left from before is removed so
// that it no longer hides the new values. False when neither could be written.
bool SaveSettings(ProfileStore& profile, ProgramServices& services);

bool FileExists(const ProgramServices& services, const std::string& path);

// The folder of a file's path, without a trailing backslash; a drive root
// keeps its backslash ("C:\a.mp3" gives "C:\"). The path is read character
// by character in the system's code page, so that the second byte of a
// two-byte character (0x5C in "表") is never taken for a backslash.
std::string FolderOf(const std::string& path, const ProgramServices& services);

// The longest music path kept, in bytes of the system's ANSI code page: the
// longest path the ANSI file functions open (MAX_PATH less the closing NUL).
// Longer paths are refused by the dialog and forgotten when found stored.
constexpr std::size_t kLongestMusicPath = 259;
