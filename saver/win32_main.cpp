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

namespace {

Win32ProgramServices services;
Win32Desktop desktop;
Win32ProfileStore profile;
Win32Multimedia multimedia;
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

void Main()
{
    const bool running = desktop.WindowExists(kRunFormCaption);
    const bool configuring = desktop.WindowExists(kSettingsDialogCaption);
    if (running || configuring) forms::EndProgram();

    const std::string argumentText = services.ArgumentText();
    const StartupMode mode = ModeOf(argumentText);
    if (mode == StartupMode::Preview) {
        ShowPreview(argumentText);
        return;
    }
    LoadSettings(profile, services);
    switch (mode) {
    case StartupMode::Settings: {
        // Modal, without an owner; the program ends when it has closed.
        SettingsDialog dialog(profile, services);
        dialog.ShowModal();
        forms::EndProgram();
    }
    case StartupMode::End:
        forms::EndProgram();
    case StartupMode::RunHidden:
        desktop.ShowCursor(false);
        break;
    default:
        break;
    }
    runForm = std::make_unique<RunForm>(services, desktop, multimedia);
    runForm->StartRenderer();
    runForm->Load();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Main();
    return forms::RunMessageLoop();
}
