// Windows-side helper of the end-to-end tests: a small form titled
// "Quorvellanto Buttons" with Command buttons as the settings dialog places
// them (one on the form, one inside a panel), a disabled one and a
// transparent one. Prints "Click <name>" for every Click, and "ready" once
// shown; ends when the form is closed.
//   qvbuttons        the form at (100, 100), 300 x 150 pixels
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/picture_box.h"
#include "win32_command.h"

namespace {

class ButtonsForm : public forms::Form {
public:
    forms::PictureBox Pic_C;
    Command Cmd_A, Cmd_B, Cmd_C, Cmd_D;

    ButtonsForm()
        : Form("Quorvellanto Buttons", forms::FormStyle{WS_POPUP, 0, RGB(128, 128, 128)}),
          Pic_C(*this, "Pic_C", RGB(224, 224, 224)),
          Cmd_A(*this, "Cmd_A"),
          Cmd_B(Pic_C, "Cmd_B"),
          Cmd_C(*this, "Cmd_C"),
          Cmd_D(*this, "Cmd_D")
    {
        Pic_C.Move(1500, 1050, 2700, 900);
        Cmd_A.Move(300, 300, 1155, 375);
        Cmd_B.Move(600, 150, 435, 375);
        Cmd_C.Move(3000, 300, 1155, 375);
        Cmd_D.Move(300, 1500, 1155, 375);
        const forms::FontSpec gothic{"ＭＳ Ｐゴシック", 9.75, 400, 128, false, false};
        const char* captions[4][2] = {{"Cmd_A", "設定"}, {"Cmd_B", "..."}, {"Cmd_C", "ｷｬﾝｾﾙ"}, {"Cmd_D", "Clear"}};
        for (const auto& [name, caption] : captions) {
            Properties().Bag(name).WriteProperty("Caption", std::string(caption), std::string("Command"));
            Properties().Bag(name).WriteProperty("Font", gothic, forms::FontSpec{});
        }
        Properties().Bag("Cmd_D").WriteProperty("Visible", std::int32_t{0}, std::int32_t{1});
        for (Command* button : {&Cmd_A, &Cmd_B, &Cmd_C, &Cmd_D}) {
            button->Click = [button] {
                std::printf("Click %s\n", button->Name().c_str());
                std::fflush(stdout);
            };
        }
    }

private:
    void OnLoad() override
    {
        for (Command* button : {&Cmd_A, &Cmd_B, &Cmd_C, &Cmd_D}) button->Rules().Initialize();
        Cmd_C.Rules().SetEnabled(false);
    }
};

}  // namespace

int main()
{
    ButtonsForm form;
    if (!form.Load()) return 1;
    form.Move(1500, 1500, 4500, 2250);
    form.Show();
    std::printf("ready\n");
    std::fflush(stdout);
    if (std::getenv("QV_TRACE") == nullptr) return forms::RunMessageLoop();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
            std::printf("msg %04x hwnd %p wp %x x %d y %d capture %p\n", msg.message, (void*)msg.hwnd, (unsigned)msg.wParam,
                        (short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam), (void*)GetCapture());
            std::fflush(stdout);
        }
        if (forms::Form::HandleTabKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
