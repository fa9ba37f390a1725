#include "runtime/platform.h"

#include "runtime/faces.h"
#include "runtime/printerfonts_windows.h"

#include <QApplication>
#include <QCommonStyle>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

// The names are the default printer's fonts. A machine without a printer, or with one that cannot
// be read, still has fonts to look at: the screen's, as GDI names them. Qt's own list (DirectWrite's
// from Qt 6.8 on) holds fewer of them; it is taken only where the screen's device cannot be read.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<ReadAheadFonts>([] {
        const GdiCalls gdi = GdiCalls::system();
        if (std::optional<QStringList> printer = printerFamilies(gdi, PrinterPatience))
            return *printer;
        QStringList screen = screenFamilies(gdi);
        return screen.isEmpty() ? QFontDatabase::families() : screen;
    });
}

// The forms are drawn as the system draws its own dialogs, on every Windows: the native theme's
// style. From Windows 11 on, Qt would otherwise take its "windows11" style, whose taller, rounded
// controls with their own palette no longer fit the forms' measured boxes or keep their grey.
void setPlatformStyle()
{
    QApplication::setStyle(QStringLiteral("windowsvista"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // With dark mode for apps, Qt gives dark colours to what the style does not draw itself, the
    // text of an edit box among it, white on the style's white: the forms keep their light colours.
    QGuiApplication::styleHints()->setColorScheme(Qt::ColorScheme::Light);
#endif
}

// A Windows drop-down list shows its chosen entry in the system's highlight colour. The vista style
// draws it in Explorer's pale blue instead, from a theme it opens on a hidden top-level window of its
// own, made the first time an entry is drawn chosen; Wine makes that window the active one, which
// takes the keyboard from the form and closes the list that was opening.
QStyle *listEntryStyle()
{
    static QCommonStyle *style = [] {
        auto *plain = new QCommonStyle;
        plain->setParent(qApp);
        return plain;
    }();
    return style;
}

// Qt draws in the system's message font: Segoe UI, or under Wine "MS Shell Dlg", which Wine
// substitutes with its own Tahoma. Where that face is missing (a Wine prefix without Wine's own
// fonts), GDI still lists the name, and Qt draws it in the first installed family in alphabetical
// order, which may be any face at all: a math face whose line does not fit an edit box, say. An
// installed face of the same kind takes its place.
void nameInterfaceFace()
{
    QFont font = QGuiApplication::font();
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0)
        return;
    const QString face = Faces::firstInstalled({ QStringLiteral("Segoe UI"), QStringLiteral("Tahoma"),
        QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
        QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans") });
    if (face.isEmpty())
        return;
    font.setFamilies({ face });
    QGuiApplication::setFont(font);
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

// Qt's Windows platform is the only one.
void choosePlatform()
{
}

// Windows draws each window's frame and buttons from its flags, and honours them.
void keepWindowsAsAsked(QApplication &)
{
}

// A window without a frame is drawn without one: its flags say enough.
void askForNoDecorations(QWidget *)
{
}

// The program that has the foreground may give it to another of its windows.
void handActivationTo(QWidget *window)
{
    window->raise();
    window->activateWindow();
}

// Qt's Windows teardown ends.
void boundTheEnd(int)
{
}
