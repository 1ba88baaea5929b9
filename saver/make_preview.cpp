// Draws the preview still at build time: frame 101 of the ring animation
// (four rings), rendered offscreen at four times 152 x 112 and averaged
// down, written as a 24-bit BMP for the saver's resources.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "egl_offscreen.h"
#include "ring_rules.h"
#include "scene.h"

void PresentFrame() {}

namespace {

constexpr int kWidth = 152, kHeight = 112, kScale = 4;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) { out.push_back(v & 0xff), out.push_back((v >> 8) & 0xff); }
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) { Put16(out, v & 0xffff), Put16(out, v >> 16); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_preview <out.bmp>\n");
        return 2;
    }
    OffscreenGl gl(kWidth * kScale, kHeight * kScale);
    if (!gl.ok()) {
        std::fprintf(stderr, "make_preview: %s\n", gl.error().c_str());
        return 1;
    }
    Scene scene;
    scene.Resize(gl.width(), gl.height());
    scene.Init();
    std::int32_t angle = 0;
    for (int frame = 1; frame <= 101; ++frame) {
        scene.DrawFrame(static_cast<float>(angle));
        angle = NextFrameAngle(angle);
    }
    const std::vector<std::uint8_t> big = gl.ReadPixels();

    // Rows bottom-up, as both OpenGL and BMP keep them; BMP pixels are BGR.
    const int rowBytes = (kWidth * 3 + 3) & ~3;
    std::vector<std::uint8_t> pixels(static_cast<size_t>(rowBytes) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < kScale; ++dy)
                    for (int dx = 0; dx < kScale; ++dx)
                        sum += big[((static_cast<size_t>(y) * kScale + dy) * gl.width() + x * kScale + dx) * 3 + c];
                pixels[static_cast<size_t>(y) * rowBytes + x * 3 + (2 - c)] =
                    static_cast<std::uint8_t>(sum / (kScale * kScale));
            }
        }
    }
    std::vector<std::uint8_t> file = {'B', 'M'};
    Put32(file, 54 + static_cast<std::uint32_t>(pixels.size()));
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, kWidth);
    Put32(file, kHeight);
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(pixels.size()));
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, 0);
    Put32(file, 0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
        std::fprintf(stderr, "make_preview: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fclose(out);
    return 0;
}
