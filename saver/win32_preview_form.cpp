#include "win32_preview_form.h"

#include "saver_resources.h"

Quorvellanto_R::Quorvellanto_R()
    : forms::Form("Preview Window", forms::FormStyle{WS_POPUP, 0, RGB(0, 0, 0)}), Img_Prev(*this)
{
    Img_Prev.SetPicture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    Img_Prev.MovePixels(0, 0, 152, 112);
}

void Quorvellanto_R::Form_Unload()
{
    // The form's own window is told to close; the program ends as this last
    // form goes, whether the host closed it or destroyed it with itself.
    GetWindow(hwnd(), GW_OWNER);
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}
