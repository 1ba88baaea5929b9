// The saver's settings: the program-wide settings state and the routines that
// read and write "Quorvellanto.ini" beside the program.
#pragma once
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

std::string SettingsFilePath(const ProgramServices& services);
std::string GetIniString(const ProfileStore& profile, const std::string& section, const std::string& key,
                         const std::string& file);
void PutIniString(ProfileStore& profile, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file);

// Fills the settings state from the file (defaults for what is missing; a
// music file that cannot be read is forgotten and kind 2 becomes 0).
void LoadSettings(const ProfileStore& profile, const ProgramServices& services);

// Writes the three keys from the state, in the order kind, repeat, file.
void SaveSettings(ProfileStore& profile, const ProgramServices& services);

bool FileExists(const ProgramServices& services, const std::string& path);
std::string FolderOf(const std::string& path);
