// The preview form: a borderless black form holding a still picture of the
// animation, embedded by the start-up routine in the host's preview area.
#pragma once
#include "forms/control.h"
#include "forms/form.h"

class PreviewForm : public forms::Form {
public:
    PreviewForm();
    ~PreviewForm() override;
    forms::Image still;

    // Keeps an eye on the host the form is embedded in: once the host or the
    // form's own window has gone, by whatever way, the form unloads, so the
    // program does not outlive its preview (a host of another process may take
    // its child windows with it without the child's thread hearing of it).
    void WatchHost(HWND host);

private:
    void OnUnload() override;
    static void CALLBACK CheckHost(HWND, UINT, UINT_PTR, DWORD);

    HWND host_ = nullptr;
    UINT_PTR watch_ = 0;
};
