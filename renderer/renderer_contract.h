// What the saver and the renderer know of each other, defined once for both.
#pragma once
#include <string>

// The renderer's window, as the saver (and any other program) finds it.
constexpr const char* kRendererWindowTitle = "Quorvellanto_VC";
constexpr const char* kRendererWindowClass = "MyClass";  // Win32 only

// How the renderer tells the program that started it that its windows are up:
// it sets a manual-reset event named after its own process id, in the user's
// session, and keeps it until it ends. The starter waits for that event (or
// the renderer's end, or a bound) before it starts its own window manager, so
// that the two do not start theirs side by side.

inline std::string WindowsUpEventName(unsigned long processId)
{
    return "Local\\Quorvellanto renderer up " + std::to_string(processId);
}
