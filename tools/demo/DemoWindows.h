#pragma once
// The demo's commands about its windows, for a test that cannot reach them with a real pointer
// (a headless compositor has no seat): pointer input handed to the windows as the platform hands
// it over, a list of the shown windows, and the window's picture
// drawn off screen. Points are in the main window's coordinates; a point on an open popup goes
// to the popup.

#include <ostream>
#include <string>

class CDlgBase;

class CDemoWindows
{
public:
    explicit CDemoWindows(CDlgBase& window) : m_window(window) {}

    // Moves the pointer to (x, y), then presses and releases the left button there.
    void Click(int x, int y);
    // Moves the pointer to (x, y).
    void Point(int x, int y);
    // One line per shown top-level: its kind (main, popup N, dialog, display), position relative
    // to the main window, size, and "minimised" / "translucent" where they hold.
    void List(std::ostream& out) const;
    // The main window (nSlot 0) or the popup of slot nSlot as drawn off screen; false when there
    // is none or the file cannot be written.
    bool Render(const std::string& strFile, int nSlot) const;

private:
    CDlgBase& m_window;
};
