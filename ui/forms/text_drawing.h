// Caption text on the Windows side: GDI fonts from font specifications, and
// label text drawn transparently, in its colour or in the platform's
// disabled (embossed) look.
#pragma once
#include <windows.h>

#include <string>

#include "font.h"

namespace forms {

// A GDI font for the screen's dots per inch; the caller deletes it.
HFONT CreateGdiFont(const FontSpec& spec);

struct LabelText {
    std::wstring text;
    FontSpec font;
    COLORREF colour = RGB(0, 0, 0);
    bool enabled = true;
    UINT format = DT_CENTER | DT_WORDBREAK;  // DrawText alignment
};

// Draws the text into `box` without touching the background.
void DrawLabelText(HDC dc, const RECT& box, const LabelText& label);

}  // namespace forms
