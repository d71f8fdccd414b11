#include "storage/PendingEditsFile.h"

#include <cerrno>
#include <cstdio>
#include <sstream>
#include <vector>

#include "storage/AtomicWrite.h"
#include "storage/TextFile.h"

namespace
{
constexpr const char* Header = "[PendingEdits]";
constexpr const char* LightingWord = "Lighting";
constexpr const char* KeyTableWord = "KeyTable";
constexpr const char* ActiveProfileLine = "ActiveProfile=Pending";

std::string MacroWord(int nKey)
{
    return "G" + std::to_string(nKey + 1);
}
} // namespace

std::string FormatPendingEditsFile(const AwaitingEdits& awaiting)
{
    std::string strOut = std::string(Header) + "\n";
    if (awaiting.m_bActiveProfile)
        strOut += std::string(ActiveProfileLine) + "\n";
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        const PendingChanges& slot = awaiting.m_slots[static_cast<size_t>(nSlot)];
        if (!slot.Any())
            continue;
        std::string strLine = "Profile" + std::to_string(nSlot + 1) + "=";
        std::vector<std::string> vecWords;
        if (slot.LightingPending)
            vecWords.push_back(LightingWord);
        if (slot.KeyTablePending)
            vecWords.push_back(KeyTableWord);
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            if (slot.MacroPending[static_cast<size_t>(k)])
                vecWords.push_back(MacroWord(k));
        for (size_t i = 0; i < vecWords.size(); ++i)
            strLine += (i ? " " : "") + vecWords[i];
        strOut += strLine + "\n";
    }
    return strOut;
}

AwaitingEdits ParsePendingEditsFile(const std::string& strContent)
{
    AwaitingEdits awaiting;
    std::istringstream in(strContent);
    std::string strLine;
    while (std::getline(in, strLine))
    {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (strLine == ActiveProfileLine)
        {
            awaiting.m_bActiveProfile = true;
            continue;
        }
        const std::string strPrefix = "Profile";
        const size_t nEq = strLine.find('=');
        if (strLine.rfind(strPrefix, 0) != 0 || nEq != strPrefix.size() + 1)
            continue;
        const int nSlot = strLine[strPrefix.size()] - '1';
        if (nSlot < 0 || nSlot >= ProfileSlotCount)
            continue;
        PendingChanges& slot = awaiting.m_slots[static_cast<size_t>(nSlot)];
        std::istringstream words(strLine.substr(nEq + 1));
        std::string strWord;
        while (words >> strWord)
        {
            if (strWord == LightingWord)
                slot.LightingPending = true;
            else if (strWord == KeyTableWord)
                slot.KeyTablePending = true;
            else
                for (int k = 0; k < ProgrammableKeyCount; ++k)
                    if (strWord == MacroWord(k))
                        slot.MacroPending[static_cast<size_t>(k)] = true;
        }
    }
    return awaiting;
}

bool WritePendingEditsFile(const std::string& strPath, const AwaitingEdits& awaiting)
{
    if (!awaiting.Any())
        return std::remove(strPath.c_str()) == 0 || errno == ENOENT;
    return WriteTextFileAtomic(strPath, FormatPendingEditsFile(awaiting));
}

AwaitingEdits ReadPendingEditsFile(const std::string& strPath)
{
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.empty() || vecLines[0] != Header)
        return {};
    std::string strContent;
    for (const std::string& strLine : vecLines)
        strContent += strLine + "\n";
    return ParsePendingEditsFile(strContent);
}
