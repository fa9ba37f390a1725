#pragma once

#include "runtime/controls.h"
#include "runtime/form.h"

#include <QElapsedTimer>

// The splash window: shown while the font names load into the preview window.
class FrmPresenta : public Form {
    Q_OBJECT
public:
    FrmPresenta();

    Image *Image1;
    Timer *Timer1;

    void Form_Load() override;
    void Timer1_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_shown;
    bool m_drawn = false;
    bool m_tickDue = false;
};
