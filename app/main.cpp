#include "runtime/application.h"
#include "runtime/errors.h"
#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/printer.h"
#include "startup/frmpresenta.h"

#include <QApplication>

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

} // namespace

int main(int argc, char *argv[])
{
    choosePlatform();
    qInstallMessageHandler(startupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    keepWindowsAsAsked(app);
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
