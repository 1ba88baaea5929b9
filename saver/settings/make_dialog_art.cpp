// Draws the settings dialog's own artwork at build time: its 32 x 32 icon
// (a ring of coloured spheres on navy, as the animation shows them) and the
// pointing-hand cursor of the address label (two colours, hot spot at the
// fingertip, 12, 10).
// Usage: make_dialog_art <icon.ico> <hand.cur>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 32;

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The AND mask: one bit a pixel, rows bottom-up and padded to 32 bits; 1 is see-through.
std::string AndMask(const std::vector<bool>& opaque)
{
    std::string mask;
    for (int y = kSide - 1; y >= 0; --y) {
        for (int byte = 0; byte < kSide / 8; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (!opaque[y * kSide + byte * 8 + bit]) bits |= 0x80u >> bit;
            mask += static_cast<char>(bits);
        }
    }
    return mask;
}

std::string Header(unsigned bitCount, unsigned imageBytes)
{
    std::string h;
    Put32(h, 40);
    Put32(h, kSide);
    Put32(h, kSide * 2);  // colour and mask halves
    Put16(h, 1);
    Put16(h, bitCount);
    Put32(h, 0);
    Put32(h, imageBytes);
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, bitCount == 1 ? 2 : 0);
    Put32(h, 0);
    return h;
}

// type 1 icon (fields: planes, bit count), type 2 cursor (fields: hot spot x, y).
std::string Container(unsigned type, unsigned field1, unsigned field2, const std::string& image)
{
    std::string out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, 1);
    out += static_cast<char>(kSide);
    out += static_cast<char>(kSide);
    out += static_cast<char>(0);
    out += static_cast<char>(0);
    Put16(out, field1);
    Put16(out, field2);
    Put32(out, static_cast<unsigned>(image.size()));
    Put32(out, 6 + 16);
    return out + image;
}

std::string Icon()
{
    std::vector<std::uint32_t> argb(kSide * kSide, 0);
    std::vector<bool> opaque(kSide * kSide, false);
    const std::uint32_t colours[6] = {0xFF3030, 0xFFC020, 0x30D040, 0x20B0FF, 0x6050FF, 0xFF40C0};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
            if (dx * dx + dy * dy <= 15.5 * 15.5) {
                argb[y * kSide + x] = 0xFF000000u | 0x101040u;
                opaque[y * kSide + x] = true;
            }
        }
    }
    for (int i = 0; i < 6; ++i) {
        const double angle = i * 3.14159265 / 3;
        const double cx = 16 + 10 * std::cos(angle), cy = 16 + 10 * std::sin(angle);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double r2 = dx * dx + dy * dy;
                if (r2 > 3.6 * 3.6) continue;
                // A lit sphere: brighter towards its upper left.
                const double light = 0.55 + 0.45 * std::max(0.0, 1 - ((dx + 1.2) * (dx + 1.2) + (dy + 1.2) * (dy + 1.2)) / 13);
                const std::uint32_t c = colours[i];
                const auto channel = [&](int shift) {
                    return static_cast<std::uint32_t>(std::min(255.0, ((c >> shift) & 0xFF) * light)) << shift;
                };
                argb[y * kSide + x] = 0xFF000000u | channel(16) | channel(8) | channel(0);
            }
        }
    }
    std::string pixels;
    for (int y = kSide - 1; y >= 0; --y)
        for (int x = 0; x < kSide; ++x) Put32(pixels, argb[y * kSide + x]);
    const std::string mask = AndMask(opaque);
    return Container(1, 1, 32, Header(32, static_cast<unsigned>(pixels.size() + mask.size())) + pixels + mask);
}

// A pointing hand: the index finger up with its tip at (12, 10), three folded
// fingers and the palm below, white with a black outline.
std::string HandCursor()
{
    std::vector<bool> inside(kSide * kSide, false);
    auto fill = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) inside[y * kSide + x] = true;
    };
    fill(11, 11, 14, 22);  // index finger
    fill(12, 10, 13, 10);  // its tip
    fill(15, 17, 17, 22);  // folded fingers
    fill(18, 18, 20, 23);
    fill(21, 19, 23, 24);
    fill(8, 20, 10, 24);   // thumb
    fill(10, 22, 23, 29);  // palm
    std::vector<bool> opaque(kSide * kSide, false), white(kSide * kSide, false);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < kSide && ny < kSide && inside[ny * kSide + nx]) near = true;
                }
            opaque[y * kSide + x] = near;  // the shape and its one-pixel outline
            white[y * kSide + x] = inside[y * kSide + x];
        }
    }
    std::string image;
    std::string palette;
    Put32(palette, 0x000000);
    Put32(palette, 0xFFFFFF);
    std::string colour;
    for (int y = kSide - 1; y >= 0; --y) {
        for (int byte = 0; byte < kSide / 8; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (white[y * kSide + byte * 8 + bit]) bits |= 0x80u >> bit;
            colour += static_cast<char>(bits);
        }
    }
    const std::string mask = AndMask(opaque);
    image = Header(1, static_cast<unsigned>(colour.size() + mask.size())) + palette + colour + mask;
    return Container(2, 12, 10, image);
}

bool Write(const char* path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <icon.ico> <hand.cur>\n", argv[0]);
        return 2;
    }
    return Write(argv[1], Icon()) && Write(argv[2], HandCursor()) ? 0 : 1;
}
