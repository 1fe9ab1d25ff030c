#pragma once

#include <QRect>

// The windows were laid out in twips; at the 96 dpi they were designed for, 15 twips make one pixel.
constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}
