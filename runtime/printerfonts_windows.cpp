#include "runtime/printerfonts_windows.h"

#include <QSet>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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

// The opening of a printer's device, shared by the thread that opens it and the one that waits:
// whichever lets go last frees it, so the waiting side may give up at any moment.
struct Opening {
    GdiCalls gdi;
    std::wstring printer;
    std::mutex mutex;
    std::condition_variable done;
    bool answered = false;
    bool abandoned = false;
    HDC dc = nullptr;
};

// Opens the device on a thread of its own, the process's end not waiting for it; the device, or
// nothing, once it has answered within the patience given.
HDC openDevice(const GdiCalls &gdi, const std::wstring &printer, std::chrono::milliseconds patience)
{
    auto opening = std::make_shared<Opening>();
    opening->gdi = gdi;
    opening->printer = printer;
    std::thread([opening] {
        // GDI ignores the driver name for a printer and takes the device's own.
        HDC dc = opening->gdi.createDC(nullptr, opening->printer.c_str(), nullptr, nullptr);
        std::lock_guard lock(opening->mutex);
        if (opening->abandoned) {
            if (dc)
                opening->gdi.deleteDC(dc);
            return;
        }
        opening->dc = dc;
        opening->answered = true;
        opening->done.notify_all();
    }).detach();
    std::unique_lock lock(opening->mutex);
    if (!opening->done.wait_for(lock, patience, [&] { return opening->answered; })) {
        opening->abandoned = true;
        return nullptr;
    }
    return opening->dc;
}

} // namespace

std::optional<QStringList> printerFamilies(const GdiCalls &gdi, std::chrono::milliseconds patience)
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

    HDC dc = openDevice(gdi, printer, patience);
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
