// corvane-kbsim: runs the keyboard simulator through a small script and prints what the keyboard
// answers, its state and its exchange log. Useful to look at the report bytes without hardware.
//
//   corvane-kbsim                       run the built-in demonstration session
//   corvane-kbsim "get 5" "select 1 0" "get 7" state
//   corvane-kbsim - < session.txt        one command per line ('#' starts a comment)
//
// Commands:
//   enum                         list the HID collections
//   plug | unplug                plug the keyboard in or out (hot-plug notifications are printed)
//   select P K                   set report 4 [04 P K], then pause 8 ms
//   get ID                       get feature report ID (5..8) and print its bytes
//   set B0 B1 ...                set a feature report given in hexadecimal bytes (padded to its length)
//   sleep MS                     let MS milliseconds pass
//   profile-key P | colour C | brightness B | mode-key | win-lock | all-lock | g-key K
//                                things done on the keyboard itself (events are printed)
//   record K S0:S1 ...           record a macro on programmable key K (0..4) on the keyboard
//   state                        print the three profiles as the keyboard holds them
//   log | trace | violations     print the exchange log, its short trace, the protocol violations

#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "SimReport.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
size_t ReportLength(int nId)
{
    switch (nId)
    {
    case 4:
    case 5: return 3;
    case 6: return 184;
    case 7: return 6;
    case 8: return 226;
    default: return 0;
    }
}

class CKbSimSession
{
public:
    CKbSimSession()
    {
        m_kb.SetHotplugCallback(
            [](const HotplugEvent& event)
            {
                std::cout << "  hot-plug: " << (event.eAction == EHotplugAction::Arrival ? "arrival " : "removal ")
                          << event.strDevNode << "\n";
            });
        Reopen();
    }

    bool Run(const std::string& strLine)
    {
        const std::vector<std::string> vecWords = CommandWords(strLine);
        if (vecWords.empty())
            return true;
        std::cout << "> " << strLine << "\n";
        const std::string& strCommand = vecWords[0];
        std::vector<int> vecArgs;
        for (size_t i = 1; i < vecWords.size(); ++i)
        {
            int nValue = 0;
            bool bHex = strCommand == "set";
            if (strCommand == "record")
                continue;
            if (!ParseNumber(vecWords[i], bHex ? 16 : 10, nValue))
            {
                std::cout << "  bad number: " << vecWords[i] << "\n";
                return false;
            }
            vecArgs.push_back(nValue);
        }
        auto need = [&](size_t nCount)
        {
            if (vecArgs.size() >= nCount)
                return true;
            std::cout << "  " << strCommand << " needs " << nCount << " argument(s)\n";
            return false;
        };

        if (strCommand == "enum")
            PrintEnumeration();
        else if (strCommand == "plug")
        {
            m_kb.Plug();
            Reopen();
        }
        else if (strCommand == "unplug")
            m_kb.Unplug();
        else if (strCommand == "select")
        {
            if (!need(2))
                return false;
            uint8_t arrReport[3] = {0x04, static_cast<uint8_t>(vecArgs[0]), static_cast<uint8_t>(vecArgs[1])};
            bool bOk = m_pCommands && m_pCommands->SetFeature(arrReport, 3);
            std::cout << "  set 4: " << (bOk ? "ok" : "failed") << "\n";
            m_clock.SleepMs(8);
        }
        else if (strCommand == "get")
        {
            if (!need(1))
                return false;
            size_t nLength = ReportLength(vecArgs[0]);
            std::vector<uint8_t> vecBuffer(nLength ? nLength : 3, 0);
            vecBuffer[0] = static_cast<uint8_t>(vecArgs[0]);
            int nGot = m_pCommands ? m_pCommands->GetFeature(vecBuffer.data(), vecBuffer.size()) : -1;
            if (nGot < 0)
                std::cout << "  get " << vecArgs[0] << ": failed\n";
            else
            {
                vecBuffer.resize(static_cast<size_t>(nGot));
                std::cout << "  get " << vecArgs[0] << ": " << HexBytes(vecBuffer, 256) << "\n";
            }
            if (vecArgs[0] != 5)
                m_clock.SleepMs(8);
        }
        else if (strCommand == "set")
        {
            if (!need(1))
                return false;
            std::vector<uint8_t> vecReport;
            for (int nByte : vecArgs)
                vecReport.push_back(static_cast<uint8_t>(nByte));
            size_t nLength = ReportLength(vecArgs[0]);
            if (nLength > vecReport.size())
                vecReport.resize(nLength, 0);
            bool bOk = m_pCommands && m_pCommands->SetFeature(vecReport.data(), vecReport.size());
            std::cout << "  set " << vecArgs[0] << ": " << (bOk ? "ok" : "failed") << "\n";
            m_clock.SleepMs(vecArgs[0] == 6 || vecArgs[0] == 8 ? 350 : 15);
        }
        else if (strCommand == "sleep")
        {
            if (!need(1))
                return false;
            m_clock.SleepMs(static_cast<unsigned>(vecArgs[0]));
        }
        else if (strCommand == "profile-key" || strCommand == "colour" || strCommand == "brightness" ||
                 strCommand == "g-key")
        {
            if (!need(1))
                return false;
            uint8_t nValue = static_cast<uint8_t>(vecArgs[0]);
            if (strCommand == "profile-key")
                Events(m_kb.PressProfileKey(vecArgs[0]));
            else if (strCommand == "colour")
                Events(m_kb.ChangeColourOnKeyboard(nValue));
            else if (strCommand == "brightness")
                Events(m_kb.ChangeBrightnessOnKeyboard(nValue));
            else
                Events(m_kb.PressProgrammableKey(vecArgs[0]));
        }
        else if (strCommand == "mode-key")
            Events(m_kb.PressLightModeKey());
        else if (strCommand == "win-lock")
            Events(m_kb.ToggleWindowsLock());
        else if (strCommand == "all-lock")
            Events(m_kb.ToggleAllKeysLock());
        else if (strCommand == "record")
            return Record(vecWords);
        else if (strCommand == "state")
            PrintState();
        else if (strCommand == "log")
            PrintLog();
        else if (strCommand == "trace")
            std::cout << "  " << m_kb.FeatureTrace() << "\n";
        else if (strCommand == "violations")
        {
            std::string strText = m_kb.ViolationsText();
            std::cout << (strText.empty() ? std::string("  none\n") : strText);
        }
        else
        {
            std::cout << "  unknown command\n";
            return false;
        }
        return true;
    }

private:
    CManualClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};
    std::unique_ptr<CHidHandle> m_pCommands;
    std::unique_ptr<CHidHandle> m_pEvents;

    void Reopen()
    {
        m_pCommands.reset();
        m_pEvents.reset();
        for (const HidInterfaceInfo& info : m_kb.Enumerate())
        {
            if (info.nVendorId != 0x04F3 || info.nProductId != 0x1406)
                continue;
            if (info.nUsagePage == 0x000B)
                m_pCommands = m_kb.Open(info.strPath);
            if (info.nUsagePage == 0x000A)
                m_pEvents = m_kb.Open(info.strPath);
        }
    }

    void Events(int nReached)
    {
        if (!m_pEvents || nReached == 0)
        {
            std::cout << "  (no event report)\n";
            return;
        }
        uint8_t arrBuffer[64];
        int nRead;
        while ((nRead = m_pEvents->Read(arrBuffer, sizeof arrBuffer, 0)) > 0)
            std::cout << "  event report: " << HexBytes(std::vector<uint8_t>(arrBuffer, arrBuffer + nRead)) << "\n";
    }

    bool Record(const std::vector<std::string>& vecWords)
    {
        int nKey = 0;
        if (vecWords.size() < 2 || !ParseNumber(vecWords[1], 10, nKey))
        {
            std::cout << "  record needs a key number\n";
            return false;
        }
        std::vector<SimStep> vecSteps;
        std::string strBad;
        if (!ParseSteps(vecWords, 2, vecSteps, strBad))
        {
            std::cout << "  bad step: " << strBad << "\n";
            return false;
        }
        Events(m_kb.RecordMacroOnKeyboard(nKey, vecSteps));
        return true;
    }

    void PrintEnumeration()
    {
        std::vector<HidInterfaceInfo> vecList = m_kb.Enumerate();
        for (size_t i = 0; i < vecList.size(); ++i)
        {
            const HidInterfaceInfo& info = vecList[i];
            char arrLine[160];
            std::snprintf(arrLine, sizeof arrLine, "  %2zu  %04X:%04X  page %04X usage %04X  input %u  %s\n", i,
                          info.nVendorId, info.nProductId, info.nUsagePage, info.nUsage, info.nInputReportLength,
                          info.strPath.c_str());
            std::cout << arrLine;
        }
    }

    void PrintState() { PrintSimState(std::cout, m_kb); }

    void PrintLog() { PrintSimLog(std::cout, m_kb); }
};

const char* const kDemo[] = {
    "enum",
    "get 5",
    "select 0 0",
    "get 7",
    "set 07 0D 01 00 05 18",
    "select 1 0",
    "get 7",
    "profile-key 2",
    "record 2 1E:05 1E:80",
    "select 2 2",
    "get 8",
    "set 05 03 07",
    "unplug",
    "get 5",
    "plug",
    "state",
    "trace",
    "violations",
};
} // namespace

int main(int argc, char** argv)
{
    CKbSimSession session;
    bool bOk = true;
    if (argc == 1)
    {
        for (const char* pLine : kDemo)
            bOk = session.Run(pLine) && bOk;
    }
    else if (argc == 2 && std::string(argv[1]) == "-")
    {
        for (std::string strLine; std::getline(std::cin, strLine);)
            bOk = session.Run(strLine) && bOk;
    }
    else
    {
        for (int i = 1; i < argc; ++i)
            bOk = session.Run(argv[i]) && bOk;
    }
    return bOk ? 0 : 1;
}
