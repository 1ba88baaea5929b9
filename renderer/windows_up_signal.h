// How the renderer tells the program that started it that its windows are up:
// it sets a manual-reset event named after its own process id, in the user's
// session, and keeps it until it ends. The starter waits for that event (or
// the renderer's end, or a bound) before it starts its own window manager, so
// that the two do not start theirs side by side.
#pragma once
#include <string>

inline std::string WindowsUpEventName(unsigned long processId)
{
    return "Local\\Quorvellanto renderer up " + std::to_string(processId);
}
