#pragma once
// What the main window takes from the front end that starts it: where the data files live, the
// HID access, the source of device arrivals and removals, the clock for the protocol pauses and
// the program starter. The program gives the real ones; the demo gives the keyboard simulator.
// Everything here outlives the window.

#include <string>

class CClock;
class CHidBackend;
class CHotplugSource;
class CProgramLauncher;

struct CPlatformServices
{
    std::string m_strAppDirectory; // ends with '/'; the data files live in its config/ folder
    CHidBackend& m_hid;
    CHotplugSource& m_hotplug; // its Fd() is -1 when device changes cannot be followed
    CClock& m_clock;
    CProgramLauncher& m_launcher;
};
