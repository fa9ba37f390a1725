#pragma once

#include <functional>

// End: the program stops at once, whatever is open or running, and no Form_Unload runs. Without an
// ending installed it leaves the event loop with the status.
void End(int status = 0);

// Installs how the program ends (a test records the status instead). Returns the one it replaces.
using Ending = std::function<void(int status)>;
Ending setEnding(Ending ending);
