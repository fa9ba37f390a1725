#include "runtime/printerfonts_windows.h"

#include <QSet>

#include <algorithm>
#include <memory>
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

// The opening of a printer's device, shared by the thread that opens it and the one that waits:
// whichever lets go last frees it, so the waiting side may give up at any moment. Windows' own
// thread, lock and event: under Wine, MinGW's condition variable now and then missed the wake-up.
struct Opening {
    GdiCalls gdi;
    std::wstring printer;
    HANDLE wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SRWLOCK lock = SRWLOCK_INIT;
    bool answered = false;
    bool abandoned = false;
    HDC dc = nullptr;

    ~Opening()
    {
        if (wake)
            CloseHandle(wake);
    }
};

DWORD WINAPI openDeviceThread(void *parameter)
{
    const std::unique_ptr<std::shared_ptr<Opening>> held(static_cast<std::shared_ptr<Opening> *>(parameter));
    Opening &opening = **held;
    // GDI ignores the driver name for a printer and takes the device's own.
    HDC dc = opening.gdi.createDC(nullptr, opening.printer.c_str(), nullptr, nullptr);
    AcquireSRWLockExclusive(&opening.lock);
    const bool abandoned = opening.abandoned;
    opening.dc = dc;
    opening.answered = true;
    ReleaseSRWLockExclusive(&opening.lock);
    if (abandoned && dc)
        opening.gdi.deleteDC(dc);
    SetEvent(opening.wake);
    return 0;
}

// Opens the device on a thread of its own, the process's end not waiting for it; the device, or
// nothing, once it has answered within the patience given.
HDC openDevice(const GdiCalls &gdi, const std::wstring &printer, std::chrono::milliseconds patience)
{
    auto opening = std::make_shared<Opening>();
    if (!opening->wake)
        return nullptr;
    opening->gdi = gdi;
    opening->printer = printer;
    auto *held = new std::shared_ptr<Opening>(opening);
    HANDLE thread = CreateThread(nullptr, 0, openDeviceThread, held, 0, nullptr);
    if (!thread) {
        delete held;
        return nullptr;
    }
    CloseHandle(thread);
    WaitForSingleObject(opening->wake, DWORD(std::min<long long>(patience.count(), INFINITE - 1)));
    // It may have answered between the end of the wait and now: what it answered is taken then.
    AcquireSRWLockExclusive(&opening->lock);
    const bool answered = opening->answered;
    opening->abandoned = !answered;
    HDC dc = answered ? opening->dc : nullptr;
    ReleaseSRWLockExclusive(&opening->lock);
    return dc;
}

// The families a device offers, once each, in the order GDI reports them.
QStringList deviceFamilies(const GdiCalls &gdi, HDC dc)
{
    LOGFONTW all {};
    all.lfCharSet = DEFAULT_CHARSET;
    Families families;
    gdi.enumFontFamilies(
        dc, &all, reinterpret_cast<FONTENUMPROCW>(addFamily), reinterpret_cast<LPARAM>(&families), 0);
    return families.names;
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
    QStringList names = deviceFamilies(gdi, dc);
    gdi.deleteDC(dc);
    return names;
}

QStringList screenFamilies(const GdiCalls &gdi)
{
    HDC dc = gdi.createDC(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!dc)
        return {};
    QStringList names = deviceFamilies(gdi, dc);
    gdi.deleteDC(dc);
    return names;
}
