#include "win32_preview_form.h"

#include "saver_resources.h"

Quorvellanto_R::Quorvellanto_R()
    : forms::Form("Preview Window", forms::FormStyle{WS_POPUP, 0, RGB(0, 0, 0)}), Img_Prev(*this)
{
    Img_Prev.SetPicture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    Img_Prev.MovePixels(0, 0, 152, 112);
}

namespace {
Quorvellanto_R* watchedForm = nullptr;
constexpr UINT kHostCheckMs = 250;
}  // namespace

Quorvellanto_R::~Quorvellanto_R()
{
    if (watch_ != 0) KillTimer(nullptr, watch_);
    if (watchedForm == this) watchedForm = nullptr;
}

void Quorvellanto_R::WatchHost(HWND host)
{
    host_ = host;
    watchedForm = this;
    // A thread timer: it keeps ticking when the form's window has gone.
    if (watch_ == 0) watch_ = SetTimer(nullptr, 0, kHostCheckMs, &Quorvellanto_R::CheckHost);
}

void CALLBACK Quorvellanto_R::CheckHost(HWND, UINT, UINT_PTR, DWORD)
{
    Quorvellanto_R* form = watchedForm;
    if (form == nullptr || !form->Loaded()) return;
    if (IsWindow(form->hwnd()) && IsWindow(form->host_)) return;
    KillTimer(nullptr, form->watch_);
    form->watch_ = 0;
    form->Unload();
}

void Quorvellanto_R::Form_Unload()
{
    // The form's own window is told to close; the program ends as this last
    // form goes, whether the host closed it or destroyed it with itself.
    GetWindow(hwnd(), GW_OWNER);
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}
