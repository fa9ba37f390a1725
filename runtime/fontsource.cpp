#include "runtime/fontsource.h"

ReadAheadFonts::ReadAheadFonts(std::function<QStringList()> read)
    : m_reading(std::async(std::launch::async, std::move(read)))
{
}

const QStringList &ReadAheadFonts::names()
{
    if (!m_read) {
        m_names = m_reading.get();
        m_read = true;
    }
    return m_names;
}

int ReadAheadFonts::FontCount()
{
    return int(names().size());
}

QString ReadAheadFonts::Fonts(int index)
{
    return names().value(index);
}
