#include "text_drawing.h"

#include <cmath>

#include "application.h"

namespace forms {

HFONT CreateGdiFont(const FontSpec& spec)
{
    const int height = -static_cast<int>(std::lround(spec.size * LayoutDpi() / 72.0));
    const std::wstring face = Widen(spec.name);
    return CreateFontW(height, 0, 0, 0, spec.weight, spec.italic ? TRUE : FALSE, spec.underline ? TRUE : FALSE, FALSE,
                       static_cast<BYTE>(spec.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

namespace {
void DrawIn(HDC dc, RECT box, const std::wstring& text, COLORREF colour, UINT format)
{
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOCLIP);
}
}  // namespace

void DrawLabelText(HDC dc, const RECT& box, const LabelText& label)
{
    if (label.text.empty()) return;
    HFONT font = CreateGdiFont(label.font);
    HGDIOBJ previous = SelectObject(dc, font);
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = GetTextColor(dc);
    if (label.enabled) {
        DrawIn(dc, box, label.text, label.colour, label.format);
    } else {
        // Embossed: a highlight one pixel down and right, the shadow colour on top.
        RECT shifted = box;
        OffsetRect(&shifted, 1, 1);
        DrawIn(dc, shifted, label.text, GetSysColor(COLOR_3DHILIGHT), label.format);
        DrawIn(dc, box, label.text, GetSysColor(COLOR_3DSHADOW), label.format);
    }
    SetTextColor(dc, colour);
    SetBkMode(dc, mode);
    SelectObject(dc, previous);
    DeleteObject(font);
}

}  // namespace forms
