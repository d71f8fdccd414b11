#pragma once
// Gets the system's fonts ready on a worker thread once the main window is on the screen, so
// that the first text laid out later (a popup, a dialog, the repeat-count box) does not wait for
// the font configuration and Qt's font list on the UI thread. Started any sooner, the load
// competes with the window's own start for the CPU and the X server and delays its first frame;
// the first frame itself needs no font.
//
// Only a head start: whatever needs the fonts first waits for the rest or does it. The
// application waits for the worker when it ends.
void WarmUpFonts();
