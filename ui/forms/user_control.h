// A user control: a child-window control of the program's own, made of
// constituent parts, with mouse events that carry the button code (1 left,
// 2 right, 4 middle) and the shift state (1 Shift, 2 Ctrl, 4 Alt). After a
// press the control keeps the mouse (capture) until every button is up, so
// moves and the release arrive while the cursor is outside. A left press
// gives it the focus first (focus event, then mouse-down), as a push button.
#pragma once
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "child_control.h"
#include "drawing_surface.h"

namespace forms {

enum MouseButton { kMouseLeft = 1, kMouseRight = 2, kMouseMiddle = 4 };

class UserControl : public ChildControl {
public:
    using ChildControl::ChildControl;

    // The container's font, and the window handle of the form it is on.
    std::shared_ptr<Font> AmbientFont() const { return GetContainer().ContainerFont(); }
    HWND ParentHwnd() const;
    // Properties the control has reported changed since it was sited.
    const std::set<std::string>& ChangedProperties() const { return changed_; }

protected:
    // x and y in twips from the control's top-left corner.
    virtual void MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    void PropertyChanged(const std::string& name) { changed_.insert(name); }

    // The drawn image, shown on every repaint (the face of the control).
    DrawingSurface& Surface() { return surface_; }
    // Repaints the window now from the kept image.
    void Present();
    // Draws what the window shows into `dc`: by default the kept image.
    void Paint(HDC dc, const RECT& area) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DrawingSurface surface_;
    std::set<std::string> changed_;
};

}  // namespace forms
