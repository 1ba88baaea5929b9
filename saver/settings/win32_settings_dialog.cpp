#include "win32_settings_dialog.h"

#include <shellapi.h>

#include "forms/application.h"
#include "saver_resources.h"
#include "settings_file.h"
#include "startup.h"
#include "win32_file_chooser.h"

namespace settings_ui {

namespace {

constexpr COLORREF kPanelGrey = RGB(224, 224, 224);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kTrackListPixels = 160;  // room for the dropped list under the text field

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

void DrawOptionPicture(HDC dc, int x, int y, bool on)
{
    const std::vector<RgbColour> pixels = OptionPicture(on);
    std::vector<RGBQUAD> bgra;
    bgra.reserve(pixels.size());
    for (const RgbColour& p : pixels) bgra.push_back({p.b, p.g, p.r, 0});
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kOptionPictureSide;
    info.bmiHeader.biHeight = -kOptionPictureSide;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, kOptionPictureSide, kOptionPictureSide, 0, 0, 0, kOptionPictureSide, bgra.data(),
                      &info, DIB_RGB_COLORS);
}

// The panel's labels, placed from its inner top-left corner.
const LabelSpec& PanelLabel(int index)
{
    static const LabelSpec labels[] = {
        {{300, 360, 1665, 195}, L"BGM", kBlack, false, DT_CENTER | DT_NOPREFIX | DT_SINGLELINE},       // lbl(15)
        {{660, 1140, 330, 195}, L"\u306a\u3057", kBlack},                                               // lbl_BGM(0) なし
        {{660, 840, 645, 195}, L"\u97f3\u697dCD", kBlack},                                              // lbl_BGM(1) 音楽CD
        {{660, 1440, 900, 195}, L"MP3\u3001WAV", kBlack},                                               // lbl_BGM(2) MP3、WAV
        {{2340, 840, 990, 195}, L"\u66f2\u76ee\u3092\uff98\uff8b\uff9f\uff70\uff84", kBlack},          // lbl(14) 曲目をﾘﾋﾟｰﾄ
    };
    return labels[index];
}

}  // namespace

RECT TwipRect::Pixels() const
{
    const int tx = forms::TwipsPerPixelX(), ty = forms::TwipsPerPixelY();
    return {left / tx, top / ty, (left + width) / tx, (top + height) / ty};
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
    window_ = CreateWindowExW(0, L"COMBOBOX", L"", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top + kTrackListPixels, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return false;
    font_ = forms::CreateGdiFont(DialogFont());
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return true;
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

Panel::Panel(::Quorvellanto_P& dialog, forms::Container& container)
    : forms::PictureBox(container, "Pic_C(0)", kPanelGrey), dialog_(dialog)
{
}

void Panel::Compose()
{
    forms::DrawingSurface& surface = Surface();
    if (surface.dc() == nullptr) return;
    surface.Clear(BackColour());
    if (shaded_) FillRows(surface.dc(), ShadeRows(ShadedSurface::Panel, surface.height()), surface.width());
    dialog_.DrawPanelContents(surface.dc());
    Refresh();
}

LRESULT Panel::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (int i = 0; i < 3; ++i) {
            const RECT mark = ::Quorvellanto_P::kMarkPlaces[i].Pixels();
            const RECT label = ::Quorvellanto_P::kOptionLabelPlaces[i].Pixels();
            if (PtInRect(&mark, at) || PtInRect(&label, at)) {
                dialog_.OptionPressed(i);
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

using settings_ui::TwipRect;

const TwipRect Quorvellanto_P::kMarkPlaces[3] = {{420, 1140, 195, 195}, {420, 840, 195, 195}, {420, 1440, 195, 195}};
const TwipRect Quorvellanto_P::kOptionLabelPlaces[3] = {{660, 1140, 330, 195}, {660, 840, 645, 195},
                                                        {660, 1440, 900, 195}};
const TwipRect Quorvellanto_P::kUrlPlace = {180, 3120, 3105, 195};

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // single-line border, no minimise or maximise
constexpr int kClientWidthTwips = 7440, kClientHeightTwips = 3645;

void PutDesignProperties(forms::PropertyStore& store, const char* name, const char* caption)
{
    forms::PropertyBag& bag = store.Bag(name);
    bag.WriteProperty("Caption", std::string(caption), std::string("Command"));
    bag.WriteProperty("Font", settings_ui::DialogFont(), forms::FontSpec{});
}

}  // namespace

Quorvellanto_P::Quorvellanto_P(ProfileStore& profile, ProgramServices& services)
    : forms::Form(kSettingsDialogCaption, forms::FormStyle{kDialogStyle, 0, RGB(128, 128, 128)}),
      Pic_C(*this, *this),
      BGM_Repeat(Pic_C, "BGM_Repeat"),
      Cmd_File(Pic_C, "Cmd_File"),
      Cmd_Set(*this, "Cmd_Set"),
      Cmd_Can(*this, "Cmd_Can"),
      rules_(*this, profile, services),
      backdrop_(*this)
{
    SetFont(std::make_shared<forms::Font>(settings_ui::DialogFont()));
    Pic_C.Move(180, 240, 7035, 2475);
    BGM_Repeat.Move(1680, 780, 615, 300);
    Cmd_File.Move(600, 1740, 435, 375);
    Cmd_Set.Move(4860, 2940, 1155, 375);
    Cmd_Can.Move(6060, 2940, 1155, 375);
    PutDesignProperties(Properties(), "Cmd_File", "...");
    PutDesignProperties(Properties(), "Cmd_Set", "\xE8\xA8\xAD\xE5\xAE\x9A");                 // 設定
    PutDesignProperties(Properties(), "Cmd_Can", "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99");  // ｷｬﾝｾﾙ
    // Tab order: the track box, the file button, set, cancel (the panel takes no focus).
    BGM_Repeat.SetTabIndex(0);
    Cmd_File.SetTabIndex(1);
    Cmd_Set.SetTabIndex(2);
    Cmd_Can.SetTabIndex(3);

    const std::wstring version = forms::Widen(QV_VERSION_TEXT);
    backdrop_.labels = {
        {{180, 2880, 2475, 195}, L"Designed by Ombrix Ver." + version, RGB(255, 255, 255)},  // lbl(7)
        {kUrlPlace, forms::Widen(kMakerAddress), RGB(255, 255, 255), true},                  // lbl_URL
    };
    Cmd_File.Click = [this] { rules_.Cmd_File_Click(); };
    Cmd_Set.Click = [this] { rules_.Cmd_Set_Click(); };
    Cmd_Can.Click = [this] { rules_.Cmd_Can_Click(); };
}

Quorvellanto_P::~Quorvellanto_P()
{
    if (icon_ != nullptr) DestroyIcon(icon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

void Quorvellanto_P::Form_Load()
{
    // The design size: a client area of 7440 x 3645 twips inside the frame.
    const int tx = forms::TwipsPerPixelX(), ty = forms::TwipsPerPixelY();
    RECT frame = {0, 0, kClientWidthTwips / tx, kClientHeightTwips / ty};
    AdjustWindowRectEx(&frame, kDialogStyle, FALSE, 0);
    Move(0, 0, (frame.right - frame.left) * tx, (frame.bottom - frame.top) * ty);
    backdrop_.MovePixels(0, 0, kClientWidthTwips / tx, kClientHeightTwips / ty);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    handCursor_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER));
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON, 32, 32, 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_ != nullptr) SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    if (smallIcon_ != nullptr) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    loading_ = true;
    rules_.Form_Load();
    loading_ = false;
    Pic_C.Compose();
}

// First show: shade the window's client area, then the panel.
void Quorvellanto_P::Form_Resize()
{
    if (shownOnce_ || !IsWindowVisible(hwnd())) return;
    shownOnce_ = true;
    RECT client;
    GetClientRect(hwnd(), &client);
    backdrop_.MovePixels(0, 0, client.right, client.bottom);
    backdrop_.SetRows(ShadeRows(ShadedSurface::Window, client.bottom));
    Pic_C.SetShaded();
    Pic_C.Compose();
}

void Quorvellanto_P::Form_Unload()
{
    rules_.Form_Unload();
}

bool Quorvellanto_P::OverUrl(POINT client) const
{
    const RECT url = kUrlPlace.Pixels();
    return PtInRect(&url, client) != FALSE;
}

bool Quorvellanto_P::Form_Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) PostMessageW(hwnd(), WM_SIZE, SIZE_RESTORED, 0);  // the resize event of the first show
        return false;
    case WM_SETCURSOR: {
        if (forms::CurrentMousePointer() != forms::MousePointer::Default || handCursor_ == nullptr) return false;
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(hwnd(), &at);
        if (LOWORD(lParam) != HTCLIENT || !OverUrl(at)) return false;
        SetCursor(handCursor_);
        result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN: {
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        urlPressed_ = OverUrl(at);
        if (urlPressed_) SetCapture(hwnd());
        return urlPressed_;
    }
    case WM_LBUTTONUP: {
        if (!urlPressed_) return false;
        urlPressed_ = false;
        ReleaseCapture();
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (OverUrl(at)) rules_.lbl_URL_Click();
        return true;
    }
    default:
        return false;
    }
}

void Quorvellanto_P::DrawPanelContents(HDC dc)
{
    // Shape3: a thin black frame around the heading.
    const RECT shape = TwipRect{300, 300, 1695, 315}.Pixels();
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FrameRect(dc, &shape, black);
    // lbl_Fname: a single-line border, the path in two lines at most.
    const RECT fname = TwipRect{1080, 1740, 5595, 495}.Pixels();
    FrameRect(dc, &fname, black);
    DeleteObject(black);
    for (int i = 0; i < 5; ++i) settings_ui::DrawLabel(dc, settings_ui::PanelLabel(i));
    settings_ui::LabelSpec path{{1080 + 30, 1740 + 30, 5595 - 60, 495 - 60},
                                forms::Widen(fileCaption_),
                                RGB(0, 0, 0),
                                false,
                                DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL};
    settings_ui::DrawLabel(dc, path);
    for (int i = 0; i < 3; ++i) {
        const RECT mark = kMarkPlaces[i].Pixels();
        settings_ui::DrawOptionPicture(dc, mark.left, mark.top, marks_[static_cast<size_t>(i)]);
    }
}

int Quorvellanto_P::ScreenWidthTwips() const { return forms::ScreenWidthTwips(); }
int Quorvellanto_P::ScreenHeightTwips() const { return forms::ScreenHeightTwips(); }

int Quorvellanto_P::DialogWidthTwips() const
{
    RECT r = {};
    GetWindowRect(hwnd(), &r);
    return (r.right - r.left) * forms::TwipsPerPixelX();
}

int Quorvellanto_P::DialogHeightTwips() const
{
    RECT r = {};
    GetWindowRect(hwnd(), &r);
    return (r.bottom - r.top) * forms::TwipsPerPixelY();
}

void Quorvellanto_P::MoveDialog(int leftTwips, int topTwips)
{
    SetWindowPos(hwnd(), nullptr, leftTwips / forms::TwipsPerPixelX(), topTwips / forms::TwipsPerPixelY(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Quorvellanto_P::InitCommandButtons()
{
    for (Command* button : {&Cmd_File, &Cmd_Set, &Cmd_Can}) button->Initialize();
}

void Quorvellanto_P::SetTrackBoxEnabled(bool enabled) { BGM_Repeat.SetEnabled(enabled); }
void Quorvellanto_P::SetFileButtonEnabled(bool enabled) { Cmd_File.LetEnabled(enabled); }

void Quorvellanto_P::SetOptionMark(int index, bool on)
{
    if (index < 0 || index > 2) return;
    marks_[static_cast<size_t>(index)] = on;
    if (!loading_) Pic_C.Compose();
}

void Quorvellanto_P::SetTrackText(const std::string& text) { BGM_Repeat.SetText(text); }
std::string Quorvellanto_P::TrackText() const { return BGM_Repeat.Text(); }
void Quorvellanto_P::AddTrackEntry(const std::string& text) { BGM_Repeat.AddItem(text); }

void Quorvellanto_P::SetFileCaption(const std::string& path)
{
    fileCaption_ = path;
    if (!loading_) Pic_C.Compose();
}

std::optional<ScreenPoint> Quorvellanto_P::CursorPosition() const
{
    POINT at;
    if (!GetCursorPos(&at)) return std::nullopt;
    return ScreenPoint{at.x, at.y};
}

void Quorvellanto_P::AnimateOpen(ScreenPoint from)
{
    RECT window = {}, cursor = {from.x, from.y, from.x, from.y};
    GetWindowRect(hwnd(), &window);
    DrawAnimatedRects(hwnd(), IDANI_CAPTION, &cursor, &window);
}

void Quorvellanto_P::AnimateClose(ScreenPoint to)
{
    RECT window = {}, cursor = {to.x, to.y, to.x, to.y};
    GetWindowRect(hwnd(), &window);
    DrawAnimatedRects(hwnd(), IDANI_CAPTION, &window, &cursor);
}

void Quorvellanto_P::SetPointer(DialogPointer pointer)
{
    forms::SetMousePointer(pointer == DialogPointer::Hourglass ? forms::MousePointer::Hourglass
                                                               : forms::MousePointer::Default);
}

std::optional<std::string> Quorvellanto_P::ChooseMusicFile(const std::string& folder)
{
    return ::ChooseMusicFile(hwnd(), folder);
}

void Quorvellanto_P::RefuseMusicFile(const std::string& path, std::size_t longest)
{
    const std::wstring text = L"ﾌｧｲﾙのﾊﾟｽが長すぎます (" + std::to_wstring(path.size()) + L" ﾊﾞｲﾄ)。\nBGMに使えるのは " +
                              std::to_wstring(longest) + L" ﾊﾞｲﾄまでのﾊﾟｽです。\n\n" + FromAnsi(path);
    MessageBoxW(hwnd(), text.c_str(), kChooserTitle, MB_OK | MB_ICONEXCLAMATION);
}

void Quorvellanto_P::OpenAddress(const std::string& address)
{
    ShellExecuteA(hwnd(), "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

void Quorvellanto_P::CloseDialog()
{
    Unload(forms::QueryUnloadReason::FormCode);
}
