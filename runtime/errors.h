#pragma once

#include <QString>

enum class ErrorCode : int {
    Overflow = 6,
    TypeMismatch = 13,
    InvalidPropertyValue = 380,
    PrinterError = 482,
};

QString errorDescription(ErrorCode code);
QString errorMessage(ErrorCode code);

// Reports a run-time error: a message box names it and the program ends with a non-zero status.
// Tests install a hook on the forms registry so that no modal box ever blocks them.
void RaiseError(ErrorCode code);
