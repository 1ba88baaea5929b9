// Records whose sizes the program's design fixes for 32-bit Windows: the file
// chooser's record is passed with size 76, the gradient's vertices and mesh
// go to msimg32 as raw arrays, and window handles cross the command line as
// 32-bit numbers. A mistake here would only show at run time on 32-bit
// Windows, so the 32-bit build refuses to compile instead.
#include <windows.h>
#include <commdlg.h>

#include <cstddef>

#if !defined(_WIN64)
// The record up to and including lpTemplateName (the size without the
// Windows 2000 fields).
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "file chooser record of 76 bytes");
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76, "file chooser record of 76 bytes");
static_assert(sizeof(HWND) == 4, "window handles are 32-bit");
static_assert(sizeof(LONG_PTR) == 4 && sizeof(LRESULT) == 4, "pointer-sized integers are 32-bit");
#endif
static_assert(sizeof(TRIVERTEX) == 16, "gradient vertex: x, y, four 16-bit channels");
static_assert(sizeof(GRADIENT_RECT) == 8, "gradient mesh: two vertex indices");
static_assert(sizeof(COLORREF) == 4, "colours are 32-bit values");
