#include "runtime/faces.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>

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
