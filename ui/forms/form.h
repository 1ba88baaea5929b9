// A form: a top-level window titled with its caption, hidden until shown and
// findable by that title from another process from load to unload. Its
// windowless controls paint on it in the order they were added; its timers
// tick on the user-interface thread, one message at a time. Its child-window
// controls (placed directly on it or inside a picture box) get their windows
// at load, read their properties from the form's property store, and take
// the keyboard focus in the form's tab order (Tab and Shift+Tab).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "container.h"
#include "font.h"
#include "form_parts.h"
#include "property_bag.h"

namespace forms {

class ChildControl;

enum class QueryUnloadReason { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

struct FormStyle {
    DWORD style = WS_POPUP;  // no border, no caption
    DWORD exStyle = 0;
    COLORREF backColour = RGB(0, 0, 0);
};

class Form : public Container {
public:
    explicit Form(std::string caption, FormStyle style = {});
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the hidden window and runs OnLoad. False when no window can be had.
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

    // Container of child-window controls; the form's font is their ambient font.
    HWND ContainerWindow() const override { return window_; }
    Form& ParentForm() override { return *this; }
    std::shared_ptr<forms::Font> ContainerFont() const override { return font_; }
    std::shared_ptr<forms::Font> GetFont() const { return font_; }
    void SetFont(std::shared_ptr<forms::Font> font);

    // Where the form keeps its user controls' properties, one bag per control
    // name. Filled before load from the form's design; a control with a bag
    // reads it as it is sited, a control without one starts as created.
    PropertyStore& Properties() { return properties_; }
    // Each child control writes its properties into a fresh bag of its own.
    void SaveProperties();

    // The timers, windowless controls and child controls made on the form
    // join it here, with the tab order and the focus bookkeeping.
    FormParts& Parts() { return parts_; }
    // Child controls in tab order.
    const std::vector<ChildControl*>& TabOrder() const { return parts_.TabOrder(); }
    // Moves the focus to the next (or previous) control that can take it.
    void TabFocus(bool backwards) { parts_.MoveFocus(backwards); }
    // Tab and Shift+Tab for any window of a form: true when handled.
    static bool HandleTabKey(const MSG& msg);
    static Form* FromWindow(HWND window);

protected:
    virtual void OnLoad() {}
    virtual void OnQueryUnload(bool& /*cancel*/, QueryUnloadReason /*reason*/) {}
    virtual void OnUnload() {}
    virtual void OnResize() {}
    // The form was moved to a monitor of another scale: the layout has taken
    // the new dots per inch, the window the place the system suggested, and
    // every child control its place and size at the new scale; the form
    // lays out the rest (its own size, what it draws).
    virtual void OnDpiChanged() {}
    // A form's own window message before the layer handles it (mouse input on
    // its windowless controls, their cursors): true when it was handled.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/)
    {
        return false;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Unloaded();

    std::string caption_;
    FormStyle style_;
    HWND window_ = nullptr;
    bool unloading_ = false;
    FormParts parts_;
    std::shared_ptr<forms::Font> font_ = std::make_shared<forms::Font>();
    PropertyStore properties_;
};

}  // namespace forms
