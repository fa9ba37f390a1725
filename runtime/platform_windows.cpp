#include "runtime/platform.h"

#include "runtime/printerfonts_windows.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QWidget>
#include <QWindow>

// The names are the default printer's fonts. A machine without a printer, or with one that cannot
// be read, still has fonts to look at: the screen's.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<ReadAheadFonts>([] {
        if (std::optional<QStringList> printer = printerFamilies(GdiCalls::system(), PrinterPatience))
            return *printer;
        return QFontDatabase::families();
    });
}

// The forms are drawn as the system draws its own windows.
void setPlatformStyle()
{
}

// Beside the program, where its packages put them: Qt's own folder is where Qt was built.
QString qtTranslationsFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
}

// Windows works out a window's frame from its style as the window is created.
QMargins frameBeforeShow(QWidget *window)
{
    window->winId();
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

// A window without a frame is drawn without one: its flags say enough.
void askForNoDecorations(QWidget *)
{
}

// Qt's Windows teardown ends.
void boundTheEnd(int)
{
}
