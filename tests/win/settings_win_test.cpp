// The settings dialog's platform side under the real Windows API: texts in
// Unicode, paths in the ANSI code page, and the chooser's record.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <string>

#include "settings_file.h"
#include "win32_file_chooser.h"

namespace {

TEST(AnsiPaths, ExactCharactersPassAndTheRestIsRefused)
{
    ASSERT_NE(GetACP(), 932u) << "these cases are written for a Western code page";
    EXPECT_EQ(ToAnsiExactly(L"C:\\Music\\a b.mp3"), std::optional<std::string>("C:\\Music\\a b.mp3"));
    EXPECT_EQ(ToAnsiExactly(L""), std::optional<std::string>(""));
    if (GetACP() == 1252) {
        EXPECT_EQ(ToAnsiExactly(L"C:\\M\u00fcsik\\\u00e9t\u00e9.wav"),
                  std::optional<std::string>("C:\\M\xfcsik\\\xe9t\xe9.wav"));
    }
    EXPECT_FALSE(ToAnsiExactly(L"C:\\\u97f3\u697d\\a.mp3").has_value()) << "kanji have no form here";
    EXPECT_FALSE(ToAnsiExactly(L"C:\\\u0141\u00f3d\u017a.wav").has_value()) << "no best-fit look-alike (L for \u0141)";
    EXPECT_EQ(FromAnsi("C:\\Music"), L"C:\\Music");
}

TEST(ChooserRecord, AsTheDialogSetsItUp)
{
    ChooserBuffers buffers;
    buffers.folder = L"C:\\Music";
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    const OPENFILENAMEW record = ChooserRecord(owner, buffers);
#if defined(_WIN64)
    EXPECT_EQ(record.lStructSize, offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(void*));
#else
    EXPECT_EQ(record.lStructSize, 76u);
#endif
    EXPECT_EQ(record.hwndOwner, owner);
    EXPECT_EQ(record.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(record.nMaxFile, kChooserPathCapacity);
    EXPECT_GT(record.nMaxFile, kLongestMusicPath + 1) << "a path too long to keep still comes back, to be refused";
    EXPECT_EQ(record.nMaxFileTitle, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(record.lpstrFile, buffers.file);
    EXPECT_EQ(buffers.file[0], L'\0');
    EXPECT_EQ(std::wstring(record.lpstrInitialDir), L"C:\\Music");
    EXPECT_EQ(std::wstring(record.lpstrTitle), L"\uff8c\uff67\uff72\uff99\u3092\u958b\u304f");  // ﾌｧｲﾙを開く
    EXPECT_EQ(record.Flags, 0u);
    EXPECT_EQ(record.nFilterIndex, 0u);
    EXPECT_EQ(record.lpstrDefExt, nullptr);
    // The filter: description NUL pattern NUL NUL.
    const wchar_t* filter = record.lpstrFilter;
    EXPECT_EQ(std::wstring(filter), L"BGM\uff8c\uff67\uff72\uff99 (MP3 WAV)");
    filter += wcslen(filter) + 1;
    EXPECT_EQ(std::wstring(filter), L"*.MP3;*.WAV");
    filter += wcslen(filter) + 1;
    EXPECT_EQ(*filter, L'\0');
}

}  // namespace
