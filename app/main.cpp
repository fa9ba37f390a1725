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

// Where no display can be opened, Qt ends the program with a page about platform plugins and an
// abort. While the application starts, the platform's own complaints are left out and that end
// is one line and status 1.
void startupMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        if (display.isEmpty())
            std::fputs("quelvaro: no se puede abrir la pantalla (DISPLAY no está definida)\n", stderr);
        else
            std::fprintf(
                stderr, "quelvaro: no se puede abrir la pantalla (DISPLAY=%s)\n", display.constData());
        std::_Exit(1);
    }
    if (context.category && qstrncmp(context.category, "qt.qpa.", 7) == 0)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(startupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    SetUpApplication();

    setErrorReport([](ErrorCode, const QString &message) { ShowErrorAndEnd(message); });
    Printer printer(systemFonts());
    Forms forms;
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.Show();
    return app.exec();
}
