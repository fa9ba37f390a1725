#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <future>

// Where the font names come from: a count and the name at each index.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual int FontCount() = 0;
    virtual QString Fonts(int index) = 0;
};

// Names read once, by a function that runs on another thread from the moment the source exists.
// Reading the platform's fonts (Qt's font database, a printer driver) can take longer than the
// splash waits before loading the catalogue.
class ReadAheadFonts : public FontSource {
public:
    explicit ReadAheadFonts(std::function<QStringList()> read);
    int FontCount() override;
    QString Fonts(int index) override;

private:
    const QStringList &names();
    std::future<QStringList> m_reading;
    bool m_read = false;
    QStringList m_names;
};
