#pragma once
// The process entry: one copy of the program at a time, then the main window for the whole
// life of the process.

class CCorvaneApp
{
public:
    // Runs the program; returns the process exit code. A second copy shows
    // "you had run one app!" and ends without any window.
    int InitInstance(int argc, char** argv);
};
