#include "corner_text.h"

#include "gl_includes.h"

#include <cstring>

namespace {

// Each glyph: seven rows from the top, the leftmost pixel in bit 4.
struct Glyph {
    char character;
    unsigned char rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
};

const Glyph* FindGlyph(char c)
{
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c) return &glyph;
    }
    return nullptr;  // a space, or a character the font lacks
}

constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kAdvance = 6, kMargin = 10;

}  // namespace

void DrawCornerText(const char* text, int width, int height)
{
    const int scale = height >= 480 ? 2 : 1;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; ++i) {
        const Glyph* glyph = FindGlyph(text[i]);
        if (glyph == nullptr) continue;
        const int left = kMargin + static_cast<int>(i) * kAdvance * scale;
        for (int row = 0; row < kGlyphHeight; ++row) {
            const int bottom = kMargin + (kGlyphHeight - 1 - row) * scale;
            for (int column = 0; column < kGlyphWidth; ++column) {
                if ((glyph->rows[row] & (0x10 >> column)) == 0) continue;
                const int x = left + column * scale;
                glVertex2i(x, bottom);
                glVertex2i(x + scale, bottom);
                glVertex2i(x + scale, bottom + scale);
                glVertex2i(x, bottom + scale);
            }
        }
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
