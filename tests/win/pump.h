// Runs the forms' message loop for a while, as a program between events does.
#pragma once
#include <windows.h>

#include "forms/application.h"

namespace win {

inline void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        forms::DoEvents();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

}  // namespace win
