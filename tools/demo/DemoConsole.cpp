#include "DemoConsole.h"

#include "DemoWindows.h"
#include "SimReport.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "skin/DlgBase.h"

#include <QApplication>
#include <sstream>

namespace
{
// Steps of the macro that "record K" stores when none are given: the 1 key pressed and released.
const std::vector<std::string> DefaultRecordedSteps = {"1E:05", "1E:80"};
} // namespace

const char* const DemoCommandHelp =
    "Commands (one per line on standard input; keys and profiles are numbered as on the keyboard):\n"
    "  plug | unplug          plug the keyboard in or pull it out\n"
    "  profile-key P          press the profile key of profile P (1..3)\n"
    "  colour C               press the colour key until colour code C (1..7) is lit\n"
    "  brightness B           press the brightness key until brightness code B is set\n"
    "  mode-key               press the lighting mode key (breathing on or off)\n"
    "  win-lock | all-lock    press the Windows-key lock or the all-keys lock\n"
    "  record K [S0:S1 ...]   record a macro on programmable key K (1..5) on the keyboard itself;\n"
    "                         steps in hexadecimal, by default the 1 key pressed and released\n"
    "  g-key K                press programmable key K (1..5)\n"
    "  state                  the keyboard's three profiles, active profile and locks\n"
    "  log                    the exchange log: every report with its time in milliseconds\n"
    "  trace                  the feature reports in short (S set, G get, then the report id)\n"
    "  violations             the protocol faults the keyboard noticed, or \"none\"\n"
    "  sleep MS               wait MS milliseconds before the next command\n"
    "  click X Y | point X Y  press and release the left button at, or move the pointer to, point\n"
    "                         (X, Y) of the main window (an open popup there takes it)\n"
    "  windows                the shown windows: kind, place relative to the main window, size\n"
    "  render FILE [SLOT]     save the main window, or the popup of SLOT, as drawn off screen (PNG)\n"
    "  show                   bring the window to the front (as the tray menu's \"Config Keyboard\")\n"
    "  quit                   end the program (as the tray menu's \"Exit\")\n"
    "  help                   this text\n"
    "Every reply ends with a line \"ok\" or \"error: ...\"; its other lines start with two spaces.\n";

CDemoConsole::CDemoConsole(CSimulatedKeyboard& keyboard, CSkinWindow& window, std::ostream& out,
                           std::function<void(int, std::function<void()>)> fnSleep)
    : m_keyboard(keyboard), m_window(window), m_out(out), m_fnSleep(std::move(fnSleep))
{
    if (auto* pDialog = dynamic_cast<CDlgBase*>(&window))
        m_pWindows = std::make_unique<CDemoWindows>(*pDialog);
}

CDemoConsole::~CDemoConsole() = default;

void CDemoConsole::Submit(const std::string& strLine)
{
    m_queLines.push_back(strLine);
    RunQueued();
}

void CDemoConsole::RunQueued()
{
    // A command may spin a nested event loop (a dialog); lines that arrive meanwhile wait here.
    if (m_bRunning)
        return;
    m_bRunning = true;
    while (!m_bSleeping && !m_queLines.empty())
    {
        const std::vector<std::string> vecWords = CommandWords(m_queLines.front());
        m_queLines.pop_front();
        if (vecWords.empty())
            continue;
        if (Run(vecWords) && !m_bSleeping)
            m_out << "ok\n";
        m_out.flush();
    }
    m_bRunning = false;
}

bool CDemoConsole::Fail(const std::string& strWhy)
{
    m_out << "error: " << strWhy << "\n";
    return false;
}

bool CDemoConsole::NumberArgument(const std::vector<std::string>& vecWords, int nMin, int nMax, int& nValue)
{
    if (vecWords.size() < 2 || !ParseNumber(vecWords[1], 10, nValue) || nValue < nMin || nValue > nMax)
        return Fail(vecWords[0] + " needs a number from " + std::to_string(nMin) + " to " + std::to_string(nMax));
    return true;
}

void CDemoConsole::Delivered(int nReaders)
{
    // Without a reader (keyboard unplugged, or the program not listening) the report is lost.
    m_out << "  event report delivered to " << nReaders << " reader(s)\n";
}

bool CDemoConsole::Run(const std::vector<std::string>& vecWords)
{
    const std::string& strCommand = vecWords[0];
    int nValue = 0;
    if (strCommand == "help")
    {
        std::istringstream text(DemoCommandHelp);
        for (std::string strLine; std::getline(text, strLine);)
            m_out << "  " << strLine << "\n";
    }
    else if (strCommand == "plug")
        m_keyboard.Plug();
    else if (strCommand == "unplug")
        m_keyboard.Unplug();
    else if (strCommand == "profile-key")
    {
        if (!NumberArgument(vecWords, 1, 3, nValue))
            return false;
        Delivered(m_keyboard.PressProfileKey(nValue - 1));
    }
    else if (strCommand == "colour")
    {
        if (!NumberArgument(vecWords, 1, 7, nValue))
            return false;
        Delivered(m_keyboard.ChangeColourOnKeyboard(static_cast<uint8_t>(nValue)));
    }
    else if (strCommand == "brightness")
    {
        if (!NumberArgument(vecWords, 0, 255, nValue))
            return false;
        Delivered(m_keyboard.ChangeBrightnessOnKeyboard(static_cast<uint8_t>(nValue)));
    }
    else if (strCommand == "mode-key")
        Delivered(m_keyboard.PressLightModeKey());
    else if (strCommand == "win-lock")
        Delivered(m_keyboard.ToggleWindowsLock());
    else if (strCommand == "all-lock")
        Delivered(m_keyboard.ToggleAllKeysLock());
    else if (strCommand == "record")
    {
        if (!NumberArgument(vecWords, 1, 5, nValue))
            return false;
        std::vector<SimStep> vecSteps;
        std::string strBad;
        if (vecWords.size() > 2 ? !ParseSteps(vecWords, 2, vecSteps, strBad)
                                : !ParseSteps(DefaultRecordedSteps, 0, vecSteps, strBad))
            return Fail("a step is written S0:S1 in hexadecimal, not " + strBad);
        if (vecSteps.size() > kSimMaxSteps)
            return Fail("at most " + std::to_string(kSimMaxSteps) + " steps");
        Delivered(m_keyboard.RecordMacroOnKeyboard(nValue - 1, vecSteps));
    }
    else if (strCommand == "g-key")
    {
        if (!NumberArgument(vecWords, 1, 5, nValue))
            return false;
        // Only a key set to start a program tells the computer; the keyboard does the rest itself.
        Delivered(m_keyboard.PressProgrammableKey(nValue - 1));
    }
    else if (strCommand == "state")
        PrintSimState(m_out, m_keyboard);
    else if (strCommand == "log")
        PrintSimLog(m_out, m_keyboard);
    else if (strCommand == "trace")
        m_out << "  " << m_keyboard.FeatureTrace() << "\n";
    else if (strCommand == "violations")
    {
        const std::string strText = m_keyboard.ViolationsText();
        if (strText.empty())
            m_out << "  none\n";
        std::istringstream text(strText);
        for (std::string strLine; std::getline(text, strLine);)
            m_out << "  " << strLine << "\n";
    }
    else if (strCommand == "sleep")
    {
        if (!NumberArgument(vecWords, 0, 600000, nValue))
            return false;
        m_bSleeping = true;
        m_fnSleep(nValue,
                  [this]
                  {
                      m_bSleeping = false;
                      m_out << "ok\n";
                      m_out.flush();
                      RunQueued();
                  });
    }
    else if (strCommand == "click" || strCommand == "point")
    {
        int x = 0;
        int y = 0;
        if (!m_pWindows || vecWords.size() != 3 || !ParseNumber(vecWords[1], 10, x) || !ParseNumber(vecWords[2], 10, y))
            return Fail(strCommand + " needs a point X Y of the main window");
        if (strCommand == "click")
            m_pWindows->Click(x, y);
        else
            m_pWindows->Point(x, y);
    }
    else if (strCommand == "windows" && m_pWindows)
        m_pWindows->List(m_out);
    else if (strCommand == "render")
    {
        int nSlot = 0;
        if (!m_pWindows || vecWords.size() < 2 || (vecWords.size() > 2 && !ParseNumber(vecWords[2], 10, nSlot)))
            return Fail("render needs a file name and optionally a popup slot");
        if (!m_pWindows->Render(vecWords[1], nSlot))
            return Fail("nothing to render, or " + vecWords[1] + " cannot be written");
    }
    else if (strCommand == "show")
        CSkinWindow::SendMessage(&m_window, MainWindow::WM_COMMAND, MainWindow::IDC_CONFIG_KEYBOARD, 0);
    else if (strCommand == "quit")
    {
        // Open modal dialogs are closed first, or the window's loop could not end behind them.
        for (int nDepth = 0; nDepth < 8; ++nDepth)
        {
            auto* pModal = dynamic_cast<CDlgBase*>(QApplication::activeModalWidget());
            if (!pModal || pModal == &m_window || !pModal->IsModalLoopRunning())
                break;
            pModal->EndDialog(IDCANCEL);
            pModal->hide();
        }
        CSkinWindow::SendMessage(&m_window, MainWindow::WM_COMMAND, MainWindow::IDC_EXIT, 0);
    }
    else
        return Fail("unknown command " + strCommand + " (try help)");
    return true;
}
