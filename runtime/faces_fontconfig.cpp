#include "runtime/faces.h"

#include <fontconfig/fontconfig.h>

namespace Faces {

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

QString configuredFoundry(const QString &family)
{
    QString foundry;
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return foundry;
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern *match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8 *matched = nullptr;
        FcChar8 *maker = nullptr;
        // A family missing from the configuration matches some other face.
        if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch
            && family.compare(QString::fromUtf8(reinterpret_cast<const char *>(matched)), Qt::CaseInsensitive)
                == 0
            && FcPatternGetString(match, FC_FOUNDRY, 0, &maker) == FcResultMatch)
            foundry = QString::fromLatin1(reinterpret_cast<const char *>(maker));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return foundry;
}

} // namespace Faces
