#include "storage/MacroLibraryFile.h"

#include <vector>

#include "model/Profile.h"
#include "storage/TextFile.h"

namespace {

constexpr const char* LibraryHeader = "[MacroLibrary]";
constexpr size_t ActionDigits = MacroActionSlots * 8;

// Walks the lines after the header; every line taken must carry a non-empty value after its
// first "=".
class CLineReader
{
public:
    explicit CLineReader(const std::vector<std::string>& vecLines) : m_vecLines(vecLines) {}

    // The line and the position of its value; false on a missing or malformed line.
    bool Next(const std::string*& pLine, size_t& nValue)
    {
        if (m_nLine >= m_vecLines.size())
            return false;
        pLine = &m_vecLines[m_nLine++];
        const size_t nEq = pLine->find('=');
        if (nEq == std::string::npos || nEq + 1 == pLine->size())
            return false;
        nValue = nEq + 1;
        return true;
    }
    bool NextText(std::string& strValue)
    {
        const std::string* pLine = nullptr;
        size_t nValue = 0;
        if (!Next(pLine, nValue))
            return false;
        strValue = pLine->substr(nValue);
        return true;
    }
    bool NextNumber(long& nNumber)
    {
        std::string strValue;
        if (!NextText(strValue))
            return false;
        nNumber = ParseDecimal(strValue);
        return true;
    }

private:
    const std::vector<std::string>& m_vecLines;
    size_t m_nLine = 1;
};

} // namespace

void AppendActionDigits(std::string& strOut, const MacroKey& key)
{
    for (const MacroAction& action : key.m_actions)
        for (uint8_t nByte : action.m_bytes)
            AppendHexByte(strOut, nByte);
}

bool ParseActionDigits(const std::string& strLine, size_t nStart, MacroKey& key)
{
    if (nStart > strLine.size() || strLine.size() - nStart != ActionDigits)
        return false;
    for (unsigned i = 0; i < MacroActionSlots; ++i)
        for (unsigned b = 0; b < 4; ++b)
            key.m_actions[i].m_bytes[b] =
                static_cast<uint8_t>(ParseHexGroup(strLine, nStart + i * 8 + b * 2, 2));
    return true;
}

bool ReadMacroLibraryFile(const std::string& strPath, MacroLibrary& library)
{
    library.Clear();
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.empty() || vecLines[0] != LibraryHeader)
        return false;
    CLineReader reader(vecLines);
    long nSets = 0;
    if (!reader.NextNumber(nSets))
        return false;
    for (long s = 0; s < nSets; ++s) {
        std::string strName;
        if (!reader.NextText(strName))
            return false;
        MacroSet& set = library.AppendSet(strName);
        long nKeys = 0;
        if (!reader.NextNumber(nKeys))
            return false;
        for (long k = 0; k < nKeys; ++k) {
            if (!reader.NextText(strName))
                return false;
            MacroKey& key = set.AppendKey(strName);
            long nValue = 0;
            if (!reader.NextNumber(nValue))
                return false;
            key.LoopEnable = static_cast<unsigned>(nValue);
            if (!reader.NextNumber(nValue))
                return false;
            key.LoopNum = static_cast<uint8_t>(nValue);
            if (!reader.NextNumber(nValue))
                return false;
            key.SetActionCount(nValue < 0 ? 0 : static_cast<unsigned long>(nValue));
            if (!reader.NextNumber(nValue))
                return false;
            key.MacroCommandActionNum = static_cast<uint8_t>(nValue);
            const std::string* pLine = nullptr;
            size_t nStart = 0;
            if (!reader.Next(pLine, nStart) || !ParseActionDigits(*pLine, nStart, key))
                return false;
        }
    }
    return true;
}

std::string FormatMacroLibraryFile(const MacroLibrary& library)
{
    size_t nKeys = 0;
    for (const MacroSet& set : library.m_vecSets)
        nKeys += set.m_vecKeys.size();
    std::string strOut;
    strOut.reserve(64 + library.m_vecSets.size() * 64 + nKeys * (ActionDigits + 256));

    strOut += LibraryHeader;
    strOut += "\r\nMacroSetNum=" + std::to_string(library.m_vecSets.size()) + "\r\n";
    for (size_t s = 0; s < library.m_vecSets.size(); ++s) {
        const MacroSet& set = library.m_vecSets[s];
        strOut += "\tMacroSet" + std::to_string(s) + "Name=" + set.m_strName + "\r\n";
        strOut += "\t\tMacroKeyNum=" + std::to_string(set.m_vecKeys.size()) + "\r\n";
        for (size_t k = 0; k < set.m_vecKeys.size(); ++k) {
            const MacroKey& key = set.m_vecKeys[k];
            const std::string strK = std::to_string(k);
            strOut += "\t\tMacroKey" + strK + "Name=" + key.m_strName + "\r\n";
            strOut += "\t\t\tMacroKey" + strK + "LoopEnable=" + std::to_string(key.LoopEnable) + "\r\n";
            strOut += "\t\t\tMacroKey" + strK + "LoopNum=" + std::to_string(key.LoopNum) + "\r\n";
            strOut += "\t\t\tMacroActionNum=" + std::to_string(key.m_nActionCount) + "\r\n";
            strOut += "\t\t\tMacroCommandActionNum=" + std::to_string(key.MacroCommandActionNum) + "\r\n";
            strOut += "\t\t\tAllAction=";
            AppendActionDigits(strOut, key);
            strOut += "\r\n";
        }
    }
    return strOut;
}

bool WriteMacroLibraryFile(const std::string& strPath, const MacroLibrary& library)
{
    return WriteTextFileAtomic(strPath, FormatMacroLibraryFile(library));
}

bool LoadMacroLibraryFile(const std::string& strPath, MacroLibrary& library)
{
    if (ReadMacroLibraryFile(strPath, library))
        return true;
    library.SetDefault();
    WriteMacroLibraryFile(strPath, library);
    return false;
}
