#include "runtime/application.h"
#include "runtime/errors.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/printer.h"
#include "startup/frmpresenta.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// Which displays the platform plugins tried and could not open while the application started.
bool triedWayland = false;
bool triedX = false;

// "WAYLAND_DISPLAY=wayland-1", or "WAYLAND_DISPLAY no está definida".
QByteArray displayVariable(const char *name)
{
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QByteArray(name) + " no está definida" : QByteArray(name) + "=" + value;
}

// Where no display can be opened, Qt ends the program with a page about platform plugins and an
// abort. While the application starts, the platform's own complaints are left out and that end
// is one line naming the display that was tried, and status 1.
void startupMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const bool platform = context.category && qstrncmp(context.category, "qt.qpa.", 7) == 0;
    // The Wayland plugin reports a display it cannot reach without a category.
    const bool noWaylandDisplay = text.contains(QLatin1StringView("wl_display"));
    if (noWaylandDisplay || (platform && qstrncmp(context.category, "qt.qpa.wayland", 14) == 0))
        triedWayland = true;
    else if (platform && qstrncmp(context.category, "qt.qpa.xcb", 10) == 0)
        triedX = true;
    if (type == QtFatalMsg) {
        QByteArray line = "quelvaro: no se puede abrir la pantalla";
        if (triedWayland)
            line += " Wayland (" + displayVariable("WAYLAND_DISPLAY") + ")";
        if (triedWayland && triedX)
            line += " ni la pantalla";
        if (triedX || !triedWayland)
            line += " X (" + displayVariable("DISPLAY") + ")";
        std::fprintf(stderr, "%s\n", line.constData());
        std::_Exit(1);
    }
    if (platform || noWaylandDisplay)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

// GNOME's compositor leaves a Wayland client's title bar to the client, and Qt's own offers
// maximize and minimize on every window, fixed size or not, and maximizes one when asked; nor can
// a Wayland client place its windows or say that one is a splash. Through Xwayland the same
// compositor frames the program's windows itself, as their flags ask, and lets them place
// themselves. So in a GNOME Wayland session with an X display the program is an X client, as
// every Qt 5 program was there; where that display does not answer it is a Wayland client after
// all, and a platform the user names is the one used.
void preferXOnGnome()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")
        || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    if (qgetenv("XDG_CURRENT_DESKTOP").toLower().split(':').contains("gnome"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
#endif
}

#ifdef Q_OS_LINUX
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
#endif

} // namespace

int main(int argc, char *argv[])
{
    preferXOnGnome();
    qInstallMessageHandler(startupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
#ifdef Q_OS_LINUX
    if (QGuiApplication::platformName() == QLatin1StringView("wayland"))
        app.installEventFilter(new NoMaximizeWithoutButton(&app));
#endif
    SetUpApplication();

    setErrorReport([](ErrorCode, const QString &message) { ShowErrorAndEnd(message); });
    Printer printer(systemFonts());
    Forms forms;
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.Show();
    const int status = app.exec();
    boundTheEnd(status);
    return status;
}
