#include "runtime/errors.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {
ErrorReport theReport;
}

QString errorDescription(ErrorCode code)
{
    switch (code) {
    case ErrorCode::TypeMismatch:
        return QStringLiteral("No coinciden los tipos");
    case ErrorCode::InvalidPropertyValue:
        return QStringLiteral("El valor de la propiedad no es válido");
    case ErrorCode::PrinterError:
        return QStringLiteral("Error de impresora");
    }
    return QStringLiteral("Error desconocido");
}

QString errorMessage(ErrorCode code)
{
    return QStringLiteral("Error '%1' en tiempo de ejecución: %2").arg(int(code)).arg(errorDescription(code));
}

ErrorReport setErrorReport(ErrorReport report)
{
    return std::exchange(theReport, std::move(report));
}

void RaiseError(ErrorCode code)
{
    const QString message = errorMessage(code);
    if (theReport) {
        theReport(code, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}
