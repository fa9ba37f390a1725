#include "runtime/forms.h"
#include "startup/frmpresenta.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quelvaro"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Quelvaro"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program ends when its last form unloads or on End, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    Forms forms(std::make_unique<InstalledFonts>());
    FrmPresenta &splash = Forms::get<FrmPresenta>();
    splash.Show();
    return app.exec();
}
