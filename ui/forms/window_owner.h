// The object a window of ours belongs to. It is handed to CreateWindowExW as
// the creation parameter; at WM_NCCREATE it takes its window handle through
// `bind` and is kept in the window's user data, where every later message
// finds it.
#pragma once
#include <windows.h>

template <class Owner, class Bind>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam, Bind bind)
{
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        bind(*owner);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        return owner;
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
