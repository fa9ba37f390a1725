#pragma once

#include <QString>
#include <QStringList>

// Which installed face a font name will be drawn in, found without loading the font.
namespace Faces {

// Qt lists the generic names "Serif", "Sans Serif" and "Monospace" beside the installed families,
// but they name no face: Qt only finds one after ranking every installed family as a fallback,
// which with tens of thousands of families takes seconds. Returns the installed family the
// system's font configuration draws such a name in, or an empty string for any other name (or
// when the configuration gives none). Does not read Qt's font database.
QString genericFace(const QString &name);

// Where the application's font is one of those generic names, as it is without a desktop's own
// settings, makes it name the face instead, so that the first text drawn does not rank every
// installed family to find it.
void nameInterfaceFace();

// The first of the names that Qt has as an installed family (case-insensitively, and as it spells
// it), or an empty string.
QString firstInstalled(const QStringList &names);

} // namespace Faces
