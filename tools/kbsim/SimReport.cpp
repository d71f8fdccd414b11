#include "SimReport.h"

#include <cstdio>
#include <sstream>

std::string HexBytes(const std::vector<uint8_t>& vecBytes, size_t nMax)
{
    std::string strText;
    char arrBuffer[4];
    for (size_t i = 0; i < vecBytes.size() && i < nMax; ++i)
    {
        std::snprintf(arrBuffer, sizeof arrBuffer, "%02X", vecBytes[i]);
        if (i)
            strText += ' ';
        strText += arrBuffer;
    }
    if (vecBytes.size() > nMax)
        strText += " ... (" + std::to_string(vecBytes.size()) + " bytes)";
    return strText;
}

std::vector<std::string> CommandWords(const std::string& strLine)
{
    std::istringstream stream(strLine);
    std::vector<std::string> vecWords;
    for (std::string strWord; stream >> strWord;)
    {
        if (strWord[0] == '#')
            break;
        vecWords.push_back(strWord);
    }
    return vecWords;
}

bool ParseNumber(const std::string& strText, int nBase, int& nValue)
{
    try
    {
        size_t nUsed = 0;
        long nParsed = std::stol(strText, &nUsed, nBase);
        if (nUsed != strText.size() || nParsed < 0 || nParsed > 0xFFFF)
            return false;
        nValue = static_cast<int>(nParsed);
        return true;
    }
    catch (...)
    {
        return false;
    }
}

bool ParseSteps(const std::vector<std::string>& vecWords, size_t nFirst, std::vector<SimStep>& vecSteps,
                std::string& strBad)
{
    for (size_t i = nFirst; i < vecWords.size(); ++i)
    {
        const size_t nColon = vecWords[i].find(':');
        int nS0 = 0;
        int nS1 = 0;
        if (nColon == std::string::npos || !ParseNumber(vecWords[i].substr(0, nColon), 16, nS0) ||
            !ParseNumber(vecWords[i].substr(nColon + 1), 16, nS1) || nS0 > 0xFF || nS1 > 0xFF)
        {
            strBad = vecWords[i];
            return false;
        }
        vecSteps.emplace_back(static_cast<uint8_t>(nS0), static_cast<uint8_t>(nS1));
    }
    return true;
}

void PrintSimState(std::ostream& out, const CSimulatedKeyboard& kb)
{
    out << "  active profile " << kb.ActiveProfile() << ", last profile command " << kb.LastProfileCommand()
        << ", windows lock " << kb.WindowsLock() << ", all-keys lock " << kb.AllKeysLock() << "\n";
    for (int p = 0; p < 3; ++p)
    {
        const SimProfileState profile = kb.Profile(p);
        out << "  profile " << p << ": colour " << int(profile.nColour) << ", brightness " << int(profile.nBrightness)
            << "\n    remap " << HexBytes(std::vector<uint8_t>(profile.arrRemap.begin(), profile.arrRemap.end()), 16)
            << "\n";
        for (int k = 0; k < 5; ++k)
        {
            out << "    G" << k + 1 << " value "
                << HexBytes(std::vector<uint8_t>(profile.arrKeyValues[k].begin(), profile.arrKeyValues[k].end()))
                << "  macro ";
            if (kb.HasMacroName(p, k))
                out << "\"" << kb.MacroName(p, k) << "\"";
            else
                out << "(no name)";
            out << ", repeat " << int(kb.MacroLoop(p, k)) << ", " << int(kb.MacroStepCount(p, k)) << " steps\n";
        }
    }
}

void PrintSimLog(std::ostream& out, const CSimulatedKeyboard& kb)
{
    for (const SimExchange& exchange : kb.Log())
    {
        const char* pDirection = "";
        switch (exchange.eDirection)
        {
        case ESimDirection::Set: pDirection = "set  "; break;
        case ESimDirection::Get: pDirection = "get  "; break;
        case ESimDirection::Input: pDirection = "input"; break;
        case ESimDirection::Open: pDirection = "open "; break;
        case ESimDirection::Close: pDirection = "close"; break;
        }
        out << "  " << exchange.nTimeMs << " ms  " << pDirection << " " << exchange.strPath;
        if (exchange.eDirection != ESimDirection::Open && exchange.eDirection != ESimDirection::Close)
            out << "  [" << HexBytes(exchange.vecBytes, 16) << "]";
        if (!exchange.bOk)
            out << "  FAILED";
        out << "\n";
    }
}
