#include "win32_file_chooser.h"

#include <commdlg.h>

#include <cstddef>

#include "win32_system_library.h"

const wchar_t kChooserTitle[] = L"ﾌｧｲﾙを開く";
const wchar_t kChooserFilter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";  // the literal adds the closing NUL

// The record without the fields Windows 2000 added: 76 bytes on 32-bit Windows.
constexpr DWORD kRecordSize = static_cast<DWORD>(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR));

std::optional<std::string> ToAnsiExactly(const std::wstring& text)
{
    if (text.empty()) return std::string();
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), ansi.data(), length,
                        nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return ansi;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

OPENFILENAMEW ChooserRecord(HWND owner, ChooserBuffers& buffers)
{
    OPENFILENAMEW record = {};
    record.lStructSize = kRecordSize;
    record.hwndOwner = owner;
    record.hInstance = GetModuleHandleW(nullptr);
    record.lpstrFilter = kChooserFilter;
    record.lpstrFile = buffers.file;
    record.nMaxFile = kChooserPathCapacity;
    record.lpstrFileTitle = buffers.fileTitle;
    record.nMaxFileTitle = kChooserTitleCapacity;
    record.lpstrInitialDir = buffers.folder.c_str();
    record.lpstrTitle = kChooserTitle;
    record.Flags = 0;
    return record;
}

std::optional<std::string> ChooseMusicFile(HWND owner, const std::string& folder)
{
    ChooserBuffers buffers;
    buffers.folder = FromAnsi(folder);
    OPENFILENAMEW record = ChooserRecord(owner, buffers);
    // comdlg32 is loaded when the chooser is first opened; without it nothing is chosen.
    static SystemLibrary comdlg32("comdlg32.dll");
    const auto open = comdlg32.Find<BOOL(WINAPI*)(LPOPENFILENAMEW)>("GetOpenFileNameW");
    if (open == nullptr || open(&record) <= 0) return std::nullopt;
    return ToAnsiExactly(buffers.file);
}
