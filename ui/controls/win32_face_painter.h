// Drawing a Command face with GDI: the clear, the vertical gradient through
// msimg32's GradientFill (bound by name at first use), and the eight frame
// pieces of a state picture copied without smoothing.
#pragma once
#include <windows.h>

#include "button_pictures.h"
#include "face_layout.h"

// A state picture from the program's resources; the caller deletes it.
HBITMAP LoadStatePicture(PictureFile file);

// The colour the face is cleared to; the frame covers it.
constexpr COLORREF kFaceClearColour = RGB(0xEC, 0xE9, 0xD8);

void ClearFace(HDC dc, int w, int h);
// One rectangle, vertical mode, from the two gradient vertices; false when
// msimg32 or its GradientFill cannot be had.
bool FillGradient(HDC dc, int w, int h, bool invert);
// The frame's corners and bands are `band` pixels (see FacePieces).
void CopyFramePieces(HDC dc, HBITMAP picture, int w, int h, int band = kCorner);
// The three steps in order.
void DrawFaceImage(HDC dc, int w, int h, HBITMAP picture, bool invert, int band = kCorner);
