#include "runtime/faces.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <iterator>
#include <optional>

namespace Faces {

namespace {

// The generic names as Qt lists them, and the names the font configuration knows them by.
struct Generic {
    const char *qtName;
    const char *configName;
};
constexpr Generic Generics[] = {
    { "Serif", "serif" },
    { "Sans Serif", "sans-serif" },
    { "Monospace", "monospace" },
};

// Qt lists a family that several foundries make once per foundry, as "Family [Foundry]".
QString withoutFoundry(const QString &listed)
{
    if (!listed.endsWith(u']'))
        return listed;
    const qsizetype open = listed.lastIndexOf(QLatin1StringView(" ["));
    return open > 0 ? listed.left(open) : listed;
}

// The families listedOnce folded, and the name preferredCopy found for each.
struct Folded {
    QMutex mutex;
    QSet<QString> families;
    QHash<QString, QString> copies;
};

Folded &folded()
{
    static Folded state;
    return state;
}

} // namespace

bool isGeneric(const QString &name)
{
    for (const Generic &generic : Generics) {
        if (name.compare(QLatin1StringView(generic.qtName), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString genericFace(const QString &name)
{
    for (std::size_t i = 0; i < std::size(Generics); ++i) {
        if (name.compare(QLatin1StringView(Generics[i].qtName), Qt::CaseInsensitive) != 0)
            continue;
        // Matching ranks every installed font once: kept for the life of the program, as Qt keeps
        // its own font database. Asked of the configuration, not of Qt's font database: the
        // interface font is set before that database is read, which runs beside the splash window.
        static std::optional<QString> found[std::size(Generics)];
        if (!found[i]) {
            const QString family = configuredFamily(Generics[i].configName);
            found[i] = isGeneric(family) ? QString() : family;
        }
        return *found[i];
    }
    return QString();
}

void nameInterfaceFace()
{
    QFont font = QGuiApplication::font();
    const QString face = genericFace(font.family());
    if (!face.isEmpty()) {
        font.setFamilies({ face });
        QGuiApplication::setFont(font);
    }
}

QStringList listedOnce(const QStringList &qtFamilies)
{
    QStringList listed;
    listed.reserve(qtFamilies.size());
    QSet<QString> several;
    // Qt gives a family's foundries one after the other.
    for (qsizetype i = 0; i < qtFamilies.size();) {
        const QString family = withoutFoundry(qtFamilies[i]);
        qsizetype end = i + 1;
        while (end < qtFamilies.size() && withoutFoundry(qtFamilies[end]) == family)
            ++end;
        bool foundries = end - i > 1;
        for (qsizetype j = i; foundries && j < end; ++j) {
            // Qt reads "Family [foundry]" back as that family from that foundry, and has styles
            // for it only if it has both.
            if (qtFamilies[j] != family && QFontDatabase::styles(qtFamilies[j]).isEmpty())
                foundries = false;
        }
        if (foundries) {
            listed << family;
            several.insert(family);
        } else {
            for (qsizetype j = i; j < end; ++j)
                listed << qtFamilies[j];
        }
        i = end;
    }
    Folded &state = folded();
    const QMutexLocker lock(&state.mutex);
    state.families.unite(several);
    return listed;
}

QString preferredCopy(const QString &family)
{
    Folded &state = folded();
    const QMutexLocker lock(&state.mutex);
    if (!state.families.contains(family))
        return family;
    auto it = state.copies.constFind(family);
    if (it == state.copies.constEnd()) {
        // Matching ranks every installed font: once a family, as the fonts go by again and again.
        const QString foundry = configuredFoundry(family);
        it = state.copies.insert(
            family, foundry.isEmpty() ? family : family + QLatin1StringView(" [") + foundry + u']');
    }
    return *it;
}

QString firstInstalled(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    qsizetype best = names.size();
    QString spelling;
    for (const QString &listed : QFontDatabase::families()) {
        const QString family = withoutFoundry(listed);
        for (qsizetype i = 0; i < best; ++i) {
            if (family.compare(names[i], Qt::CaseInsensitive) == 0) {
                best = i;
                spelling = family;
                break;
            }
        }
        if (best == 0)
            break;
    }
    return spelling;
}

QString fixedFace(const QString &face)
{
    static QHash<QString, QString> found;
    auto it = found.constFind(face);
    if (it == found.constEnd()) {
        QString installed = firstInstalled(
            { face, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Arimo"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans") });
        if (installed.isEmpty())
            installed = QFontInfo(QGuiApplication::font()).family();
        it = found.insert(face, installed);
    }
    return *it;
}

} // namespace Faces
