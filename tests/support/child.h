#pragma once

#include <QString>

// How a test checks what ends the program: the test function runs again in a process of its own,
// where inChild() is true, and the parent reads how that process ended.
bool inChild();

struct ChildEnd {
    bool finished = false;
    int status = -1;
    // Standard output and standard error together, decoded from the system's encoding, each line
    // ended by a line feed on every platform.
    QString output;
};

// Runs one test function of this test program again in a child process and waits for it to end.
ChildEnd runInChild(const char *testFunction);
