#include "runtime/application.h"

#include "runtime/combobox.h"
#include "runtime/faces.h"
#include "runtime/form.h"
#include "runtime/platform.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>

#include <cstdlib>

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quelvaro"));
    QApplication::setApplicationVersion(QStringLiteral(QUELVARO_RELEASE));
    QApplication::setDesktopFileName(QStringLiteral(QUELVARO_APP_ID));
    setPlatformStyle();
    // The program ends when its last form unloads or on End, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QAccessible::installFactory(Form::accessibleInterface);
    QAccessible::installFactory(ComboBox::accessibleInterface);
    Faces::nameInterfaceFace();
}

void ShowErrorAndEnd(const QString &message)
{
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
    std::exit(1);
}
