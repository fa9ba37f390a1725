#include "runtime/form.h"

#include "runtime/controls.h"
#include "runtime/units.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : { 32, 64, 128 })
        icon.addFile(QStringLiteral(":/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Qt would present a window made from a plain widget as a client area, not as a window.
QAccessibleInterface *accessibleForm(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(Form::staticMetaObject.className()))
        if (auto *form = qobject_cast<Form *>(object))
            return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

} // namespace

Form::Form(const FormSpec &spec, std::span<const ControlSpec> controls)
    : m_spec(spec)
{
    QAccessible::installFactory(accessibleForm);
    setWindowTitle(QString::fromUtf8(spec.caption));
    Qt::WindowFlags flags;
    if (spec.border == Border::None) {
        flags = Qt::SplashScreen | Qt::FramelessWindowHint;
    } else {
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint;
        if (spec.minButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (spec.maxButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(flags);
    setFixedSize(twipsToPixels(spec.clientWidth), twipsToPixels(spec.clientHeight));
    if (spec.background) {
        QPalette p = palette();
        p.setColor(QPalette::Window, colourFromValue(*spec.background));
        setPalette(p);
        setAutoFillBackground(true);
    }
    if (spec.icon)
        setWindowIcon(applicationIcon());
    m_firstFocus = buildControls(this, controls);
}

void Form::Show()
{
    if (!m_shownOnce && m_spec.placement == Placement::CentreScreen) {
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect area(QPoint(), size());
            area.moveCenter(screen->availableGeometry().center());
            move(area.topLeft());
        }
    }
    show();
    activateWindow();
    if (!m_shownOnce) {
        // Focus starts on the first control of the tab order.
        if (m_firstFocus && m_firstFocus->isEnabled())
            m_firstFocus->setFocus(Qt::TabFocusReason);
    }
    m_shownOnce = true;
}

void Form::Unload()
{
    Forms::instance().unload(this);
}

void Form::stopTimers()
{
    for (Timer *timer : findChildren<Timer *>())
        timer->stop();
}

void Form::closeEvent(QCloseEvent *event)
{
    // Qt delivers the window manager's close request even to a disabled window; a disabled form
    // must refuse it like any other input.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    Unload();
}
