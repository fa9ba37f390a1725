#pragma once

#include <QString>

#include <functional>

enum class ErrorCode : int {
    TypeMismatch = 13,
    InvalidPropertyValue = 380,
    PrinterError = 482,
};

QString errorDescription(ErrorCode code);
QString errorMessage(ErrorCode code);

// What a run-time error does is up to whoever owns the program: the program shows a message box
// and ends, a test records the error. Without a report installed the message goes to standard
// error and the program ends with status 1. Returns the report it replaces.
using ErrorReport = std::function<void(ErrorCode code, const QString &message)>;
ErrorReport setErrorReport(ErrorReport report);

// Raises a run-time error through the installed report.
void RaiseError(ErrorCode code);
