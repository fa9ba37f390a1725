#pragma once

#include "runtime/fontsource.h"

#include <future>

// The font families installed on this machine, as Qt lists them, read once. Qt builds its font
// database on first use, which with thousands of families takes longer than the splash waits
// before loading the catalogue: the reading starts on another thread as soon as the source exists.
class InstalledFonts : public FontSource {
public:
    InstalledFonts();
    int FontCount() override;
    QString Fonts(int index) override;

private:
    void read();
    std::future<QStringList> m_reading;
    bool m_read = false;
    QStringList m_families;
};
