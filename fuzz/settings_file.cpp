// The settings file, loaded and saved through the host fakes, and the music
// file chosen in the dialog. Input: lines "code page", "kind", "repeat",
// "file", "chosen path" (the last runs to the end and may hold line breaks).
// What is saved loads back equal; a chosen path is kept whole or refused; the
// chooser's folder is cut at a character of the code page, never inside one.
#include "fakes.h"
#include "fuzz_support.h"
#include "settings_dialog.h"
#include "settings_file.h"

namespace {

class QuietView : public SettingsDialogView {
public:
    std::optional<std::string> chosen;
    int refusals = 0;
    int ScreenWidthTwips() const override { return 15360; }
    int ScreenHeightTwips() const override { return 11520; }
    int DialogWidthTwips() const override { return 7530; }
    int DialogHeightTwips() const override { return 4101; }
    void MoveDialog(int, int) override {}
    void InitCommandButtons() override {}
    void SetTrackBoxEnabled(bool) override {}
    void SetFileButtonEnabled(bool) override {}
    void SetOptionMark(int, bool) override {}
    void SetTrackText(const std::string& text) override { track = text; }
    std::string TrackText() const override { return track; }
    void AddTrackEntry(const std::string&) override {}
    void SetFileCaption(const std::string&) override {}
    std::optional<ScreenPoint> CursorPosition() const override { return std::nullopt; }
    void AnimateOpen(ScreenPoint) override {}
    void AnimateClose(ScreenPoint) override {}
    void SetPointer(DialogPointer) override {}
    std::optional<std::string> ChooseMusicFile(const std::string&) override { return chosen; }
    void RefuseMusicFile(const std::string&, std::size_t) override { ++refusals; }
    void OpenAddress(const std::string&) override {}
    void CloseDialog() override {}
    std::string track;
};

MusicSettings Loaded(const FakeProfile& profile, FakeServices& services)
{
    MusicSettings loaded;
    LoadSettings(loaded, profile, services);
    return loaded;
}

// The folder must end where a character of the path ends.
void CheckFolder(const std::string& path, const std::string& folder, const FakeServices& services)
{
    if (folder.empty()) return;
    FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0, "the folder starts the path: " + Shown(path));
    bool boundary = false;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == folder.size()) {
            boundary = true;
            break;
        }
        if (i < path.size() && services.IsLeadByte(static_cast<unsigned char>(path[i]))) ++i;
    }
    FUZZ_CHECK(boundary, "the folder ends between characters: " + Shown(path) + " -> " + Shown(folder));
    const char last = folder.back();
    const char next = folder.size() < path.size() ? path[folder.size()] : '\0';
    FUZZ_CHECK(last == '\\' || last == ':' || next == '\\', "the folder ends at a backslash: " + Shown(folder));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fields = Fields(TextOf(data, size), '\n', 5);
    auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    FakeProfile profile;
    FakeServices services;
    services.codePage = field(0) == "932" ? 932 : 1252;
    const std::string ini = SettingsFilePath(services);
    profile.files[ini][kSettingsSection][kKeyBgmKind] = field(1);
    profile.files[ini][kSettingsSection][kKeyBgmRepeat] = field(2);
    profile.files[ini][kSettingsSection][kKeyBgmFile] = field(3);
    services.readable.insert(field(3));
    if (!field(3).empty() && field(3).back() == '\\') services.readable.insert(field(3).substr(0, field(3).size() - 1));

    MusicSettings music = Loaded(profile, services);
    FUZZ_CHECK(music.file.size() <= kLongestMusicPath, "a kept path loads whole");
    if (!music.file.empty()) {
        FUZZ_CHECK(music.file == field(3).substr(0, field(3).find('\0')), "the stored path, whole: " + Shown(field(3)));
        CheckFolder(music.file, music.folder, services);
    }
    FUZZ_CHECK(SaveSettings(music, profile, services), "the fake saves");
    FUZZ_CHECK(Loaded(profile, services) == music, "what is saved loads back equal");

    // The dialog: the chosen path is kept whole, or refused with a word.
    if (fields.size() >= 5) {
        QuietView view;
        view.chosen = field(4);
        SettingsDialogRules rules(view, music, profile, services);
        rules.OnLoad();
        rules.OnFileButtonClick();
        const bool kept = view.refusals == 0;
        FUZZ_CHECK(kept == (field(4).size() <= kLongestMusicPath), "refused exactly when too long to load");
        if (kept) {
            FUZZ_CHECK(music.file == field(4), "the chosen path is taken whole");
            CheckFolder(music.file, music.folder, services);
            music.kind = BGM_FILE;
            rules.OnSaveClick();
            services.readable.insert(music.file);
            if (music.file.find('\0') == std::string::npos && !music.file.empty() && music.file.back() != '\\')
                FUZZ_CHECK(Loaded(profile, services) == music,
                           "a chosen file loads back at the next start: " + Shown(music.file));
        }
    }
    return 0;
}
