// Black windows over every monitor but the primary one, for as long as the
// renderer runs. Input reaching them is handed to the renderer's window, so
// one set of rules ends the run whichever monitor the user touches.
#pragma once
#include <windows.h>

#include <vector>

#include "monitor_layout.h"

// The monitors as the system lists them, in physical pixels.
std::vector<MonitorRect> ListMonitors();

// The covers of the renderer's run. They go with the process: none is
// destroyed on the way out, which would only delay the end of the run.
class MonitorCovers {
public:
    MonitorCovers() = default;
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Registers the covers' class; `inputOwner` receives their key, button
    // and mouse-move messages. Returns false when the class cannot be
    // registered. From then on the monitors are also checked twice a second:
    // the owner gets a WM_TIMER of kCheckTimer, on which it calls
    // CheckMonitors.
    bool Start(HINSTANCE instance, HWND inputOwner);
    static constexpr UINT_PTR kCheckTimer = 0x5143;

    // Covers the monitors as they are now: keeps covers still in place,
    // removes those of monitors gone or moved, adds the missing ones.
    void Update();

    // A change the system did not announce (Wine announces none) reaches the
    // owner as a WM_DISPLAYCHANGE of its own.
    void CheckMonitors() const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateCover(const MonitorRect& rect) const;

    HINSTANCE instance_ = nullptr;
    HWND inputOwner_ = nullptr;
    CoverSet<HWND> covers_;
    std::vector<MonitorRect> lastMonitors_;  // as the last check or update found them
};
