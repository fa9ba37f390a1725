#pragma once

#include <QStringList>

#include <optional>

#include <windows.h>

// The Windows calls the printer's font list is read with. The program uses the system's own; a
// test gives its own printer in their place.
struct GdiCalls {
    BOOL(WINAPI *getDefaultPrinter)(LPWSTR name, LPDWORD size);
    HDC(WINAPI *createDC)(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW *mode);
    int(WINAPI *enumFontFamilies)(HDC dc, LPLOGFONTW font, FONTENUMPROCW proc, LPARAM data, DWORD flags);
    BOOL(WINAPI *deleteDC)(HDC dc);

    static GdiCalls system();
};

// The font families the default printer offers, one name per family, in the order the printer
// reports them; nothing where there is no default printer or its device cannot be opened.
std::optional<QStringList> printerFamilies(const GdiCalls &gdi);
