// 24-bit BMP files, for the pictures drawn at build time.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms {

// The file of a `width` x `height` picture whose pixel (x, y), counted from
// the top left, has the colour `colourAt(x, y)` (0xRRGGBB): the rows stored
// bottom-up, each padded to four bytes, at `pixelsPerMetre` both ways.
std::vector<std::uint8_t> EncodeBmp(int width, int height, std::uint32_t pixelsPerMetre,
                                    const std::function<std::uint32_t(int x, int y)>& colourAt);

// Writes the bytes as the whole file at `path`; false when it cannot.
bool WriteBytesTo(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace forms
