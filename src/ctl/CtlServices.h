#pragma once
// What corvanectl takes from the process that runs it, as the window takes CPlatformServices:
// the data folder, the HID access, the clock of the protocol pauses, the program starter, the
// single-instance lock and the two output streams. The real tool gives hidapi, the system clock
// and the user's lock; the tests give the keyboard simulator, a manual clock, a lock in a scratch
// folder and string streams.

#include <ostream>
#include <string>
#include <vector>

class CClock;
class CHidBackend;
class CInstanceLock;
class CProgramLauncher;

struct CCtlServices
{
    std::string m_strAppDirectory; // ends with '/'; the data files live in its config/ folder
    CHidBackend& m_hid;
    CClock& m_clock;
    CProgramLauncher& m_launcher;
    CInstanceLock& m_lock; // the window's lock: held for the whole run, refused while it runs
    std::ostream& m_out;   // results
    std::ostream& m_err;   // errors and notes
};

// Exit statuses.
enum ECtlExit : int
{
    CtlExitOk = 0,
    CtlExitFailure = 1, // the command could not be done (keyboard, files, lock)
    CtlExitUsage = 2,   // the command line was wrong; nothing was touched
};

// Runs one command line (without the program name). Everything it does goes through services.
int RunCorvaneCtl(const std::vector<std::string>& vecArgs, const CCtlServices& services);
