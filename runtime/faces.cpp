#include "runtime/faces.h"

#include <QFontDatabase>
#include <QHash>

#ifdef QUELVARO_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

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

bool isGeneric(const QString &name)
{
    for (const Generic &generic : Generics) {
        if (name.compare(QLatin1StringView(generic.qtName), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Qt lists a family that several foundries make once per foundry, as "Family [Foundry]".
QString withoutFoundry(const QString &listed)
{
    if (!listed.endsWith(u']'))
        return listed;
    const qsizetype open = listed.lastIndexOf(QLatin1StringView(" ["));
    return open > 0 ? listed.left(open) : listed;
}

#ifdef QUELVARO_HAVE_FONTCONFIG
// The family of the face the configuration matches for the name: the first name the face gives
// itself, which is the one Qt lists it by.
QString configuredFamily(const char *configName)
{
    QString family;
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return family;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(configName));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern *match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8 *name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = QString::fromUtf8(reinterpret_cast<const char *>(name));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return family;
}
#endif

} // namespace

QString genericFace(const QString &name)
{
    for (const Generic &generic : Generics) {
        if (name.compare(QLatin1StringView(generic.qtName), Qt::CaseInsensitive) != 0)
            continue;
#ifdef QUELVARO_HAVE_FONTCONFIG
        // Matching ranks every installed font once: kept for the life of the program, as Qt keeps
        // its own font database.
        static QHash<QString, QString> found;
        const QString key = QLatin1StringView(generic.configName);
        auto it = found.constFind(key);
        // Asked of the configuration, not of Qt's font database: the interface font is set
        // before that database is read, which is left to run beside the splash window.
        if (it == found.constEnd()) {
            const QString family = configuredFamily(generic.configName);
            it = found.insert(key, isGeneric(family) ? QString() : family);
        }
        return *it;
#else
        return QString();
#endif
    }
    return QString();
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

} // namespace Faces
