#include "child.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace {
constexpr auto ChildVariable = "QUELVARO_TEST_CHILD";
}

bool inChild()
{
    return qEnvironmentVariableIsSet(ChildVariable);
}

ChildEnd runInChild(const char *testFunction)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
    // A program that ends through exit() leaves its objects to the system: no leak report may
    // change the status it ends with.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(testFunction) });
    ChildEnd end;
    end.finished = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit;
    end.status = child.exitCode();
    // Windows' C runtime writes a line end as CR LF.
    end.output
        = QString::fromLocal8Bit(child.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return end;
}
