// Entry of the screen-saver program: refuses a second instance, then embeds
// the preview, shows the settings, runs the screen saver, or ends.
#include <windows.h>

#include <memory>

#include "forms/application.h"
#include "music/win32_multimedia.h"
#include "settings_file.h"
#include "startup.h"
#include "win32_preview_form.h"
#include "win32_profile_store.h"
#include "win32_program_services.h"
#include "win32_run_form.h"
#include "win32_settings_dialog.h"
#include "win32_system_library.h"

namespace {

Win32ProgramServices services;
Win32Desktop desktop;
Win32ProfileStore profile;
Win32Multimedia multimedia;
MusicSettings music;
std::unique_ptr<PreviewForm> previewForm;
std::unique_ptr<RunForm> runForm;

void ShowPreview(const std::string& argumentText)
{
    HWND host = reinterpret_cast<HWND>(static_cast<INT_PTR>(PreviewHostHandle(argumentText)));
    RECT rect = {0, 0, 0, 0};
    if (host == nullptr || !GetWindowRect(host, &rect)) rect = {0, 0, 0, 0};
    const int dpi = forms::LayoutDpi();
    const int width = PreviewSideTwips(dpi, rect.right - rect.left).value_or(0);
    const int height = PreviewSideTwips(dpi, rect.bottom - rect.top).value_or(0);

    previewForm = std::make_unique<PreviewForm>();
    if (!previewForm->Load()) return;
    HWND preview = previewForm->hwnd();
    SetWindowLongA(preview, GWL_STYLE, GetWindowLongA(preview, GWL_STYLE) | WS_CHILD);
    SetParent(preview, host);
    previewForm->Move(0, 0, width, height);
    previewForm->still.SetWidth(forms::ToPixels(width));
    previewForm->still.SetHeight(forms::ToPixels(height));
    previewForm->still.SetLeft(0);
    previewForm->still.SetTop(0);
    previewForm->Show();
    previewForm->WatchHost(host);
}

// The instance markers of another copy: its run form or settings dialog.
bool AnotherInstanceShows()
{
    const bool running = desktop.WindowExists(kRunFormCaption);
    const bool configuring = desktop.WindowExists(kSettingsDialogCaption);
    return running || configuring;
}

// How long a run waits for the renderer's windows before it goes on without
// them (a renderer that never says so, or one that is slow to start).
constexpr unsigned kRendererWindowsBoundMs = 2000;

// A run starts the renderer before it loads the window manager (user32 and
// gdi32 are delay-loaded): a run or dialog of this program is recognised by
// its kernel marker first; the windows that mark any copy are looked for once
// the renderer is starting, and a renderer started beside another copy's run
// is stopped again before its window is up. The run's own windows and music
// start once the renderer's windows are up, so as not to compete with them.
void Run(StartupMode mode)
{
    if (!services.MarkInstance()) forms::EndProgram();
    runForm = std::make_unique<RunForm>(services, desktop, multimedia, music);
    runForm->StartRenderer();
    if (AnotherInstanceShows()) {
        services.StopStartedProgram();
        forms::EndProgram();
    }
    services.WaitForStartedProgramWindows(kRendererWindowsBoundMs);
    LoadSettings(music, profile, services);  // needed once the form loads
    if (mode == StartupMode::RunHidden) desktop.ShowCursor(false);
    runForm->Load();
}

void Main()
{
    const std::string argumentText = services.ArgumentText();
    const StartupMode mode = ModeOf(argumentText);
    if (mode == StartupMode::RunHidden || mode == StartupMode::RunVisible) {
        Run(mode);
        return;
    }
    if (AnotherInstanceShows() || services.InstanceMarked()) forms::EndProgram();
    if (mode == StartupMode::Preview) {
        ShowPreview(argumentText);
        return;
    }
    if (mode == StartupMode::End) forms::EndProgram();
    if (!services.MarkInstance()) forms::EndProgram();
    LoadSettings(music, profile, services);
    // Modal, without an owner; the program ends when it has closed.
    SettingsDialog dialog(music, profile, services);
    dialog.ShowModal();
    forms::EndProgram();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictLibrarySearch();
    Main();
    return forms::RunMessageLoop();
}
