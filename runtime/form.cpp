#include "runtime/form.h"

#include "runtime/controls.h"
#include "runtime/platform.h"
#include "runtime/program.h"
#include "runtime/units.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : { 32, 64, 128 })
        icon.addFile(QStringLiteral(":/icon-%1.png").arg(size), QSize(size, size));
    // The 64 and 128 pixel pictures are the 32 and 64 pixel icons drawn at twice the density. A Qt
    // that ranks an icon's pictures by density (6.8) only offers them there when told so, and
    // otherwise hands the 64 pixel picture for every size of a doubled screen.
    for (int size : { 64, 128 }) {
        QPixmap picture(QStringLiteral(":/icon-%1.png").arg(size));
        picture.setDevicePixelRatio(2);
        icon.addPixmap(picture);
    }
    return icon;
}

Forms *theRegistry = nullptr;
quint64 showings = 0;

} // namespace

// Qt would present a window made from a plain widget as a client area, not as a window.
QAccessibleInterface *Form::accessibleInterface(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(Form::staticMetaObject.className()))
        if (auto *form = qobject_cast<Form *>(object))
            return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

Form::Form(const FormSpec &spec, std::span<const ControlSpec> controls)
    : m_spec(spec)
{
    setWindowTitle(QString::fromUtf8(spec.caption));
    Qt::WindowFlags flags;
    if (spec.border == Border::None) {
        flags = Qt::SplashScreen | Qt::FramelessWindowHint;
    } else {
        // A fixed border on Windows too, where Qt otherwise gives every window a sizing frame and
        // only refuses sizes while Windows itself resizes it.
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        if (spec.minButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (spec.maxButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(flags);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now != this && isAncestorOf(now))
            m_lastFocus = now;
    });
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
        // The whole window, frame included, is centred in the screen's work area. The client
        // area is placed, not the frame: where the frame is not known before the window is shown,
        // Qt lets the window manager put the frame's corner where the client area's should be.
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            // A window without a frame (the splash) has none to ask the window manager about.
            const QMargins frame
                = windowFlags().testFlag(Qt::FramelessWindowHint) ? QMargins() : frameBeforeShow(this);
            QRect whole(QPoint(), size().grownBy(frame));
            whole.moveCenter(screen->availableGeometry().center());
            setGeometry(QRect(whole.topLeft() + QPoint(frame.left(), frame.top()), size()));
        }
    }
    m_shownAt = ++showings;
    if (!m_shownOnce && m_spec.border == Border::None)
        askForNoDecorations(this);
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
    Forms::unload(this);
}

void Form::stopTimers()
{
    for (Timer *timer : findChildren<Timer *>())
        timer->stop();
}

bool Form::event(QEvent *event)
{
    // Window managers raise and activate a window that is clicked even while it is disabled; on the
    // platform the program was written for a disabled window never comes in front, so it hands the
    // activation on to the form that takes input. It does so once the activation has settled: Qt
    // on Wayland asks the compositor to activate this window again as the focus moves into it, and
    // the last request is the one that counts.
    if (event->type() == QEvent::WindowActivate && !isEnabled()) {
        QTimer::singleShot(0, this, [this] {
            if (isEnabled())
                return;
            if (Form *front = Forms::frontmost(this)) {
                handActivationTo(front);
            }
        });
    }
    return QWidget::event(event);
}

void Form::changeEvent(QEvent *event)
{
    // A disabled form only ignores input: its controls stay drawn as they were, but for those
    // disabled on their own.
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            for (QWidget *control : findChildren<QWidget *>()) {
                if (control->isWindow() || control->testAttribute(Qt::WA_ForceDisabled))
                    continue;
                QPalette palette = control->palette();
                m_enabledPalettes.emplace_back(control,
                    control->testAttribute(Qt::WA_SetPalette) ? std::optional(palette) : std::nullopt);
                for (int role = 0; role < QPalette::NColorRoles; ++role) {
                    const auto r = QPalette::ColorRole(role);
                    palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
                }
                // Styles that etch disabled text draw it once more, offset, in the light colour.
                palette.setColor(
                    QPalette::Disabled, QPalette::Light, palette.color(QPalette::Active, QPalette::Window));
                control->setPalette(palette);
            }
        } else {
            for (auto &[control, palette] : std::exchange(m_enabledPalettes, {}))
                if (control)
                    control->setPalette(palette.value_or(QPalette()));
            if (m_lastFocus && m_lastFocus->isEnabled() && m_lastFocus->isVisibleTo(this))
                m_lastFocus->setFocus(Qt::OtherFocusReason);
        }
    }
    QWidget::changeEvent(event);
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

Forms::Forms()
{
    Q_ASSERT(!theRegistry);
    theRegistry = this;
}

Forms::~Forms()
{
    clear();
    theRegistry = nullptr;
}

Forms &Forms::instance()
{
    Q_ASSERT(theRegistry);
    return *theRegistry;
}

Form *Forms::find(std::type_index type) const
{
    auto it = m_forms.find(type);
    return it == m_forms.end() ? nullptr : it->second.get();
}

void Forms::unload(Form *form)
{
    auto &forms = instance().m_forms;
    auto it = std::find_if(
        forms.begin(), forms.end(), [form](const auto &entry) { return entry.second.get() == form; });
    if (it == forms.end())
        return;
    form->Form_Unload();
    form->stopTimers();
    form->hide();
    // The form may be unloading itself from one of its own handlers: delete it once they return.
    it->second.release()->deleteLater();
    forms.erase(it);
    if (forms.empty())
        End(0);
}

Form *Forms::frontmost(const Form *besides)
{
    Form *front = nullptr;
    for (const auto &entry : instance().m_forms) {
        Form *form = entry.second.get();
        if (form != besides && form->isVisible() && form->isEnabled() && !form->isMinimized()
            && (!front || form->m_shownAt > front->m_shownAt))
            front = form;
    }
    return front;
}

void Forms::clear()
{
    for (auto &entry : m_forms)
        entry.second->stopTimers();
    m_forms.clear();
}
