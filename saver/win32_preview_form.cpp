#include "win32_preview_form.h"

#include "saver_resources.h"

namespace {
const char* const kPreviewFormCaption = "Preview Window";
constexpr int kStillWidth = 152, kStillHeight = 112;  // the preview still's size in pixels
}  // namespace

PreviewForm::PreviewForm()
    : forms::Form(kPreviewFormCaption, forms::FormStyle{WS_POPUP, 0, RGB(0, 0, 0)}), still(*this)
{
    still.SetPicture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    still.MovePixels(0, 0, kStillWidth, kStillHeight);
}

namespace {
PreviewForm* watchedForm = nullptr;
constexpr UINT kHostCheckMs = 250;
}  // namespace

PreviewForm::~PreviewForm()
{
    if (watch_ != 0) KillTimer(nullptr, watch_);
    if (watchedForm == this) watchedForm = nullptr;
}

void PreviewForm::WatchHost(HWND host)
{
    host_ = host;
    watchedForm = this;
    // A thread timer: it keeps ticking when the form's window has gone.
    if (watch_ == 0) watch_ = SetTimer(nullptr, 0, kHostCheckMs, &PreviewForm::CheckHost);
}

void CALLBACK PreviewForm::CheckHost(HWND, UINT, UINT_PTR, DWORD)
{
    PreviewForm* form = watchedForm;
    if (form == nullptr || !form->Loaded()) return;
    if (IsWindow(form->hwnd()) && IsWindow(form->host_)) return;
    KillTimer(nullptr, form->watch_);
    form->watch_ = 0;
    form->Unload();
}

void PreviewForm::OnUnload()
{
    // The form's own window is told to close; the program ends as this last
    // form goes, whether the host closed it or destroyed it with itself.
    GetWindow(hwnd(), GW_OWNER);
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}
