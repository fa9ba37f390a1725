#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// Where the font names come from: a count and the name at each index.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual int FontCount() = 0;
    virtual QString Fonts(int index) = 0;
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

// The font names this platform offers the program, in the order the platform reports them.
std::unique_ptr<FontSource> systemFonts();
