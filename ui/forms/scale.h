// Lengths at a display's scale. The forms measure in twips (1440 to the inch)
// and the pictures are designed in pixels at 96 dots per inch; a display of
// `dpi` dots per inch shows both in its own pixels. Plain arithmetic, so the
// rules are the same on every platform.
#pragma once

namespace forms {

constexpr int kDesignDpi = 96;
constexpr int kTwipsPerInch = 1440;

// Pixels of a length in twips, rounded toward zero: at 96, 120 and 144 dpi
// exactly twips / 15, 12 and 10, as the forms have always placed things.
constexpr int TwipsToPixels(int twips, int dpi)
{
    return static_cast<int>(static_cast<long long>(twips) * dpi / kTwipsPerInch);
}

// Twips of a length in pixels, rounded away from zero, so that TwipsToPixels
// gives the same pixels back at any scale (at 192 dpi a pixel is 7.5 twips).
constexpr int PixelsToTwips(int pixels, int dpi)
{
    if (dpi <= 0) return 0;
    const long long scaled = static_cast<long long>(pixels) * kTwipsPerInch;
    return static_cast<int>(scaled >= 0 ? (scaled + dpi - 1) / dpi : (scaled - dpi + 1) / dpi);
}

// A length designed in 96-dpi pixels, at `dpi`: rounded to the nearest pixel,
// and never below one pixel where the design has one.
constexpr int ScaledPixels(int designPixels, int dpi)
{
    const int scaled = static_cast<int>((static_cast<long long>(designPixels) * dpi + kDesignDpi / 2) / kDesignDpi);
    return designPixels > 0 && scaled < 1 ? 1 : scaled;
}

}  // namespace forms
