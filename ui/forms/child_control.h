// A control with a window of its own, inside a form or a picture box: placed
// in twips from the container's inner top-left corner, with focus, a place in
// its form's tab order, enabling, and a resize event.
#pragma once
#include <windows.h>

#include <string>

#include "container.h"
#include "property_bag.h"

namespace forms {

class ChildControl {
public:
    ChildControl(Container& container, std::string name);
    virtual ~ChildControl();
    ChildControl(const ChildControl&) = delete;
    ChildControl& operator=(const ChildControl&) = delete;

    const std::string& Name() const { return name_; }
    HWND hwnd() const { return window_; }
    Container& GetContainer() const { return container_; }
    Form& ParentForm() const { return container_.ParentForm(); }

    // Twips, from the container's inner top-left corner.
    void Move(int left, int top, int width, int height);
    // Places the window again at the layout's scale (after it changed) and
    // raises the resize event, though the size in twips stays the same.
    void Rescale();
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int PixelWidth() const;
    int PixelHeight() const;

    // Position in the form's tab order, from 0.
    int TabIndex() const;
    void SetTabIndex(int index);
    bool HasFocus() const;
    void SetFocus();
    // Whether the control can take the focus now (window there, shown, enabled, willing).
    bool CanTakeFocus() const;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    // Makes the control's window in its container's window `parent` and
    // sites it, once; nothing when the window is there or cannot be had.
    void CreateWindowIn(HWND parent);
    // Writes the control's properties into a fresh bag of its name.
    void SaveProperties(PropertyStore& store);

protected:
    // Makes the window (a child of `parent`); false when none can be had.
    virtual bool CreateControlWindow(HWND parent);
    // After the window is made: the container's properties, then a resize.
    virtual void Sited();
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void Paint(HDC dc, const RECT& area);
    virtual void GotFocus() {}
    virtual void LostFocus() {}
    virtual void Resized() {}
    // A control that never takes the focus says so here.
    virtual bool TakesFocus() const { return true; }
    // Persistence through the form's property store; nothing by default.
    virtual void ReadProperties(const PropertyBag&) {}
    virtual void WriteProperties(PropertyBag&) {}

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static const wchar_t* WindowClass();

    HWND window_ = nullptr;

private:
    RECT PixelRect() const;

    Container& container_;
    std::string name_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    bool sited_ = false;
};

}  // namespace forms
