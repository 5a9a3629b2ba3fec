#pragma once
// Layouts are drawn in twips (1440 to the inch). At 96 dpi a logical pixel is 15 twips; Qt's
// high-dpi scaling takes it from there, so every proportion holds on any screen.
#include <QRect>
#include <QSize>

namespace forms {

inline constexpr int kTwipsPerPixel = 15;

// Rounds half away from zero, on integers only, so it is usable in constant expressions.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Converts the edges rather than the size, so that neighbours that touch in twips touch in pixels.
constexpr QRect twipsRect(int left, int top, int width, int height)
{
    const int l = twipsToPixels(left);
    const int t = twipsToPixels(top);
    return QRect(l, t, twipsToPixels(left + width) - l, twipsToPixels(top + height) - t);
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

} // namespace forms
