#include "runtime/controls.h"

#include "runtime/faces.h"
#include "runtime/units.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QScopedValueRollback>

#include <cmath>
#include <utility>

void Label::setCaption(const QString &caption)
{
    if (isVisible()) {
        m_pending.reset();
        setText(caption);
    } else {
        m_pending = caption;
    }
}

void Label::showEvent(QShowEvent *event)
{
    if (m_pending)
        setText(*std::exchange(m_pending, std::nullopt));
    QLabel::showEvent(event);
}

CommandButton::CommandButton(QWidget *parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

CheckBox::CheckBox(QWidget *parent)
    : QCheckBox(parent)
{
    connect(this, &QCheckBox::toggled, this, [this] {
        if (!m_settingValue)
            emit Click();
    });
}

void CheckBox::setValue(int value)
{
    const QScopedValueRollback setting(m_settingValue, true);
    setChecked(value != 0);
}

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    m_prepareTimer.setSingleShot(true);
    m_prepareTimer.setInterval(0);
    connect(&m_prepareTimer, &QTimer::timeout, this, &TextBox::prepare);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setForeColor(0);
}

QString TextBox::fontName() const
{
    if (!m_fontName.isNull())
        return m_fontName;
    const QStringList families = font().families();
    return families.isEmpty() ? font().family() : families.first();
}

QFont TextBox::fontNamed(const QString &name) const
{
    QFont f = font();
    const QString generic = Faces::genericFace(name);
    if (!generic.isEmpty())
        f.setFamilies({ generic });
    // Qt reads a requested "Family [Foundry]" as a family and its foundry, so a family whose own
    // name holds brackets would never be found; the same name as a fallback is looked up whole.
    // Only then: any fallback makes Qt rank every installed family for the new font, which with
    // tens of thousands of them takes seconds.
    else if (name.contains(u'['))
        f.setFamilies({ name, name });
    else
        f.setFamilies({ Faces::preferredCopy(name) });
    return f;
}

void TextBox::setFontName(const QString &name)
{
    m_fontName = name;
    setFont(fontNamed(name));
}

void TextBox::prepareFontName(const QString &name)
{
    m_preparing = name;
    m_prepared = QFont();
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    // Once this change is on screen.
    if (isPreparing())
        m_prepareTimer.start();
}

void TextBox::prepare()
{
    if (!isPreparing())
        return;
    // Built now, so that formatting chosen since the request is part of it.
    m_prepared = fontNamed(m_preparing);
    m_preparing.clear();
    (void)QFontMetricsF(m_prepared, viewport()).height();
}

bool TextBox::parseSize(const QString &text, double *points)
{
    bool ok = false;
    const double value = QLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || value < MinimumPoints || value > MaximumPoints)
        return false;
    *points = value;
    return true;
}

bool TextBox::setFontSize(const QString &text)
{
    double points = 0;
    if (!parseSize(text, &points))
        return false;
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
    return true;
}

void TextBox::setFontBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void TextBox::setFontItalic(bool italic)
{
    QFont f = font();
    f.setItalic(italic);
    setFont(f);
}

void TextBox::setFontUnderline(bool underline)
{
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
}

void TextBox::setForeColor(quint32 value)
{
    m_foreColor = value & 0xFFFFFF;
    QPalette p = palette();
    // The sample keeps its colour while its window is disabled behind the about window.
    for (auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        p.setColor(group, QPalette::Text, colourFromValue(m_foreColor));
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Base));
    setPalette(p);
}

Timer::Timer(QObject *parent)
    : QObject(parent)
    , m_clock(new QTimer(this))
{
    m_clock->setTimerType(Qt::PreciseTimer);
    connect(m_clock, &QTimer::timeout, this, &Timer::Tick);
}

void Timer::setInterval(int ms)
{
    m_clock->setInterval(ms);
    update();
}

void Timer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    update();
}

void Timer::update()
{
    if (m_enabled && m_clock->interval() > 0)
        m_clock->start();
    else
        m_clock->stop();
}

void Timer::stop()
{
    m_enabled = false;
    m_clock->stop();
}

Image::Image(QWidget *parent)
    : QLabel(parent)
{
    setScaledContents(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContentsMargins(0, 0, 0, 0);
}

void Image::setPicture(const QString &path)
{
    if (qApp->devicePixelRatio() > 1.0) {
        QString hiDpi = path;
        hiDpi.insert(hiDpi.lastIndexOf(u'.'), QStringLiteral("@2x"));
        QPixmap picture(hiDpi);
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(2.0);
            setPixmap(picture);
            return;
        }
    }
    setPixmap(QPixmap(path));
}

Line::Line(QPoint from, QPoint to, int width, quint32 colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colourFromValue(colour))
{
    // The forms' lines are horizontal rules: a filled rectangle of the line's width.
    Q_ASSERT(from.y() == to.y());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int left = std::min(from.x(), to.x()), right = std::max(from.x(), to.x());
    setGeometry(left, from.y() - width / 2, right - left, width);
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), m_colour);
}
