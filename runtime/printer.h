#pragma once

#include "runtime/fontsource.h"

#include <memory>

// The runtime's Printer object, as far as the program asks it: its font names. They come from the
// source the owner of the program installs for as long as this object lives; without one, reading
// them is a printer error.
class Printer {
public:
    explicit Printer(std::unique_ptr<FontSource> source);
    ~Printer();
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;

    static int FontCount();
    static QString Fonts(int index);

private:
    // The installed source, or none after reporting a printer error.
    static FontSource *source();
    std::unique_ptr<FontSource> m_source;
};
