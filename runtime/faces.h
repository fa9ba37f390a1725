#pragma once

#include <QString>
#include <QStringList>

// Which installed face a font name will be drawn in, found without loading the font.
namespace Faces {

// Whether a name is one of Qt's generic names "Serif", "Sans Serif" and "Monospace", in any case.
bool isGeneric(const QString &name);

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

// Qt lists a family that several foundries make once for each of them, as "Family [foundry]", the
// foundry being whatever the font files say of their maker ("UKWN", "urw", four blanks): a Type 1
// and an OpenType copy of one face come out as two entries that mean nothing to a reader. Returns
// Qt's list with each such family once, by its own name, where it stood. A name that only looks
// tagged (a family whose own name ends in brackets, alone or beside another) is kept whole: an
// entry is only folded into its family where Qt's database has that family from that foundry.
// Remembers the families it folded, for preferredCopy. Safe to call from any thread.
QStringList listedOnce(const QStringList &qtFamilies);

// The name to ask Qt for a listed family by. For one that listedOnce folded, the family with the
// foundry of the copy the font configuration prefers for the plain name, which is not always the
// copy Qt would pick (it takes the first it was given); any other name as it is.
QString preferredCopy(const QString &family);

// The first of the names that Qt has as an installed family (case-insensitively, and as it spells
// it), or an empty string.
QString firstInstalled(const QStringList &names);

// The face a fixed label font is drawn in: the named one if installed, else the first installed of
// the faces made to its metrics, else the face the interface font is drawn in. Only that one face
// is named: a family Qt cannot find, or any fallback family beside it, makes Qt rank every
// installed family when the font is first drawn, which with tens of thousands of them takes
// seconds.
QString fixedFace(const QString &face);

// The family of the face the platform's font configuration matches for one of its generic names
// ("serif", "sans-serif", "monospace"): the first name the face gives itself, which is the one Qt
// lists it by. Empty where the platform has no such configuration.
QString configuredFamily(const char *configName);

// The foundry of the face the platform's font configuration matches for a family name, where that
// face is of the family; empty otherwise, or where the platform has no such configuration.
QString configuredFoundry(const QString &family);

} // namespace Faces
