// The forms layer on the real window manager: hidden forms findable by title,
// the order of query-unload and unload, timers on the user-interface thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/timer.h"

namespace {

class RecordingForm : public forms::Form {
public:
    explicit RecordingForm(const char* caption) : Form(caption) {}
    std::vector<std::string> events;
    bool cancelNext = false;

private:
    void OnLoad() override { events.push_back("load"); }
    void OnQueryUnload(bool& cancel, forms::QueryUnloadReason reason) override
    {
        events.push_back("query-unload " + std::to_string(static_cast<int>(reason)));
        cancel = cancelNext;
        cancelNext = false;
    }
    void OnUnload() override { events.push_back("unload"); }
};

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

TEST(Forms, LoadedFormIsHiddenAndFindableByItsCaption)
{
    RecordingForm form("Quorvellanto_FormsTest");
    EXPECT_EQ(FindWindowA(nullptr, "Quorvellanto_FormsTest"), nullptr);
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(FindWindowA(nullptr, "Quorvellanto_FormsTest"), form.hwnd());
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
    EXPECT_EQ(form.events, (std::vector<std::string>{"load"}));
    form.Unload();
    EXPECT_EQ(FindWindowA(nullptr, "Quorvellanto_FormsTest"), nullptr);
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "query-unload 1", "unload"}));
}

TEST(Forms, CloseMessageRunsQueryUnloadWhichMayCancel)
{
    RecordingForm form("Quorvellanto_FormsTest2");
    ASSERT_TRUE(form.Load());
    form.cancelNext = true;
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.Loaded());
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "query-unload 0", "query-unload 0", "unload"}));
}

TEST(Forms, FormDestroyedFromOutsideUnloads)
{
    RecordingForm form("Quorvellanto_FormsTest3");
    ASSERT_TRUE(form.Load());
    const int before = forms::LoadedFormCount();
    DestroyWindow(form.hwnd());
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(forms::LoadedFormCount(), before - 1);
    EXPECT_EQ(form.events.back(), "unload");
}

TEST(Forms, TimersTickWhileOnAndStopWhenOff)
{
    RecordingForm form("Quorvellanto_FormsTest4");
    int fast = 0, off = 0;
    forms::Timer fastTimer(form, 50, true, [&] { ++fast; });
    forms::Timer offTimer(form, 50, false, [&] { ++off; });
    ASSERT_TRUE(form.Load());
    Pump(600);
    EXPECT_GE(fast, 3);
    EXPECT_EQ(off, 0);
    fastTimer.SetEnabled(false);
    const int stopped = fast;
    offTimer.SetEnabled(true);
    Pump(400);
    EXPECT_EQ(fast, stopped);
    EXPECT_GE(off, 2);
    form.Unload();
}

}  // namespace

TEST(Forms, ProgramWideMousePointerOverridesTheFormsCursor)
{
    RecordingForm form("Quorvellanto_FormsTest5");
    ASSERT_TRUE(form.Load());
    forms::SetMousePointer(forms::MousePointer::Hourglass);
    EXPECT_TRUE(SendMessageW(form.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.hwnd()), HTCLIENT));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    forms::SetMousePointer(forms::MousePointer::Default);
    EXPECT_EQ(forms::MousePointerCursor(), nullptr);
    form.Unload();
}

TEST(Forms, ScreenMeasuresInTwips)
{
    EXPECT_EQ(forms::TwipsPerPixelX(), 15) << "96 dots per inch";
    EXPECT_EQ(forms::ScreenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * 15);
    EXPECT_EQ(forms::ScreenHeightTwips(), GetSystemMetrics(SM_CYSCREEN) * 15);
}
