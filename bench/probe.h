#pragma once

#include <QApplication>

#include <functional>

// What the benchmark programs measure about themselves.
namespace probe {

// CLOCK_MONOTONIC in nanoseconds: the clock the driver reads before it starts a program.
qint64 now();
// From /proc/self/status, in kB.
qint64 residentKb();
qint64 peakResidentKb();
// One "key=value" line on standard output, flushed at once.
void report(const char *key, qint64 value);
void report(const char *key, const QString &value);
// Ends without tearing down: what is measured is over, and tearing down 50,000 entries is not.
[[noreturn]] void finish();

} // namespace probe

// Tells when a window has been exposed and its first picture painted and flushed: after Qt has
// handled the expose event, not before, which is the moment a person can see the window.
class ProbedApplication : public QApplication {
public:
    using QApplication::QApplication;
    std::function<void(QWindow *)> onExposed;

    bool notify(QObject *receiver, QEvent *event) override;
};
