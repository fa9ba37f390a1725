#include "runtime/platform.h"

#include "runtime/faces.h"

#include <QApplication>
#include <QFontDatabase>

// No printer offers fonts of its own here: the names are the installed families. Qt lists its
// generic names beside them, which are no family of their own.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<ReadAheadFonts>([] {
        QStringList families = QFontDatabase::families();
        families.removeIf(Faces::isGeneric);
        return families;
    });
}

// Desktop styles differ from one Linux desktop to the next; Fusion draws the forms alike on all.
void setPlatformStyle()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}
