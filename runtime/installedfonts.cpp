#include "runtime/installedfonts.h"

#include <QFontDatabase>

InstalledFonts::InstalledFonts()
    : m_reading(std::async(std::launch::async, [] { return QFontDatabase::families(); }))
{
}

void InstalledFonts::read()
{
    if (m_read)
        return;
    m_families = m_reading.get();
    m_read = true;
}

int InstalledFonts::FontCount()
{
    read();
    return int(m_families.size());
}

QString InstalledFonts::Fonts(int index)
{
    read();
    return m_families.value(index);
}
