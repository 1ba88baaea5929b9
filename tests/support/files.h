// Files, hex text and sound samples for every test layer (host, Windows side, end to end):
// plain C++, built for the host and for Windows alike.
#pragma once
#include <string>

namespace support {

// The bytes of a file from `offset` on; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path, long long offset = 0);

void WriteWholeFile(const std::string& path, const std::string& bytes);
// -1 when there is no such file.
long long FileSizeOf(const std::string& path);

// "RRGGBB" of a 0xRRGGBB colour, for messages that compare colours.
std::string HexColour(unsigned long rgb);
// Two lower-case hex digits a byte.
std::string HexBytes(const std::string& bytes);

// Sixteen-bit little-endian samples that are not silence (beyond +-300), in
// bytes of a sound capture.
long LoudSamples(const std::string& bytes);

// The saver's settings file as a user's copy holds it (section and keys in
// code page 932), each value after `separator` ("= " as written by hand).
std::string SettingsText(int kind, int repeat, const std::string& file, const std::string& separator = "= ");

#ifndef _WIN32
// Standard output of a shell command; its exit status (as pclose gives it) in
// `status` when asked.
std::string CommandOutput(const std::string& command, int* status = nullptr);
#endif

}  // namespace support
