#include "picture_box.h"

#include "application.h"

namespace forms {

PictureBox::PictureBox(Container& container, std::string name, COLORREF backColour)
    : ChildControl(container, std::move(name)), backColour_(backColour)
{
}

void PictureBox::SetFont(std::shared_ptr<forms::Font> font)
{
    if (font) font_ = std::move(font);
}

bool PictureBox::CreateControlWindow(HWND parent)
{
    if (!ChildControl::CreateControlWindow(parent)) return false;
    CreateChildWindows();
    return true;
}

void PictureBox::Resized()
{
    // A new size starts a new, cleared image.
    if (surface_.Resize(PixelWidth(), PixelHeight())) surface_.Clear(backColour_);
    Refresh();
}

void PictureBox::SetBackColour(COLORREF colour)
{
    backColour_ = colour;
    Cls();
}

void PictureBox::Cls()
{
    surface_.Clear(backColour_);
    Refresh();
}

void PictureBox::Line(int x1, int y1, int x2, int y2, COLORREF colour)
{
    if (surface_.dc() == nullptr) return;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ previous = SelectObject(surface_.dc(), pen);
    MoveToEx(surface_.dc(), ToPixels(x1), ToPixels(y1), nullptr);
    LineTo(surface_.dc(), ToPixels(x2), ToPixels(y2));
    SetPixel(surface_.dc(), ToPixels(x2), ToPixels(y2), colour);  // a line includes its last point
    SelectObject(surface_.dc(), previous);
    DeleteObject(pen);
}

void PictureBox::Refresh()
{
    if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::Paint(HDC dc, const RECT&)
{
    if (surface_.dc() != nullptr) {
        surface_.CopyTo(dc, 0, 0);
        return;
    }
    RECT client;
    GetClientRect(hwnd(), &client);
    HBRUSH brush = CreateSolidBrush(backColour_);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

}  // namespace forms
