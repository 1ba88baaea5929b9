#include "win32_face_painter.h"

#include <type_traits>

#include "command_resources.h"
#include "face_layout.h"
#include "win32_system_library.h"

HBITMAP LoadStatePicture(PictureFile file)
{
    const int id = IDB_BUTTON_NORMAL + static_cast<int>(file);
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void ClearFace(HDC dc, int w, int h)
{
    RECT all = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(kFaceClearColour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

namespace {

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
// Bound by name: the type must be msimg32's own, calling convention included.
static_assert(std::is_same_v<GradientFillFunction, decltype(&::GradientFill)>);

// msimg32 is no KnownDLL: only the system folder's copy is taken.
GradientFillFunction BoundGradientFill()
{
    static SystemLibrary msimg32("msimg32.dll");
    static const GradientFillFunction bound = msimg32.Find<GradientFillFunction>("GradientFill");
    return bound;
}

}  // namespace

bool FillGradient(HDC dc, int w, int h, bool invert)
{
    const GradientFillFunction gradientFill = BoundGradientFill();
    if (gradientFill == nullptr) return false;
    const auto vertices = GradientVertices(w, h, invert);
    TRIVERTEX list[2];
    for (int i = 0; i < 2; ++i) {
        list[i].x = vertices[i].x;
        list[i].y = vertices[i].y;
        list[i].Red = vertices[i].red;
        list[i].Green = vertices[i].green;
        list[i].Blue = vertices[i].blue;
        list[i].Alpha = vertices[i].alpha;
    }
    GRADIENT_RECT mesh = {1, 0};  // vertex 1 named as the upper left, vertex 0 as the lower right
    return gradientFill(dc, list, 2, &mesh, 1, GRADIENT_FILL_RECT_V) != FALSE;
}

void CopyFramePieces(HDC dc, HBITMAP picture, int w, int h, int band)
{
    if (picture == nullptr) return;
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr) return;
    HGDIOBJ previous = SelectObject(source, picture);
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    for (const PieceCopy& piece : FacePieces(w, h, band)) {
        if (piece.dstWidth <= 0 || piece.dstHeight <= 0) continue;
        StretchBlt(dc, piece.dstX, piece.dstY, piece.dstWidth, piece.dstHeight, source, piece.srcX, piece.srcY,
                   piece.srcWidth, piece.srcHeight, SRCCOPY);
    }
    SetStretchBltMode(dc, mode);
    SelectObject(source, previous);
    DeleteDC(source);
}

void DrawFaceImage(HDC dc, int w, int h, HBITMAP picture, bool invert, int band)
{
    ClearFace(dc, w, h);
    FillGradient(dc, w, h, invert);
    CopyFramePieces(dc, picture, w, h, band);
}
