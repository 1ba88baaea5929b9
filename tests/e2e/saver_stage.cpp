#include "saver_stage.h"

#include <cstdlib>
#include <thread>

namespace support {

bool QvTool(const std::vector<std::string>& args, std::string* output)
{
    static int run = 0;
    const Stage& stage = TheStage();
    const std::string log = "qvtool-" + std::to_string(++run) + ".log";
    std::vector<std::string> argv = {stage.toolsDir + "/qvtool.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    const int code = stage.wine.RunToEnd(argv, Millis(30000), log);
    if (output != nullptr) *output = ReadWholeFile(stage.logDir + "/" + log);
    return code == 0;
}

Process StartPreviewHost(std::string& handle)
{
    const Stage& stage = TheStage();
    // The log is appended to: a handle left there by an earlier host must not be read.
    WriteWholeFile(stage.logDir + "/host.log", "");
    Process host = stage.wine.Run({stage.toolsDir + "/qvtool.exe", "host", "200", "150", "152", "112"}, "host.log");
    handle.clear();
    WaitUntil(
        [&] {
            const std::string log = ReadWholeFile(stage.logDir + "/host.log");
            const size_t at = log.rfind("hwnd ");
            if (at != std::string::npos) handle = std::to_string(std::strtoul(log.c_str() + at + 5, nullptr, 10));
            return !handle.empty() && handle != "0";
        },
        Millis(30000));
    if (handle == "0") handle.clear();
    return host;
}

bool PreviewFillsHost(std::string& children)
{
    return WaitUntil(
        [&] { return QvTool({"children", "QV Preview Host"}, &children) &&
                     children.find("child \"Preview Window\" 152x112 visible 1") != std::string::npos; },
        Millis(20000), Millis(200));
}

bool WaitForDialog(Process& saver, WindowInfo& window, int dpi)
{
    auto px = [dpi](int twips) { return twips * dpi / 1440; };
    // Both shaded surfaces painted: the window's and the panel's middle rows
    // (red and blue of the one, red of the other, near white).
    auto shaded = [](unsigned long p, bool blueToo) {
        return p <= 0xFFFFFF && (p >> 16) > (blueToo ? 200u : 240u) && (!blueToo || (p & 0xFF) > 240);
    };
    return WaitUntil(
               [&] {
                   const auto found = TheStage().x.FindMappedWindow(kDialogTitle);
                   if (!found) return !saver.Running();
                   window = *found;
                   const ScreenShot screen = TheStage().x.Grab();
                   return shaded(screen.At(window.x + 4, window.y + px(3645) / 2), true) &&
                          shaded(screen.At(window.x + px(180) + px(6900), window.y + px(240) + px(2475) / 2), false);
               },
               Millis(30000)) &&
           saver.Running();
}

void CancelDialog(Process& saver, const WindowInfo& window)
{
    TheStage().x.MovePointerTo(window.x + 404 + 38, window.y + 196 + 12);
    std::this_thread::sleep_for(Millis(150));
    TheStage().x.PressButton(1);
    ASSERT_EQ(saver.WaitExit(Millis(15000)), 0) << "the dialog did not end on Cancel";
}

const std::vector<EndingInput>& RendererEndingInputs()
{
    static const std::vector<EndingInput> inputs = {
        {"KeyPress", [](const XSession& x) { x.TapKey("a"); }},
        {"LeftButton", [](const XSession& x) { x.PressButton(1); }},
        {"MiddleButton", [](const XSession& x) { x.PressButton(2); }},
        {"RightButton", [](const XSession& x) { x.PressButton(3); }},
        {"ThreePixelsRight", [](const XSession& x) { x.MovePointerTo(515, 384); }},
        {"ThreePixelsUp", [](const XSession& x) { x.MovePointerTo(512, 381); }},
        {"SmallStepsAddingUp",
         [](const XSession& x) {
             for (int dx : {1, 2, 3}) {
                 x.MovePointerTo(512 + dx, 384);
                 std::this_thread::sleep_for(Millis(200));
             }
         }},
    };
    return inputs;
}

void PlayNonEndingInputs(const XSession& x, const std::function<void(const char*)>& stillRunning)
{
    x.MovePointerTo(514, 386);
    stillRunning("a 2-pixel move on both axes");
    x.MovePointerTo(510, 382);
    stillRunning("a 2-pixel move back past the origin");
    x.PressButton(4);
    x.PressButton(5);
    stillRunning("a mouse-wheel turn");
    x.HoldKeyAndTap("Alt_L", "F4");
    stillRunning("Alt+F4");
    x.TapKey("F10");
    stillRunning("F10");
}

}  // namespace support
