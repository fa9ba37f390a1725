#include "runtime/program.h"

#include <QCoreApplication>

#include <utility>

namespace {
Ending theEnding;
}

void End(int status)
{
    if (theEnding) {
        theEnding(status);
        return;
    }
    QCoreApplication::exit(status);
}

Ending setEnding(Ending ending)
{
    return std::exchange(theEnding, std::move(ending));
}
