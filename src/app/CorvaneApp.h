#pragma once
// The process entry: one copy of the program at a time, then the main window for the whole
// life of the process.

#include <functional>

class CInstanceLock;

class CCorvaneApp
{
public:
    static constexpr const char* SecondInstanceText = "you had run one app!";
    // Starts with the window hidden in the tray (minimised without a tray), as a session's
    // autostart entry does; the keyboard is looked for and read as at any start.
    static constexpr const char* TrayOption = "--tray";

    // Runs the program; returns the process exit code. A second copy shows
    // "you had run one app!" and ends without any window.
    int InitInstance(int argc, char** argv);

    // Once the application object exists: when the lock is held elsewhere, the plain message and
    // nothing else (no window, no tray icon), then, once the user has answered it, the running
    // copy is asked to show its window; otherwise fnRunMainWindow, whose result is returned.
    static int RunSingleInstance(CInstanceLock& lock, const std::function<int()>& fnRunMainWindow);

    // Whether the command line holds TrayOption.
    static bool HasTrayOption(int argc, char** argv);
};
