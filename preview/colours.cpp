#include "preview/colours.h"

const std::array<NamedColour, 14> NamedColours { {
    { "Negro", 0x000000 },
    { "Rojo oscuro", 0x000080 },
    { "Verde oscuro", 0x008000 },
    { "Oliva", 0x008080 },
    { "Azul marino", 0x800000 },
    { "Púrpura", 0x800080 },
    { "Gris", 0x808080 },
    { "Plateado", 0xC0C0C0 },
    { "Rojo", 0x0000FF },
    { "Verde", 0x00FF00 },
    { "Amarillo", 0x00FFFF },
    { "Azul", 0xFF0000 },
    { "Fucsia", 0xFF00FF },
    { "Agua marina", 0xFFFF00 },
} };
