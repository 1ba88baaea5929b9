// The shipped programs' own side of the Wine and native suites: the titles of
// the saver's windows, the Windows-side helper (qvtool) with its preview
// host, the settings dialog waited for and cancelled, and the input that does
// or does not end a renderer.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "stage.h"

namespace support {

// The titles by which the saver's run form and settings dialog are found.
constexpr const char* kRunFormTitle = "Quorvellanto_Main";
constexpr const char* kDialogTitle = "<Quorvellanto>";

// Runs the architecture's Windows-side helper (qvtool) to its end, 30 s
// at most; true on exit code 0. Its standard output comes back in `output`.
bool QvTool(const std::vector<std::string>& args, std::string* output = nullptr);
// A preview host (qvtool host: 152 x 112 pixels at 200, 150) in a process
// of its own; `handle` is its window's handle in decimal, empty when it
// did not come up within 30 s.
Process StartPreviewHost(std::string& handle);
// Waits (20 s at most) for the host to show a visible 152 x 112 child
// window titled "Preview Window"; the host's children in `children`.
bool PreviewFillsHost(std::string& children);
// Waits (30 s at most) for the settings dialog shown and painted at the
// display scale of `dpi` dots per inch (the window's and the panel's
// shading in place), its saver still running; the dialog in `window`.
bool WaitForDialog(Process& saver, WindowInfo& window, int dpi = 96);
// Clicks the dialog's Cancel (at 96 dpi) and expects the saver to end with 0.
void CancelDialog(Process& saver, const WindowInfo& window);

// Input that ends a renderer, on Windows as on Linux: a key, each button, a
// 3-pixel move right or up, and small steps that add up to 3 pixels (from an
// origin at the screen's centre, 512, 384).
struct EndingInput {
    const char* name;
    std::function<void(const XSession&)> act;
};
const std::vector<EndingInput>& RendererEndingInputs();
// Input that must not end a renderer, on both platforms: 2-pixel moves, the
// wheel, Alt+F4 and F10; `stillRunning` is called after each with its name.
void PlayNonEndingInputs(const XSession& x, const std::function<void(const char*)>& stillRunning);

}  // namespace support
