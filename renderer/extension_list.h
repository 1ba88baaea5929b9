// OpenGL extension lists (WGL and GLX alike): blank-separated names.
#pragma once

// True when `name` stands in `list` as a whole word; a null list has none.
bool HasExtension(const char* list, const char* name);
