#include "runtime/platform.h"

#include "runtime/faces.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
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
#include <optional>
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
    if (QGuiApplication::platformName() != QLatin1StringView("wayland"))
        return;
    app.installEventFilter(new NoMaximizeWithoutButton(&app));
    // Closing a window that has the keyboard makes mutter tell Qt's text input, once the window
    // is gone, that the keyboard left it; Qt 6.8 warns of that on the terminal, though nothing is
    // amiss. QT_LOGGING_RULES still has the last word.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.wayland.textinput.warning=false"));
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

QStyle *listEntryStyle()
{
    return nullptr;
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

// Whether the window manager says it supports a request or property.
bool supported(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t what)
{
    if (what == XCB_ATOM_NONE)
        return false;
    const std::vector<quint32> all
        = cardinals(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    return std::find(all.begin(), all.end(), what) != all.end();
}

// The root window of the screen a window is on; none where the server does not know the window.
xcb_window_t rootOf(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = geometry ? geometry->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(geometry);
    return root;
}

// Sends the window manager a request about one of the program's windows, as EWMH asks: a client
// message to the root window.
void askWindowManager(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window,
    xcb_atom_t request, const std::array<quint32, 5> &data = {})
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, false, root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

// The X server's time now. X has no request that answers with the time, only events that carry
// it; a property changed on a window of a connection of the program's own reports it, since Qt
// reads every event of its connection itself. None where the server cannot be reached again.
std::optional<xcb_timestamp_t> serverTimeNow(xcb_window_t root)
{
    xcb_connection_t *own = xcb_connect(nullptr, nullptr);
    std::optional<xcb_timestamp_t> now;
    if (!xcb_connection_has_error(own)) {
        const xcb_window_t window = xcb_generate_id(own);
        const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(own, XCB_COPY_FROM_PARENT, window, root, -1, -1, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        xcb_change_property(
            own, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(own);
        // An error (a root that is not this server's, where Qt was given another display) ends
        // the wait as surely as the event.
        while (xcb_generic_event_t *event = xcb_wait_for_event(own)) {
            const auto type = event->response_type & 0x7f;
            if (type == XCB_PROPERTY_NOTIFY)
                now = reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
            std::free(event);
            if (type == XCB_PROPERTY_NOTIFY || type == 0)
                break;
        }
    }
    xcb_disconnect(own);
    return now;
}

QMargins logicalFrame(QWidget *window, const std::vector<quint32> &frame)
{
    const qreal ratio = window->windowHandle() ? window->windowHandle()->devicePixelRatio() : 1.0;
    const auto logical = [ratio](quint32 pixels) { return qRound(pixels / ratio); };
    return QMargins(logical(frame[0]), logical(frame[2]), logical(frame[1]), logical(frame[3]));
}

// Mutter from GNOME 44 on draws its title bars in a client of its own, and answers the request
// for a window not yet framed with no frame at all. The real frame is known as it frames the
// window, before anyone can have moved it: the window placed as if it had none is moved then, once,
// as far as that frame shifts its centre, provided it is still where it was shown. Mutter may draw
// the window before the move reaches it; the window stays transparent until then, so that it is
// first seen where it stays.
class CentreOnceFramed : public QObject, public QAbstractNativeEventFilter {
public:
    CentreOnceFramed(QWidget *window, xcb_connection_t *connection, xcb_atom_t extents)
        : QObject(window)
        , m_window(window)
        , m_connection(connection)
        , m_id(static_cast<xcb_window_t>(window->winId()))
        , m_extents(extents)
        , m_opacity(window->windowOpacity())
    {
        window->installEventFilter(this);
        qApp->installNativeEventFilter(this);
        window->setWindowOpacity(0);
        // A window manager that is slow to frame it (or never does) is not waited for long before
        // the window is seen; one that never frames it leaves it where it is.
        QTimer::singleShot(std::chrono::milliseconds(300), this, &CentreOnceFramed::reveal);
        QTimer::singleShot(std::chrono::seconds(5), this, &QObject::deleteLater);
    }
    ~CentreOnceFramed() override { qApp->removeNativeEventFilter(this); }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object == m_window && event->type() == QEvent::Show && !m_shownAt)
            m_shownAt = m_window->geometry();
        return false;
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t"
            || (static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = static_cast<xcb_property_notify_event_t *>(message);
        if (notify->window != m_id || notify->atom != m_extents || !m_shownAt)
            return false;
        const std::vector<quint32> frame = cardinals(m_connection, m_id, m_extents, XCB_ATOM_CARDINAL, 4);
        if (frame.size() != 4
            || std::all_of(frame.begin(), frame.end(), [](quint32 side) { return side == 0; }))
            return false;
        const QMargins margins = logicalFrame(m_window, frame);
        if (m_window->geometry() == *m_shownAt)
            m_window->setGeometry(m_shownAt->translated(
                (margins.left() - margins.right()) / 2, (margins.top() - margins.bottom()) / 2));
        qApp->removeNativeEventFilter(this);
        reveal();
        deleteLater();
        return false;
    }

private:
    QWidget *m_window;
    xcb_connection_t *m_connection;
    xcb_window_t m_id;
    xcb_atom_t m_extents;
    std::optional<QRect> m_shownAt;
    qreal m_opacity;
    bool m_revealed = false;

    // The window manager reads the requests in order: a move asked before is made before the
    // window shows.
    void reveal()
    {
        if (!m_revealed)
            m_window->setWindowOpacity(m_opacity);
        m_revealed = true;
    }
};

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
    const xcb_window_t root = rootOf(connection, id);
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    if (!root || !supported(connection, root, request))
        return QMargins();
    askWindowManager(connection, root, id, request);
    // The window manager answers as soon as it reads the request; one that is busy is not waited
    // for long, and the window is then placed as if it had no frame.
    const auto deadline = std::chrono::steady_clock::now() + 300ms;
    do {
        const std::vector<quint32> frame = cardinals(connection, id, extents, XCB_ATOM_CARDINAL, 4);
        if (frame.size() == 4) {
            const QMargins margins = logicalFrame(window, frame);
            if (margins.isNull())
                new CentreOnceFramed(window, connection, extents);
            return margins;
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

// Window managers that keep windows from stealing the focus (GNOME's mutter, KWin) refuse a request
// to activate a window that is older than the user's last click. Qt stamps its request with the
// time of the last event it has read, and when a click on a disabled window hands the activation
// on, the window manager's own message of that click may not have been read yet: mutter then
// leaves the disabled window in front. The request is stamped with the server's time now instead.
void handActivationTo(QWidget *window)
{
    window->raise();
    xcb_connection_t *connection = xConnection();
    if (!connection || !window->isVisible()) {
        window->activateWindow();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = rootOf(connection, id);
    const xcb_atom_t request = atom(connection, "_NET_ACTIVE_WINDOW");
    const std::optional<xcb_timestamp_t> now
        = root && supported(connection, root, request) ? serverTimeNow(root) : std::nullopt;
    if (!now) {
        window->activateWindow();
        return;
    }
    const QWindow *active = QGuiApplication::focusWindow();
    // From an application, at this time, while this window of it is active.
    askWindowManager(connection, root, id, request,
        { 1, *now, active ? static_cast<quint32>(active->winId()) : quint32(XCB_WINDOW_NONE), 0, 0 });
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
