#include "runtime/platform.h"

#include "runtime/faces.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

// No printer offers fonts of its own here: the names are the installed families. Qt lists its
// generic names beside them, which are no family of their own.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<ReadAheadFonts>([] {
        QStringList families = QFontDatabase::families();
        families.removeIf(Faces::isGeneric);
        return families;
    });
}

// Desktop styles differ from one Linux desktop to the next; Fusion draws the forms alike on all.
void setPlatformStyle()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// On X, Qt gives a splash window its type but leaves out the Motif hints: window managers that
// decorate from those hints alone (sway's XWayland, for one) give the splash a title bar and a
// border. The hints asking for no decoration are set here, once the native window exists and
// before it is mapped; Qt writes them again only when the window's flags change.
void askForNoDecorations(QWidget *window)
{
    // Other platforms (offscreen, for one) may answer for X without a connection to a server.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1StringView("xcb") || !x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    constexpr char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, std::strlen(name), name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t hints = reply->atom;
    std::free(reply);
    // flags (decorations given), functions, decorations (none), input mode, status.
    constexpr std::array<quint32, 5> noDecorations { 1u << 1, 0, 0, 0, 0 };
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, id, hints, hints, 32, noDecorations.size(), noDecorations.data());
    xcb_flush(connection);
}

// Qt's Wayland client can deadlock while it stops its event threads at the end (seen with Qt 6.4
// on sway, about one end in ten). The viewer has nothing left to save by then.
void boundTheEnd(int status)
{
    if (QGuiApplication::platformName() != QLatin1StringView("wayland"))
        return;
    std::thread([status] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        std::fflush(nullptr);
        std::_Exit(status);
    }).detach();
}
