#pragma once

#include <QColor>
#include <QRect>
#include <QtGlobal>

// Lengths in the layouts are twips: 1/1440 inch, 15 to a logical pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// Colour values are 0x00BBGGRR: red in the lowest byte.
inline QColor colourFromValue(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
