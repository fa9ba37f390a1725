#pragma once

#include <QStringList>

#include <chrono>
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

// Longer than any printer within reach takes to open its device; short enough that a splash held
// that long still reads as loading.
constexpr std::chrono::seconds PrinterPatience { 3 };

// The font families the default printer offers, one name per family, in the order the printer
// reports them; nothing where there is no default printer or its device cannot be opened.
// Opening the device of a printer out of reach (a network printer away from its network) can
// take tens of seconds: a device not opened within the patience given counts as one that cannot
// be opened. The call that opens it is then left to end on its own, closing what it opened, and
// nothing waits for it, the program's end included.
std::optional<QStringList> printerFamilies(const GdiCalls &gdi, std::chrono::milliseconds patience);

// The font families of the screen, as GDI reports them, one name per family; nothing where the
// screen's device cannot be opened.
QStringList screenFamilies(const GdiCalls &gdi);
