#pragma once
// The demo's command language: what a user (or a test) does to the simulated keyboard, and what
// it asks to see, one command per line. Every reply is zero or more lines indented by two spaces
// and then a last line "ok" or "error: <why>", so a script can tell where a reply ends.

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class CDemoWindows;
class CSimulatedKeyboard;
class CSkinWindow;

// The usage text of the commands (also part of corvane-demo --help).
extern const char* const DemoCommandHelp;

class CDemoConsole
{
public:
    // fnSleep(ms, resume) must call resume once ms milliseconds have passed, from the event loop.
    CDemoConsole(CSimulatedKeyboard& keyboard, CSkinWindow& window, std::ostream& out,
                 std::function<void(int, std::function<void()>)> fnSleep);
    ~CDemoConsole();

    // Queues one line and runs what is queued, unless a "sleep" is still waiting.
    void Submit(const std::string& strLine);

private:
    void RunQueued();
    // Runs one command; answers false when it failed (its reason already printed).
    bool Run(const std::vector<std::string>& vecWords);
    bool Fail(const std::string& strWhy);
    bool NumberArgument(const std::vector<std::string>& vecWords, int nMin, int nMax, int& nValue);
    void Delivered(int nReaders);

    CSimulatedKeyboard& m_keyboard;
    CSkinWindow& m_window;
    std::unique_ptr<CDemoWindows> m_pWindows; // when the window is a skinned dialog
    std::ostream& m_out;
    std::function<void(int, std::function<void()>)> m_fnSleep;
    std::deque<std::string> m_queLines;
    bool m_bSleeping = false;
    bool m_bRunning = false;
};
