#pragma once
// Gets the system's fonts ready on worker threads while the program starts, so that the first
// text the user interface lays out (the main window creates a line edit) does not wait for them
// on the UI thread. Reading the font configuration costs more than the rest of the window's
// start-up together, and most of it can start before the application object exists.
//
//     CFontWarmUp fonts;            // first thing in main: reads the font configuration
//     QApplication app(argc, argv);
//     fonts.ApplicationCreated();   // loads Qt's font list on top of it
//
// Both steps are only head starts: whatever needs the fonts first waits for the rest or does it.

#include <thread>

class CFontWarmUp
{
public:
    CFontWarmUp();
    ~CFontWarmUp(); // waits for the first step, which is short
    CFontWarmUp(const CFontWarmUp&) = delete;
    CFontWarmUp& operator=(const CFontWarmUp&) = delete;

    // Once the application object exists. The application waits for this step when it ends.
    void ApplicationCreated();

private:
    std::thread m_thrConfiguration;
};
