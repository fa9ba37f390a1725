#include "runtime/installedfonts.h"

// No printer offers fonts of its own here: the names are the installed families.
std::unique_ptr<FontSource> systemFonts()
{
    return std::make_unique<InstalledFonts>();
}
