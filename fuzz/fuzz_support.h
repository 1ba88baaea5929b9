// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer then saves the input as a crash), and the splitting of an input
// into text fields, so that inputs and reproducers stay readable text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Stops the run when `holds` is false, naming what went wrong.
#define FUZZ_CHECK(holds, what)                                                          \
    do {                                                                                 \
        if (!(holds)) {                                                                  \
            std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", __FILE__, __LINE__, \
                         std::string(what).c_str());                                     \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

inline std::string TextOf(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The text split at every `separator`; the last field runs to the end.
inline std::vector<std::string> Fields(const std::string& text, char separator, std::size_t most = SIZE_MAX)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() + 1 < most) {
        const std::size_t cut = text.find(separator, start);
        if (cut == std::string::npos) break;
        fields.push_back(text.substr(start, cut - start));
        start = cut + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

// Bytes shown as C escapes, for messages.
inline std::string Shown(const std::string& text)
{
    std::string out;
    char hex[8];
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}
