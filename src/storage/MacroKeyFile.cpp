#include "storage/MacroKeyFile.h"

#include <vector>

#include "model/Profile.h"
#include "storage/MacroLibraryFile.h"
#include "storage/TextFile.h"

namespace {
constexpr const char* KeyHeader = "[MacroKey]";
}

std::string FormatMacroKeyFile(const MacroKey& key)
{
    std::string strOut = KeyHeader;
    strOut += "\r\n\tMacroKeyLoopEnable=" + std::to_string(key.LoopEnable) + "\r\n";
    strOut += "\tMacroKeyLoopNum=" + std::to_string(key.LoopNum) + "\r\n";
    strOut += "\tMacroActionNum=" + std::to_string(key.m_nActionCount) + "\r\n";
    strOut += "\tMacroCommandActionNum=" + std::to_string(key.MacroCommandActionNum) + "\r\n";
    strOut += "\t\tAllAction=";
    AppendActionDigits(strOut, key);
    strOut += "\r\n";
    return strOut;
}

bool WriteMacroKeyFile(const std::string& strPath, const MacroKey& key)
{
    return WriteTextFileAtomic(strPath, FormatMacroKeyFile(key));
}

bool ReadMacroKeyFile(const std::string& strPath, MacroKey& key)
{
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.size() < 6 || vecLines[0] != KeyHeader)
        return false;
    long nValues[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::string& strLine = vecLines[1 + i];
        const size_t nEq = strLine.find('=');
        if (nEq == std::string::npos || nEq + 1 == strLine.size())
            return false;
        nValues[i] = ParseDecimal(strLine.substr(nEq + 1));
    }
    const std::string& strActions = vecLines[5];
    const size_t nEq = strActions.find('=');
    if (nEq == std::string::npos)
        return false;
    MacroKey imported = key;
    if (!ParseActionDigits(strActions, nEq + 1, imported))
        return false;
    imported.LoopEnable = static_cast<unsigned>(nValues[0]);
    imported.LoopNum = static_cast<uint8_t>(nValues[1]);
    imported.SetActionCount(nValues[2] < 0 ? 0 : static_cast<unsigned long>(nValues[2]));
    imported.MacroCommandActionNum = static_cast<uint8_t>(nValues[3]);
    key = imported;
    return true;
}
