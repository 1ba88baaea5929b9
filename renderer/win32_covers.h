// Black windows over every monitor but the primary one, for as long as the
// renderer runs. Input reaching them is handed to the renderer's window, so
// one set of rules ends the run whichever monitor the user touches.
#pragma once
#include <windows.h>

#include <vector>

#include "monitor_layout.h"

// The monitors as the system lists them, in physical pixels.
std::vector<MonitorRect> ListMonitors();

// Registers the covers' class; `inputOwner` receives their key, button and
// mouse-move messages. Returns false when the class cannot be registered.
// From then on the monitors are also checked twice a second: a change the
// system did not announce (Wine announces none) reaches `inputOwner` as a
// WM_DISPLAYCHANGE of its own.
bool StartCovers(HINSTANCE instance, HWND inputOwner);

// Covers the monitors as they are now: keeps covers still in place, removes
// those of monitors gone or moved, adds the missing ones.
void UpdateCovers();
