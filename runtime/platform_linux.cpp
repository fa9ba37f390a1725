#include "runtime/platform.h"

#include "runtime/faces.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

// No printer offers fonts of its own here: the names are the installed families, each once by its
// own name however many foundries make it. Qt lists its generic names beside them, which are no
// family of their own.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<ReadAheadFonts>([] {
        QStringList families = Faces::listedOnce(QFontDatabase::families());
        families.removeIf(Faces::isGeneric);
        return families;
    });
}

// GNOME's compositor leaves a Wayland client's title bar to the client, and Qt's own offers
// maximize and minimize on every window, fixed size or not, and maximizes one when asked; nor can
// a Wayland client place its windows or say that one is a splash. Through Xwayland the same
// compositor frames the program's windows itself, as their flags ask, and lets them place
// themselves. So in a GNOME Wayland session with an X display the program is an X client, as
// every Qt 5 program was there; where that display does not answer it is a Wayland client after
// all.
void choosePlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")
        || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    if (qgetenv("XDG_CURRENT_DESKTOP").toLower().split(':').contains("gnome"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

namespace {

// Qt's own title bar, drawn on a Wayland client where the compositor draws none (GNOME's, when the
// user names the Wayland platform), offers maximize on every window, and such compositors obey it
// even for a window of fixed size; one without a maximize button is given back its size at once.
class NoMaximizeWithoutButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(object);
        if (event->type() == QEvent::WindowStateChange && window && window->isWindow()
            && !window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) && window->isMaximized())
            QTimer::singleShot(0, window,
                [window] { window->setWindowState(window->windowState() & ~Qt::WindowMaximized); });
        return false;
    }
};

} // namespace

void keepWindowsAsAsked(QApplication &app)
{
    if (QGuiApplication::platformName() == QLatin1StringView("wayland"))
        app.installEventFilter(new NoMaximizeWithoutButton(&app));
}

// Without a desktop's own settings Qt asks fontconfig for the face of a generic name.
void nameInterfaceFace()
{
    Faces::nameInterfaceFace();
}

// Desktop styles differ from one Linux desktop to the next; Fusion draws the forms alike on all.
void setPlatformStyle()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// Where the distribution keeps them, beside Qt itself.
QString qtTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

namespace {

xcb_connection_t *xConnection()
{
    // Other platforms (offscreen, for one) may answer for X without a connection to a server.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1StringView("xcb") || !x11)
        return nullptr;
    return x11->connection();
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, std::strlen(name), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t found = reply->atom;
    std::free(reply);
    return found;
}

// A window's property of 32-bit values, up to a count of them; empty where it has none.
std::vector<quint32> cardinals(
    xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, quint32 count)
{
    std::vector<quint32> values;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, false, window, property, type, 0, count), nullptr);
    if (!reply)
        return values;
    if (reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

} // namespace

// An X window manager frames a window as it maps it; one that supports it says beforehand how
// large the frame will be, when asked for _NET_FRAME_EXTENTS with _NET_REQUEST_FRAME_EXTENTS.
QMargins frameBeforeShow(QWidget *window)
{
    using namespace std::chrono_literals;
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return QMargins();
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    if (!geometry)
        return QMargins();
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    const std::vector<quint32> supported
        = cardinals(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    if (request == XCB_ATOM_NONE || std::find(supported.begin(), supported.end(), request) == supported.end())
        return QMargins();

    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, false, root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
    // The window manager answers as soon as it reads the request; one that is busy is not waited
    // for long, and the window is then placed as if it had no frame.
    const auto deadline = std::chrono::steady_clock::now() + 300ms;
    do {
        const std::vector<quint32> frame = cardinals(connection, id, extents, XCB_ATOM_CARDINAL, 4);
        if (frame.size() == 4) {
            const qreal ratio = window->windowHandle() ? window->windowHandle()->devicePixelRatio() : 1.0;
            const auto logical = [ratio](quint32 pixels) { return qRound(pixels / ratio); };
            return QMargins(logical(frame[0]), logical(frame[2]), logical(frame[1]), logical(frame[3]));
        }
        std::this_thread::sleep_for(2ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return QMargins();
}

// On X, Qt gives a splash window its type but leaves out the Motif hints: window managers that
// decorate from those hints alone (sway's XWayland, for one) give the splash a title bar and a
// border. The hints asking for no decoration are set here, once the native window exists and
// before it is mapped; Qt writes them again only when the window's flags change.
void askForNoDecorations(QWidget *window)
{
    xcb_connection_t *connection = xConnection();
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t hints = atom(connection, "_MOTIF_WM_HINTS");
    if (hints == XCB_ATOM_NONE)
        return;
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
