// A form: a top-level window titled with its caption, hidden until shown and
// findable by that title from another process from load to unload. Its
// windowless controls paint on it in the order they were added; its timers
// tick on the user-interface thread, one message at a time.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace forms {

class Timer;
class Control;

enum class QueryUnloadReason { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

struct FormStyle {
    DWORD style = WS_POPUP;  // no border, no caption
    DWORD exStyle = 0;
    COLORREF backColour = RGB(0, 0, 0);
};

class Form {
public:
    explicit Form(std::string caption, FormStyle style = {});
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the hidden window and runs Form_Load. False when no window can be had.
    bool Load();
    void Show();
    // Shows the form without owner and returns once it has unloaded.
    void ShowModal();
    // Query-unload (which may cancel), then unload; the window goes.
    void Unload(QueryUnloadReason reason = QueryUnloadReason::FormCode);

    bool Loaded() const { return window_ != nullptr; }
    HWND hwnd() const { return window_; }
    const std::string& Caption() const { return caption_; }

    // Position and size in twips (relative to the parent for a child window).
    void Move(int left, int top, int width, int height);
    void SetBackColour(COLORREF colour);
    COLORREF BackColour() const { return style_.backColour; }
    void Refresh();
    // Draws the client area (background, then the controls) into a device context.
    void PaintClient(HDC dc);

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& /*cancel*/, QueryUnloadReason /*reason*/) {}
    virtual void Form_Unload() {}
    virtual void Form_Resize() {}

private:
    friend class Timer;
    friend class Control;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Unloaded();

    std::string caption_;
    FormStyle style_;
    HWND window_ = nullptr;
    bool unloading_ = false;
    std::vector<Timer*> timers_;
    std::vector<Control*> controls_;
};

}  // namespace forms
