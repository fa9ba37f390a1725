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
// Every family name of the face the configuration matches for the name, best first.
QStringList configuredFamilies(const char *configName)
{
    QStringList families;
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return families;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(configName));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern *match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8 *family = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
            families << QString::fromUtf8(reinterpret_cast<const char *>(family));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return families;
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
        if (it == found.constEnd()) {
            QStringList families = configuredFamilies(generic.configName);
            families.removeIf([](const QString &family) { return isGeneric(family); });
            it = found.insert(key, firstInstalled(families));
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
