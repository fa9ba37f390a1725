#include "runtime/printer.h"

#include <QFontDatabase>

void InstalledFonts::read()
{
    if (m_read)
        return;
    m_families = QFontDatabase::families();
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
