#include "runtime/application.h"

#include "identity.h"
#include "runtime/combobox.h"
#include "runtime/form.h"
#include "runtime/platform.h"

#include <QAccessible>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <cstdlib>

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral(QUELVARO_NAME));
    QApplication::setApplicationVersion(QStringLiteral(QUELVARO_RELEASE));
    QApplication::setDesktopFileName(QStringLiteral(QUELVARO_APP_ID));
    setPlatformStyle();
    // The program ends when its last form unloads or on End, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QAccessible::installFactory(Form::accessibleInterface);
    QAccessible::installFactory(ComboBox::accessibleInterface);
    nameInterfaceFace();
    // Qt's own words (the sample box's context menu, for one) in the user's language, as the
    // system's own menus would be; the forms' captions are Spanish whatever the language.
    auto *qtWords = new QTranslator(qApp);
    if (qtWords->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslationsFolder()))
        QCoreApplication::installTranslator(qtWords);
    else
        delete qtWords;
}

void ShowErrorAndEnd(const QString &message)
{
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
    std::exit(1);
}
