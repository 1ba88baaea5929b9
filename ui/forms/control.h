// A windowless control of a form: it has a rectangle on the form and paints
// itself there when the form paints.
#pragma once
#include <windows.h>

#include "form_parts.h"

namespace forms {

class Form;

class Control : private FormPainting {
public:
    explicit Control(Form& owner);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    void MovePixels(int left, int top, int width, int height);
    void SetLeft(int pixels);
    void SetTop(int pixels);
    void SetWidth(int pixels);
    void SetHeight(int pixels);
    RECT Bounds() const { return bounds_; }

protected:
    void Paint(HDC dc) override = 0;
    void Invalidate();
    Form& owner_;

private:
    RECT bounds_ = {0, 0, 0, 0};
};

// An image: a picture drawn at its own size from the control's top-left
// corner, cut to the control's rectangle and never stretched.
class Image : public Control {
public:
    using Control::Control;
    ~Image() override;
    // Takes ownership of the bitmap.
    void SetPicture(HBITMAP picture);
    bool HasPicture() const { return picture_ != nullptr; }

protected:
    void Paint(HDC dc) override;

private:
    HBITMAP picture_ = nullptr;
};

}  // namespace forms
