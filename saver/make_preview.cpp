// Draws the preview still at build time: frame 101 of the ring animation
// (four rings), rendered offscreen at four times 152 x 112 and averaged
// down, written as a 24-bit BMP for the saver's resources.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "egl_offscreen.h"
#include "forms/bmp_file.h"
#include "ring_rules.h"
#include "scene.h"

void PresentFrame() {}

namespace {
constexpr int kWidth = 152, kHeight = 112, kScale = 4;
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

    // Each pixel the average of a 4 x 4 block; OpenGL keeps the rows bottom-up.
    const auto averaged = [&](int x, int y) {
        const std::size_t row = static_cast<std::size_t>(kHeight - 1 - y) * kScale;
        std::uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int dy = 0; dy < kScale; ++dy)
                for (int dx = 0; dx < kScale; ++dx)
                    sum += big[((row + dy) * gl.width() + x * kScale + dx) * 3 + c];
            colour = colour << 8 | static_cast<std::uint32_t>(sum / (kScale * kScale));
        }
        return colour;
    };
    constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
    if (!forms::WriteBytesTo(argv[1], forms::EncodeBmp(kWidth, kHeight, kPixelsPerMetre, averaged))) {
        std::fprintf(stderr, "make_preview: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
