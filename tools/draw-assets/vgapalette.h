#pragma once

#include <QColor>

#include <vector>

// The 16 colours of Windows' VGA palette, in the order of their indices: the colour icon's palette.
inline const std::vector<QRgb> VgaPalette {
    qRgb(0, 0, 0),
    qRgb(128, 0, 0),
    qRgb(0, 128, 0),
    qRgb(128, 128, 0),
    qRgb(0, 0, 128),
    qRgb(128, 0, 128),
    qRgb(0, 128, 128),
    qRgb(192, 192, 192),
    qRgb(128, 128, 128),
    qRgb(255, 0, 0),
    qRgb(0, 255, 0),
    qRgb(255, 255, 0),
    qRgb(0, 0, 255),
    qRgb(255, 0, 255),
    qRgb(0, 255, 255),
    qRgb(255, 255, 255),
};
