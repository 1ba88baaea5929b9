#include "win32_dialog_parts.h"

#include "forms/application.h"
#include "forms/scale.h"

namespace settings_ui {

namespace {

constexpr COLORREF kPanelGrey = RGB(224, 224, 224);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kTrackListPixels = 160;  // room for the dropped list under the text field
constexpr int kFileCaptionMargin = 30;  // twips between the file name's frame and its text

// "ＭＳ Ｐゴシック" as UTF-8.
const char* const kDialogFontName = "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";

COLORREF ToColour(RgbColour c) { return RGB(c.r, c.g, c.b); }

void FillRows(HDC dc, const std::vector<RgbColour>& rows, int width)
{
    for (size_t y = 0; y < rows.size(); ++y) {
        HBRUSH brush = CreateSolidBrush(ToColour(rows[y]));
        RECT row = {0, static_cast<int>(y), width, static_cast<int>(y) + 1};
        FillRect(dc, &row, brush);
        DeleteObject(brush);
    }
}

// The mark at the layout's scale (12 pixels a side at 96 dots per inch).
void DrawOptionPicture(HDC dc, int x, int y, bool on)
{
    const int dpi = forms::LayoutDpi();
    const int side = forms::ScaledPixels(kOptionPictureSide, dpi);
    const std::vector<RgbColour> pixels = OptionPicture(on, side, forms::ScaledPixels(1, dpi));
    std::vector<RGBQUAD> bgra;
    bgra.reserve(pixels.size());
    for (const RgbColour& p : pixels) bgra.push_back({p.b, p.g, p.r, 0});
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, side, side, 0, 0, 0, side, bgra.data(), &info, DIB_RGB_COLORS);
}

// The panel's fixed labels: the heading, the three options, the repeat label.
const std::vector<LabelSpec>& PanelLabels()
{
    const DialogPlaces& at = kDialogPlaces;
    static const std::vector<LabelSpec> labels = {
        {at.heading, L"BGM", kBlack, false, DT_CENTER | DT_NOPREFIX | DT_SINGLELINE},
        {at.optionLabels[0], L"\u306a\u3057", kBlack},                            // なし
        {at.optionLabels[1], L"\u97f3\u697dCD", kBlack},                          // 音楽CD
        {at.optionLabels[2], L"MP3\u3001WAV", kBlack},                            // MP3、WAV
        {at.repeatLabel, L"\u66f2\u76ee\u3092\uff98\uff8b\uff9f\uff70\uff84", kBlack},  // 曲目をﾘﾋﾟｰﾄ
    };
    return labels;
}

}  // namespace

RECT TwipRect::Pixels() const
{
    return {forms::ToPixels(left), forms::ToPixels(top), forms::ToPixels(left + width), forms::ToPixels(top + height)};
}

forms::FontSpec DialogFont(bool underline)
{
    forms::FontSpec spec;
    spec.name = kDialogFontName;
    spec.size = 9.75;
    spec.weight = 400;
    spec.charset = 128;
    spec.underline = underline;
    return spec;
}

void DrawLabel(HDC dc, const LabelSpec& label)
{
    forms::LabelText text;
    text.text = label.text;
    text.font = DialogFont(label.underline);
    text.colour = label.colour;
    text.format = label.format;
    forms::DrawLabelText(dc, label.place.Pixels(), text);
}

void Backdrop::SetRows(std::vector<RgbColour> rows)
{
    rows_ = std::move(rows);
    Invalidate();
}

void Backdrop::Paint(HDC dc)
{
    const RECT area = Bounds();
    if (!rows_.empty()) FillRows(dc, rows_, area.right);
    for (const LabelSpec& label : labels) DrawLabel(dc, label);
}

bool TrackBox::CreateControlWindow(HWND parent)
{
    const RECT r = TwipRect{Left(), Top(), Width(), Height()}.Pixels();
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    if (!Enabled()) style |= WS_DISABLED;
    const int listPixels = forms::ScaledPixels(kTrackListPixels, forms::LayoutDpi());
    window_ = CreateWindowExW(0, L"COMBOBOX", L"", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top + listPixels, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return false;
    font_ = forms::CreateGdiFont(DialogFont());
    fontDpi_ = forms::LayoutDpi();
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return true;
}

void TrackBox::Resized()
{
    if (hwnd() == nullptr) return;
    const int dpi = forms::LayoutDpi();
    if (fontDpi_ != dpi) {
        HFONT previous = font_;
        font_ = forms::CreateGdiFont(DialogFont());
        fontDpi_ = dpi;
        SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        if (previous != nullptr) DeleteObject(previous);
    }
    const RECT r = TwipRect{Left(), Top(), Width(), Height()}.Pixels();
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top + forms::ScaledPixels(kTrackListPixels, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

TrackBox::~TrackBox()
{
    if (hwnd() != nullptr) SendMessageW(hwnd(), WM_SETFONT, 0, FALSE);
    if (font_ != nullptr) DeleteObject(font_);
}

void TrackBox::SetText(const std::string& text)
{
    if (hwnd() != nullptr) SetWindowTextW(hwnd(), forms::Widen(text).c_str());
}

std::string TrackBox::Text() const
{
    if (hwnd() == nullptr) return {};
    const int length = GetWindowTextLengthW(hwnd());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd(), text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    // The number rules read ASCII digits; other characters only need to stay non-digits.
    std::string ascii;
    for (wchar_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    return ascii;
}

void TrackBox::AddItem(const std::string& text)
{
    if (hwnd() != nullptr)
        SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(forms::Widen(text).c_str()));
}

int TrackBox::ItemCount() const
{
    return hwnd() != nullptr ? static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)) : 0;
}

Panel::Panel(forms::Container& container) : forms::PictureBox(container, "Pic_C(0)", kPanelGrey) {}

void Panel::Compose()
{
    forms::DrawingSurface& surface = Surface();
    if (surface.dc() == nullptr) return;
    surface.Clear(BackColour());
    if (shaded_) FillRows(surface.dc(), ShadeRows(ShadedSurface::Panel, surface.height()), surface.width());
    DrawContents(surface.dc());
    Refresh();
}

void Panel::DrawContents(HDC dc) const
{
    const DialogPlaces& at = kDialogPlaces;
    // Thin black frames around the heading and around the file name.
    HBRUSH black = CreateSolidBrush(kBlack);
    const RECT heading = at.headingFrame.Pixels();
    FrameRect(dc, &heading, black);
    const RECT file = at.fileFrame.Pixels();
    FrameRect(dc, &file, black);
    DeleteObject(black);
    for (const LabelSpec& label : PanelLabels()) DrawLabel(dc, label);
    // The file name: two lines at most, broken between words.
    DrawLabel(dc, {at.fileFrame.Inset(kFileCaptionMargin), forms::Widen(fileCaption_), kBlack, false,
                   DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL});
    for (int i = 0; i < kOptionCount; ++i) {
        const RECT mark = at.optionMarks[static_cast<size_t>(i)].Pixels();
        DrawOptionPicture(dc, mark.left, mark.top, marks_[static_cast<size_t>(i)]);
    }
}

LRESULT Panel::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (int i = 0; i < kOptionCount; ++i) {
            const RECT mark = kDialogPlaces.optionMarks[static_cast<size_t>(i)].Pixels();
            const RECT label = kDialogPlaces.optionLabels[static_cast<size_t>(i)].Pixels();
            if (PtInRect(&mark, at) || PtInRect(&label, at)) {
                if (OptionPressed) OptionPressed(i);
                return 0;
            }
        }
        break;
    }
    default:
        break;
    }
    return forms::PictureBox::Handle(message, wParam, lParam);
}

}  // namespace settings_ui
