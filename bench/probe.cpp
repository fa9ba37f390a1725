#include "probe.h"

#include <QFile>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace probe {

qint64 now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

static qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

qint64 residentKb()
{
    return statusKb("VmRSS");
}

qint64 peakResidentKb()
{
    return statusKb("VmHWM");
}

void report(const char *key, qint64 value)
{
    std::printf("%s=%lld\n", key, static_cast<long long>(value));
    std::fflush(stdout);
}

void report(const char *key, const QString &value)
{
    std::printf("%s=%s\n", key, value.toUtf8().constData());
    std::fflush(stdout);
}

void finish()
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace probe

bool ProbedApplication::notify(QObject *receiver, QEvent *event)
{
    const bool handled = QApplication::notify(receiver, event);
    if (event->type() == QEvent::Expose && onExposed) {
        auto *window = qobject_cast<QWindow *>(receiver);
        if (window && window->isExposed())
            onExposed(window);
    }
    return handled;
}
