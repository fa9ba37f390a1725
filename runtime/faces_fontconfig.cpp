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

} // namespace Faces
