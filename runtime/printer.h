#pragma once

#include <QString>
#include <QStringList>

#include <future>

// Where the font names come from: a count and the name at each index.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual int FontCount() = 0;
    virtual QString Fonts(int index) = 0;
};

// The font families installed on this machine, read once. Qt builds its font database on first
// use, which with thousands of families takes longer than the splash waits before loading the
// catalogue: the reading starts on another thread as soon as the source exists.
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

// A fixed list of names, for tests and benchmarks.
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
