// The saver's settings: the music choice and the routines that read and write
// it in "Quorvellanto.ini" beside the program.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "profile_store.h"
#include "program_services.h"

enum BgmKinds : std::int16_t { BGM_NONE = 0, BGM_CD = 1, BGM_FILE = 2 };

// What the user chose for the music; a fresh value is the state of no file.
struct MusicSettings {
    std::int16_t kind = BGM_NONE;  // 0 no music, 1 audio CD, 2 MP3 or WAV file; stored as found
    std::int16_t repeatTrack = 0;  // CD track to keep repeating, 0 none
    std::string file;              // full path of the music file, empty for none
    std::string folder;            // folder the file chooser opens first
    bool operator==(const MusicSettings&) const = default;
};

// Section and key names as they stand in the file: code page 932 bytes on
// every system ("BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ").
extern const char* const kSettingsSection;
extern const char* const kKeyBgmKind;
extern const char* const kKeyBgmRepeat;
extern const char* const kKeyBgmFile;
extern const char* const kSettingsFileName;  // "\Quorvellanto.ini"

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

// Fills the settings from the file (0 for a key that is missing or empty; a
// stored number that cannot be read leaves the field as it was; a music file
// that cannot be read is forgotten and kind 2 becomes 0). The user's own copy
// is read when it exists, else the file beside the program.
void LoadSettings(MusicSettings& settings, const ProfileStore& profile, ProgramServices& services);

// Writes the three keys from the settings, in the order kind, repeat, file,
// beside the program. When that fails, the same three keys go into the user's
// own copy; when it succeeds, a user's copy left from before is removed so
// that it no longer hides the new values. False when neither could be written.
bool SaveSettings(const MusicSettings& settings, ProfileStore& profile, ProgramServices& services);


// The longest music path kept, in bytes of the system's ANSI code page: the
// longest path the ANSI file functions open (MAX_PATH less the closing NUL).
// Longer paths are refused by the dialog and forgotten when found stored.
constexpr std::size_t kLongestMusicPath = 259;
