#include "runtime/application.h"

#include "runtime/faces.h"

#include <QApplication>

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quelvaro"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Quelvaro"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program ends when its last form unloads or on End, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    Faces::nameInterfaceFace();
}
