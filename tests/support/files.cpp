#include "files.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace support {

std::string ReadWholeFile(const std::string& path, long long offset)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in || (offset > 0 && !in.seekg(offset))) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

#ifndef _WIN32
std::string CommandOutput(const std::string& command, int* status)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status != nullptr) *status = rc;
    return out;
}
#endif

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

long long FileSizeOf(const std::string& path)
{
    // Narrow paths go to the C library as they are (the ANSI code page on Windows).
    std::ifstream in(path.c_str(), std::ios::binary | std::ios::ate);
    return in ? static_cast<long long>(in.tellg()) : -1;
}

std::string HexColour(unsigned long rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", rgb & 0xFFFFFFul);
    return text;
}

std::string HexBytes(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string SettingsText(int kind, int repeat, const std::string& file, const std::string& separator)
{
    // BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ; the file name has no leading blank.
    return "[Section]\r\nBGM\x8B\xE6\x95\xAA" + separator + std::to_string(kind) + "\r\nBGM\xD8\xCB\xDF\xB0\xC4" +
           separator + std::to_string(repeat) + "\r\nBGM\xCC\xA7\xB2\xD9=" + file + "\r\n";
}

long LoudSamples(const std::string& bytes)
{
    long loud = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const int sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (sample > 300 || sample < -300) ++loud;
    }
    return loud;
}

}  // namespace support
