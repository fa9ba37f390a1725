#pragma once

#include <QtGlobal>

#include <array>

struct NamedColour {
    const char *name;
    quint32 value; // 0x00BBGGRR
};

extern const std::array<NamedColour, 14> NamedColours;
