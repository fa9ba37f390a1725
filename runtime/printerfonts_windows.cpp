#include "runtime/printerfonts_windows.h"

#include <QSet>

#include <string>

GdiCalls GdiCalls::system()
{
    return { GetDefaultPrinterW, CreateDCW, EnumFontFamiliesExW, DeleteDC };
}

namespace {

struct Families {
    QStringList names;
    QSet<QString> seen;
};

// With DEFAULT_CHARSET, Windows reports a family once for every character set it covers.
int CALLBACK addFamily(const LOGFONTW *font, const TEXTMETRICW *, DWORD, LPARAM data)
{
    auto *families = reinterpret_cast<Families *>(data);
    const QString name
        = QString::fromWCharArray(font->lfFaceName, int(wcsnlen(font->lfFaceName, LF_FACESIZE)));
    if (!families->seen.contains(name)) {
        families->seen.insert(name);
        families->names.append(name);
    }
    return 1;
}

} // namespace

std::optional<QStringList> printerFamilies(const GdiCalls &gdi)
{
    DWORD size = 0;
    gdi.getDefaultPrinter(nullptr, &size);
    if (size == 0)
        return std::nullopt;
    std::wstring printer(size, L'\0');
    if (!gdi.getDefaultPrinter(printer.data(), &size))
        return std::nullopt;
    printer.resize(wcsnlen(printer.c_str(), printer.size()));
    if (printer.empty())
        return std::nullopt;

    // GDI ignores the driver name for a printer and takes the device's own.
    HDC dc = gdi.createDC(nullptr, printer.c_str(), nullptr, nullptr);
    if (!dc)
        return std::nullopt;
    LOGFONTW all {};
    all.lfCharSet = DEFAULT_CHARSET;
    Families families;
    gdi.enumFontFamilies(
        dc, &all, reinterpret_cast<FONTENUMPROCW>(addFamily), reinterpret_cast<LPARAM>(&families), 0);
    gdi.deleteDC(dc);
    return families.names;
}
