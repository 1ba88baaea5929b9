// A picture box: a child-window control that holds other child controls
// (placed from its inner top-left corner) and keeps a drawn image of its own,
// cleared to its back colour and shown on every repaint.
#pragma once
#include <windows.h>

#include <memory>

#include "child_control.h"
#include "drawing_surface.h"

namespace forms {

class PictureBox : public ChildControl, public Container {
public:
    PictureBox(Container& container, std::string name, COLORREF backColour = RGB(0xEC, 0xE9, 0xD8));

    HWND ContainerWindow() const override { return hwnd(); }
    Form& ParentForm() override { return ChildControl::ParentForm(); }
    std::shared_ptr<forms::Font> ContainerFont() const override { return font_; }
    void SetFont(std::shared_ptr<forms::Font> font);

    COLORREF BackColour() const { return backColour_; }
    void SetBackColour(COLORREF colour);
    // Clears the kept image to the back colour.
    void Cls();
    // A line in twips, from the box's inner top-left corner, on the kept image.
    void Line(int x1, int y1, int x2, int y2, COLORREF colour);
    DrawingSurface& Surface() { return surface_; }
    // Shows the kept image again.
    void Refresh();

protected:
    bool CreateControlWindow(HWND parent) override;
    void Resized() override;
    void Paint(HDC dc, const RECT& area) override;
    bool TakesFocus() const override { return false; }

private:
    COLORREF backColour_;
    std::shared_ptr<forms::Font> font_ = std::make_shared<forms::Font>();
    DrawingSurface surface_;
};

}  // namespace forms
