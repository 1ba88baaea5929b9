#include "win32_settings_dialog.h"

#include <shellapi.h>

#include <memory>

#include "forms/application.h"
#include "saver_resources.h"
#include "settings_file.h"
#include "startup.h"
#include "win32_file_chooser.h"
#include "win32_system_library.h"

using settings_ui::kDialogPlaces;

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // single-line border, no minimise or maximise
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The names the buttons' design properties are kept under, and their captions.
const char* const kFileButtonName = "Cmd_File";
const char* const kSaveButtonName = "Cmd_Set";
const char* const kCancelButtonName = "Cmd_Can";
const char* const kFileButtonCaption = "...";
const char* const kSaveButtonCaption = "\xE8\xA8\xAD\xE5\xAE\x9A";                                  // 設定
const char* const kCancelButtonCaption = "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99";  // ｷｬﾝｾﾙ

void Place(forms::ChildControl& control, const settings_ui::TwipRect& place)
{
    control.Move(place.left, place.top, place.width, place.height);
}

void PutDesignProperties(forms::PropertyStore& store, const char* name, const char* caption)
{
    forms::PropertyBag& bag = store.Bag(name);
    bag.WriteProperty("Caption", std::string(caption), std::string("Command"));
    bag.WriteProperty("Font", settings_ui::DialogFont(), forms::FontSpec{});
}

RECT FrameAround(RECT client)
{
    AdjustWindowRectEx(&client, kDialogStyle, FALSE, 0);
    return client;
}

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

}  // namespace

SettingsDialog::SettingsDialog(MusicSettings& music, ProfileStore& profile, ProgramServices& services)
    : forms::Form(kSettingsDialogCaption, forms::FormStyle{kDialogStyle, 0, RGB(128, 128, 128)}),
      panel(*this),
      trackBox(panel, "BGM_Repeat"),
      fileButton(panel, kFileButtonName),
      saveButton(*this, kSaveButtonName),
      cancelButton(*this, kCancelButtonName),
      rules_(*this, music, profile, services),
      backdrop_(*this)
{
    SetFont(std::make_shared<forms::Font>(settings_ui::DialogFont()));
    PlaceParts();
    PutDesignProperties(Properties(), kFileButtonName, kFileButtonCaption);
    PutDesignProperties(Properties(), kSaveButtonName, kSaveButtonCaption);
    PutDesignProperties(Properties(), kCancelButtonName, kCancelButtonCaption);
    // Tab order: the track box, the file button, save, cancel (the panel takes no focus).
    trackBox.SetTabIndex(0);
    fileButton.SetTabIndex(1);
    saveButton.SetTabIndex(2);
    cancelButton.SetTabIndex(3);

    const std::wstring version = forms::Widen(QV_VERSION_TEXT);
    backdrop_.labels = {
        {kDialogPlaces.versionLabel, L"Designed by Ombrix Ver." + version, kWhite},
        {kDialogPlaces.addressLabel, forms::Widen(kMakerAddress), kWhite, true},
    };
    panel.OptionPressed = [this](int option) { rules_.OnOptionMouseDown(option); };
    fileButton.Click = [this] { rules_.OnFileButtonClick(); };
    saveButton.Click = [this] { rules_.OnSaveClick(); };
    cancelButton.Click = [this] { rules_.OnCancelClick(); };
}

SettingsDialog::~SettingsDialog()
{
    if (icon_ != nullptr) DestroyIcon(icon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

void SettingsDialog::PlaceParts()
{
    Place(panel, kDialogPlaces.panel);
    Place(trackBox, kDialogPlaces.trackBox);
    Place(fileButton, kDialogPlaces.fileButton);
    Place(saveButton, kDialogPlaces.saveButton);
    Place(cancelButton, kDialogPlaces.cancelButton);
}

void SettingsDialog::OnLoad()
{
    // The design size: the client area inside the frame.
    const RECT client = kDialogPlaces.client.Pixels();
    const RECT frame = FrameAround(client);
    Move(0, 0, forms::ToTwips(frame.right - frame.left), forms::ToTwips(frame.bottom - frame.top));
    backdrop_.MovePixels(0, 0, client.right, client.bottom);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    handCursor_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER));
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON, 32, 32, 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_ != nullptr) SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    if (smallIcon_ != nullptr) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    loading_ = true;
    rules_.OnLoad();
    loading_ = false;
    panel.Compose();
}

// First show: shade the window's client area, then the panel.
void SettingsDialog::OnResize()
{
    if (shownOnce_ || !IsWindowVisible(hwnd())) return;
    shownOnce_ = true;
    RECT client;
    GetClientRect(hwnd(), &client);
    backdrop_.MovePixels(0, 0, client.right, client.bottom);
    backdrop_.SetRows(ShadeRows(ShadedSurface::Window, client.bottom));
    panel.SetShaded();
    panel.Compose();
}

// On a monitor of another scale the whole dialog is laid out again from its
// twips: the controls by the form (faces, fonts), then here the frame, the
// shading and the panel with its marks.
void SettingsDialog::OnDpiChanged()
{
    // The frame as the window has it now: at the new scale the system draws
    // the caption and borders at their new sizes (the system-wide metrics
    // that AdjustWindowRectEx reads stay those of the primary's scale).
    RECT place = {}, inside = {};
    GetWindowRect(hwnd(), &place);
    GetClientRect(hwnd(), &inside);
    const int frameWidth = (place.right - place.left) - inside.right;
    const int frameHeight = (place.bottom - place.top) - inside.bottom;
    const RECT client = kDialogPlaces.client.Pixels();
    SetWindowPos(hwnd(), nullptr, place.left, place.top, client.right + frameWidth, client.bottom + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    backdrop_.MovePixels(0, 0, client.right, client.bottom);
    if (shownOnce_) backdrop_.SetRows(ShadeRows(ShadedSurface::Window, client.bottom));
    panel.Compose();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void SettingsDialog::OnUnload()
{
    rules_.OnUnload();
}

bool SettingsDialog::OverAddress(POINT client) const
{
    const RECT address = kDialogPlaces.addressLabel.Pixels();
    return PtInRect(&address, client) != FALSE;
}

bool SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
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
        if (LOWORD(lParam) != HTCLIENT || !OverAddress(at)) return false;
        SetCursor(handCursor_);
        result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN:
        addressPressed_ = OverAddress(PointOf(lParam));
        if (addressPressed_) SetCapture(hwnd());
        return addressPressed_;
    case WM_LBUTTONUP:
        if (!addressPressed_) return false;
        addressPressed_ = false;
        ReleaseCapture();
        if (OverAddress(PointOf(lParam))) rules_.OnAddressClick();
        return true;
    default:
        return false;
    }
}

void SettingsDialog::PanelChanged()
{
    if (!loading_) panel.Compose();
}

int SettingsDialog::ScreenWidthTwips() const { return forms::ScreenWidthTwips(); }
int SettingsDialog::ScreenHeightTwips() const { return forms::ScreenHeightTwips(); }

int SettingsDialog::DialogWidthTwips() const
{
    RECT r = {};
    GetWindowRect(hwnd(), &r);
    return forms::ToTwips(r.right - r.left);
}

int SettingsDialog::DialogHeightTwips() const
{
    RECT r = {};
    GetWindowRect(hwnd(), &r);
    return forms::ToTwips(r.bottom - r.top);
}

void SettingsDialog::MoveDialog(int leftTwips, int topTwips)
{
    SetWindowPos(hwnd(), nullptr, forms::ToPixels(leftTwips), forms::ToPixels(topTwips), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::InitCommandButtons()
{
    for (Command* button : {&fileButton, &saveButton, &cancelButton}) button->Rules().Initialize();
}

void SettingsDialog::SetTrackBoxEnabled(bool enabled) { trackBox.SetEnabled(enabled); }
void SettingsDialog::SetFileButtonEnabled(bool enabled) { fileButton.Rules().SetEnabled(enabled); }

void SettingsDialog::SetOptionMark(int index, bool on)
{
    if (index < 0 || index >= settings_ui::kOptionCount) return;
    panel.SetMark(index, on);
    PanelChanged();
}

void SettingsDialog::SetTrackText(const std::string& text) { trackBox.SetText(text); }
std::string SettingsDialog::TrackText() const { return trackBox.Text(); }
void SettingsDialog::AddTrackEntry(const std::string& text) { trackBox.AddItem(text); }

void SettingsDialog::SetFileCaption(const std::string& path)
{
    panel.SetFileCaption(path);
    PanelChanged();
}

std::optional<ScreenPoint> SettingsDialog::CursorPosition() const
{
    POINT at;
    if (!GetCursorPos(&at)) return std::nullopt;
    return ScreenPoint{at.x, at.y};
}

void SettingsDialog::AnimateOpen(ScreenPoint from)
{
    RECT window = {}, cursor = {from.x, from.y, from.x, from.y};
    GetWindowRect(hwnd(), &window);
    DrawAnimatedRects(hwnd(), IDANI_CAPTION, &cursor, &window);
}

void SettingsDialog::AnimateClose(ScreenPoint to)
{
    RECT window = {}, cursor = {to.x, to.y, to.x, to.y};
    GetWindowRect(hwnd(), &window);
    DrawAnimatedRects(hwnd(), IDANI_CAPTION, &window, &cursor);
}

void SettingsDialog::SetPointer(DialogPointer pointer)
{
    forms::SetMousePointer(pointer == DialogPointer::Hourglass ? forms::MousePointer::Hourglass
                                                               : forms::MousePointer::Default);
}

std::optional<std::string> SettingsDialog::ChooseMusicFile(const std::string& folder)
{
    return ::ChooseMusicFile(hwnd(), folder);
}

void SettingsDialog::RefuseMusicFile(const std::string& path, std::size_t longest)
{
    const std::wstring text = L"ﾌｧｲﾙのﾊﾟｽが長すぎます (" + std::to_wstring(path.size()) + L" ﾊﾞｲﾄ)。\nBGMに使えるのは " +
                              std::to_wstring(longest) + L" ﾊﾞｲﾄまでのﾊﾟｽです。\n\n" + FromAnsi(path);
    MessageBoxW(hwnd(), text.c_str(), kChooserTitle, MB_OK | MB_ICONEXCLAMATION);
}

void SettingsDialog::OpenAddress(const std::string& address)
{
    // shell32 is loaded when the address is first opened; without it nothing opens.
    static SystemLibrary shell32("shell32.dll");
    using OpenFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    if (const auto open = shell32.Find<OpenFunction>("ShellExecuteA"))
        open(hwnd(), "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

void SettingsDialog::CloseDialog()
{
    Unload(forms::QueryUnloadReason::FormCode);
}
