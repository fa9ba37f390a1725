#pragma once

class QString;

// Names the application and sets the look, the ending rule and the accessibility of the controls
// that every start of the program shares.
void SetUpApplication();

// How the program reports a run-time error: a message box names it, then the program ends with
// status 1.
void ShowErrorAndEnd(const QString &message);
