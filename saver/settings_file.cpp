#include "settings_file.h"

#include <cmath>
#include <optional>

#include "conversions.h"

const char* const kSettingsSection = "Section";
const char* const kKeyBgmKind = "BGM\x8B\xE6\x95\xAA";
const char* const kKeyBgmRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
const char* const kKeyBgmFile = "BGM\xCC\xA7\xB2\xD9";
const char* const kSettingsFileName = "\\Quorvellanto.ini";

namespace {

constexpr unsigned kValueCapacity = 256;
constexpr std::size_t kNameCapacity = 128;
constexpr unsigned kPathCapacity = kLongestMusicPath + 2;

std::string CutAtNul(std::string text, std::size_t limit)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    if (text.size() > limit) text.resize(limit);
    return text;
}

// A stored integer: the number rounded down, kept only when it fits 16 bits.
std::optional<std::int16_t> StoredInteger(const std::string& value)
{
    const auto number = conv::ParseNumber(value);
    if (!number) return std::nullopt;
    return conv::RoundToInt16(std::floor(*number));
}

void LoadInteger(const ProfileStore& profile, const std::string& file, const char* key, std::int16_t& field)
{
    const std::string value = GetIniString(profile, kSettingsSection, key, file);
    if (value.empty()) {
        field = 0;
        return;
    }
    if (const auto stored = StoredInteger(value)) field = *stored;
}

}  // namespace

std::string SettingsFilePath(const ProgramServices& services)
{
    return services.ProgramFolder() + kSettingsFileName;
}

std::string GetIniString(const ProfileStore& profile, const std::string& section, const std::string& key,
                         const std::string& file)
{
    return CutAtNul(profile.Read(section, key, file, kValueCapacity), kValueCapacity - 1);
}

bool PutIniString(ProfileStore& profile, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file)
{
    return profile.Write(CutAtNul(section, kNameCapacity - 1), CutAtNul(key, kNameCapacity - 1), value, file);
}

std::string UserSettingsFilePath(ProgramServices& services, bool create)
{
    const std::string folder = services.UserDataFolder(create);
    return folder.empty() ? std::string() : folder + kSettingsFileName;
}

void LoadSettings(MusicSettings& settings, const ProfileStore& profile, ProgramServices& services)
{
    const std::string userFile = UserSettingsFilePath(services, false);
    const bool userCopy = !userFile.empty() && services.CanOpenForReading(userFile);
    const std::string file = userCopy ? userFile : SettingsFilePath(services);
    LoadInteger(profile, file, kKeyBgmKind, settings.kind);
    LoadInteger(profile, file, kKeyBgmRepeat, settings.repeatTrack);
    // Read with room for one byte more than a kept path, so that a longer
    // stored path is seen as too long rather than cut to one that may exist.
    const std::string path = CutAtNul(profile.Read(kSettingsSection, kKeyBgmFile, file, kPathCapacity), kPathCapacity - 1);
    if (path.empty() || path.size() > kLongestMusicPath || !FileExists(services, path)) {
        settings.file.clear();
        if (settings.kind == BGM_FILE) settings.kind = BGM_NONE;
    } else {
        settings.file = path;
    }
    settings.folder = settings.file.empty() ? services.ProgramFolder() : FolderOf(settings.file, services);
}

namespace {
bool WriteSettingsTo(const MusicSettings& settings, ProfileStore& profile, const std::string& file)
{
    bool written = PutIniString(profile, kSettingsSection, kKeyBgmKind, conv::NumberText(settings.kind), file);
    written = PutIniString(profile, kSettingsSection, kKeyBgmRepeat, conv::NumberText(settings.repeatTrack), file) && written;
    return PutIniString(profile, kSettingsSection, kKeyBgmFile, settings.file, file) && written;
}
}  // namespace

bool SaveSettings(const MusicSettings& settings, ProfileStore& profile, ProgramServices& services)
{
    if (WriteSettingsTo(settings, profile, SettingsFilePath(services))) {
        const std::string userFile = UserSettingsFilePath(services, false);
        if (!userFile.empty() && services.CanOpenForReading(userFile)) services.DeleteFileAt(userFile);
        return true;
    }
    // Only now is the user's folder needed: it is made for this write.
    const std::string userFile = UserSettingsFilePath(services, true);
    return !userFile.empty() && WriteSettingsTo(settings, profile, userFile);
}
