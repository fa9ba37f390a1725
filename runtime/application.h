#pragma once

// Names the application and sets the look and the ending rule every start of the program shares.
void SetUpApplication();
