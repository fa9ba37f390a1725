#include "startup/frmpresenta.h"

#include "identity.h"
#include "preview/frmprincipal.h"
#include "runtime/errors.h"
#include "startup/catalogue.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTimer>

namespace {

constexpr qint64 LongestWaitForPicture = 1000; // ms

const FormSpec Window {
    .caption = "Form1",
    .border = Border::None,
    .minButton = false,
    .maxButton = false,
    .placement = Placement::CentreScreen,
    .clientWidth = 5325,
    .clientHeight = 2970,
    .background = std::nullopt,
    .icon = false,
};

// clang-format off
const ControlSpec Controls[] = {
    // name     kind         caption left top  width height  tab  other settings
    { "Image1", Kind::Image, "",        0,  0, 5310,  2970,  -1, { .picture = ":/splash.png",
                                                                   .accessibleName = QUELVARO_NAME ", versión " QUELVARO_RELEASE ". Cargando fuentes, por favor, espere..." } },
    { "Timer1", Kind::Timer, "",        0,  0,    0,     0,  -1, { .enabled = false, .interval = 100 } },
};
// clang-format on

} // namespace

FrmPresenta::FrmPresenta()
    : Form(Window, Controls)
    , Image1(control<Image>("Image1"))
    , Timer1(control<Timer>("Timer1"))
{
    // The strip beside the picture shows the platform's menu-text colour.
    QPalette p = palette();
    p.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::WindowText));
    setPalette(p);
    setAutoFillBackground(true);

    connect(Timer1, &Timer::Tick, this, [this] {
        if (m_shown.isValid() && !m_drawn && m_shown.elapsed() < LongestWaitForPicture) {
            m_tickDue = true;
            return;
        }
        m_tickDue = false;
        Timer1_Timer();
    });
    Image1->installEventFilter(this);
}

// The picture is to be on screen, whole, when the fonts start loading, since the splash is not
// drawn again until they have; but a compositor may show a window well after it is shown, later
// still on a busy machine. So a tick that comes before the picture has been drawn waits for it,
// and the fonts load once it has gone to the display: 100 ms after the splash was shown or then,
// whichever is later. A display that never draws it keeps the fonts from loading for a second at
// most.
bool FrmPresenta::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::Show && !m_shown.isValid())
        m_shown.start();
    if (watched == Image1 && event->type() == QEvent::Paint && !m_drawn) {
        m_drawn = true;
        Image1->removeEventFilter(this);
        // On the display once this round of painting ends.
        QTimer::singleShot(0, this, [this] {
            if (m_tickDue && Timer1->Enabled()) {
                m_tickDue = false;
                Timer1_Timer();
            }
        });
    }
    return Form::eventFilter(watched, event);
}

void FrmPresenta::Form_Load()
{
    Timer1->setEnabled(true);
}

void FrmPresenta::Timer1_Timer()
{
    CargarFuentes();
    FrmPrincipal &principal = Forms::get<FrmPrincipal>();
    // With no fonts at all there is no first entry to select: the window opens with an empty list.
    if (principal.CmbNDL->ListCount() > 0) {
        principal.CmbNDL->setListIndex(0);
        principal.txtvisu->setFontName(principal.CmbNDL->Text());
    }
    principal.CmbTama->setListIndex(1);
    if (!principal.txtvisu->setFontSize(principal.CmbTama->Text()))
        RaiseError(ErrorCode::TypeMismatch);
    principal.CmbColor->setListIndex(0);
    principal.txtvisu->setForeColor(0);
    principal.Show();
    Unload();
}
