#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <optional>

// A caption rewritten while its window is hidden is shown, and announced to assistive technology,
// once the window shows: a label counting thousands of loaded fonts is not read out thousands of
// times.
class Label : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QString Caption() const { return m_pending ? *m_pending : text(); }
    void setCaption(const QString &caption);

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::optional<QString> m_pending;
};

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget *parent = nullptr);
signals:
    void Click();
};

class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(QWidget *parent = nullptr);
    int Value() const { return isChecked() ? 1 : 0; }
    void setValue(int value);
signals:
    // Every toggle by the person: mouse, Space, or assistive technology's toggle action.
    void Click();

private:
    bool m_settingValue = false;
};

// The sample box: plain, multi-line, editable text whose font attributes are set one at a time
// on the widget's own font.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr double MinimumPoints = 1.0;
    static constexpr double MaximumPoints = 1638.0;

    explicit TextBox(QWidget *parent = nullptr);

    QString fontName() const;
    double fontSize() const { return font().pointSizeF(); }
    bool fontBold() const { return font().bold(); }
    bool fontItalic() const { return font().italic(); }
    bool fontUnderline() const { return font().underline(); }
    quint32 foreColor() const { return m_foreColor; }

    void setFontName(const QString &name);
    // Loads, while the program is idle after the box has next been drawn, the font that
    // setFontName(name) would then give, so that the change finds it ready: loading a face Qt has
    // not drawn before grows with the number of installed fonts.
    void prepareFontName(const QString &name);
    // The font last prepared, and whether one is still waiting to be.
    QFont preparedFont() const { return m_prepared; }
    bool isPreparing() const { return !m_preparing.isEmpty(); }
    // The text is read as a number in the user's locale. Returns false, changing nothing, when it
    // is not a number or not a size the box can show.
    bool setFontSize(const QString &text);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);
    void setFontUnderline(bool underline);
    void setForeColor(quint32 value);

    static bool parseSize(const QString &text, double *points);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont fontNamed(const QString &name) const;
    void prepare();

    quint32 m_foreColor = 0;
    QString m_fontName;
    QString m_preparing;
    QFont m_prepared;
    QTimer m_prepareTimer;
};

// Ticks every Interval milliseconds while enabled; its form stops it when unloading.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject *parent = nullptr);
    int Interval() const { return m_clock->interval(); }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void stop();
signals:
    void Tick();

private:
    void update();
    QTimer *m_clock;
    bool m_enabled = false;
};

// A picture shown at its own size, clipped by the window.
class Image : public QLabel {
    Q_OBJECT
public:
    explicit Image(QWidget *parent = nullptr);
    // Loads a resource picture, taking its @2x version on high-density screens.
    void setPicture(const QString &path);
};

class Line : public QWidget {
    Q_OBJECT
public:
    Line(QPoint from, QPoint to, int width, quint32 colour, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};
