#pragma once

#include "runtime/fontsource.h"

#include <QStringList>

// A fixed list of names, where the program reads the platform's.
class ListedFonts : public FontSource {
public:
    explicit ListedFonts(QStringList names)
        : m_names(std::move(names))
    {
    }
    int FontCount() override { return int(m_names.size()); }
    QString Fonts(int index) override { return m_names.value(index); }

private:
    QStringList m_names;
};
