// A line of text in the bottom left corner of the frame, in white, with a
// small built-in font (5 x 7 pixels a character, each pixel drawn as a square
// of 2 x 2 on frames 480 pixels high or more). OpenGL 1.1, no window system:
// the same on every platform and offscreen.
#pragma once

// Draws `text` (the font has " .0123456789:FPS"; any other character is
// left as a space) over the frame drawn so far, whose viewport is `width` x
// `height` pixels; leaves the OpenGL state (matrices, enables, colour) as it was.
void DrawCornerText(const char* text, int width, int height);
