#include "bmp_file.h"

#include <cstdio>

namespace forms {

namespace {
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> EncodeBmp(int width, int height, std::uint32_t pixelsPerMetre,
                                    const std::function<std::uint32_t(int x, int y)>& colourAt)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out = {'B', 'M'};
    out.reserve(54 + imageBytes);
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);  // the pixels follow the two headers
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, imageBytes);
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            const std::uint32_t c = colourAt(x, y);
            out.push_back(static_cast<std::uint8_t>(c & 0xff));
            out.push_back(static_cast<std::uint8_t>((c >> 8) & 0xff));
            out.push_back(static_cast<std::uint8_t>((c >> 16) & 0xff));
        }
        for (; written < rowBytes; ++written) out.push_back(0);
    }
    return out;
}

bool WriteBytesTo(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace forms
