#include "ticks.h"

#include "runtime/controls.h"

#include <QTimer>

namespace {

// The clock that drives a Timer is its one QTimer child.
QTimer *clockOf(const Timer &timer)
{
    auto *clock = timer.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    Q_ASSERT(clock);
    return clock;
}

} // namespace

void tick(Timer &timer)
{
    if (timer.Enabled())
        emit timer.Tick();
}

void holdClock(Timer &timer)
{
    QObject::disconnect(clockOf(timer), &QTimer::timeout, &timer, nullptr);
}

bool clockRunning(const Timer &timer)
{
    return clockOf(timer)->isActive();
}
