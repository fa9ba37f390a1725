#include "runtime/application.h"

#include "runtime/faces.h"

#include <QApplication>
#include <QFont>

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quelvaro"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    QApplication::setDesktopFileName(QStringLiteral("org.example.Quelvaro"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program ends when its last form unloads or on End, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    // Without a desktop's own settings the interface font is the generic "Sans Serif": drawn in the
    // face it stands for, named directly, so that the first text drawn does not rank every
    // installed family to find it.
    QFont font = QApplication::font();
    const QString face = Faces::genericFace(font.family());
    if (!face.isEmpty()) {
        font.setFamilies({ face });
        QApplication::setFont(font);
    }
}
