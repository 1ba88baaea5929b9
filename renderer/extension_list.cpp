#include "extension_list.h"

#include <cstring>

bool HasExtension(const char* list, const char* name)
{
    if (list == nullptr || name == nullptr || *name == '\0') return false;
    const size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + 1, name)) {
        const bool startsWord = p == list || p[-1] == ' ';
        const bool endsWord = p[length] == '\0' || p[length] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}
