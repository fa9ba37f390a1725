#include "runtime/faces.h"

namespace Faces {

// Without fontconfig the platform names no face for Qt's generic names: they are drawn as Qt finds
// them.
QString configuredFamily(const char *)
{
    return QString();
}

QString configuredFoundry(const QString &)
{
    return QString();
}

} // namespace Faces
