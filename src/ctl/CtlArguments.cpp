#include "ctl/CtlArguments.h"

#include <array>
#include <cctype>

#include "model/Profile.h"

namespace
{
// The brightness popup's codes in its order; their names are the model's bands of those levels.
constexpr std::array<int, 5> BrightnessCodes = {24, 8, 4, 2, 1};
// What the window's name editor allows.
constexpr size_t MaxMacroNameBytes = 12;

bool SameIgnoringCase(const std::string& strA, const std::string& strB)
{
    if (strA.size() != strB.size())
        return false;
    for (size_t i = 0; i < strA.size(); ++i)
    {
        const auto cA = static_cast<unsigned char>(strA[i]);
        const auto cB = static_cast<unsigned char>(strB[i]);
        if (std::tolower(cA) != std::tolower(cB))
            return false;
    }
    return true;
}

// Plain decimal digits only ("+1", " 1" or "1x" are not numbers here).
int SmallNumber(const std::string& strText)
{
    if (strText.empty() || strText.size() > 3)
        return -1;
    int nValue = 0;
    for (char c : strText)
    {
        if (c < '0' || c > '9')
            return -1;
        nValue = nValue * 10 + (c - '0');
    }
    return nValue;
}

bool ParseCommandArguments(const CtlCommandInfo& command, const std::vector<std::string>& vecWords, CtlRequest& request,
                           std::string& strError)
{
    std::vector<std::string> vecPositional;
    bool bOptionsEnded = false; // after "--" every word is an argument, even "-x.mkf"
    for (size_t i = 0; i < vecWords.size(); ++i)
    {
        const std::string& strWord = vecWords[i];
        const bool bProfileOption = strWord == "--profile" || strWord.rfind("--profile=", 0) == 0;
        if (bOptionsEnded)
            vecPositional.push_back(strWord);
        else if (strWord == "--")
            bOptionsEnded = true;
        else if (bProfileOption && command.m_eCommand == ECtlCommand::Lighting)
        {
            std::string strValue;
            if (strWord == "--profile")
            {
                if (i + 1 == vecWords.size())
                {
                    strError = "--profile needs a profile number (1-3)";
                    return false;
                }
                strValue = vecWords[++i];
            }
            else
                strValue = strWord.substr(strWord.find('=') + 1);
            request.nSlot = ParseProfileNumber(strValue);
            if (request.nSlot < 0)
            {
                strError = "no profile '" + strValue + "': profiles are 1, 2 and 3";
                return false;
            }
        }
        else if (strWord.size() > 1 && strWord[0] == '-')
        {
            strError = "unknown option '" + strWord + "' for " + command.m_pszName;
            return false;
        }
        else
            vecPositional.push_back(strWord);
    }
    const int nCount = static_cast<int>(vecPositional.size());
    if (nCount < command.m_nMinArguments || nCount > command.m_nMaxArguments)
    {
        strError = std::string("usage: corvanectl ") + command.m_pszName + (*command.m_pszArguments ? " " : "") +
                   command.m_pszArguments;
        return false;
    }

    switch (command.m_eCommand)
    {
    case ECtlCommand::Profile:
        request.nSlot = ParseProfileNumber(vecPositional[0]);
        if (request.nSlot < 0)
            strError = "no profile '" + vecPositional[0] + "': profiles are 1, 2 and 3";
        break;
    case ECtlCommand::Reset:
        if (vecPositional[0] != "all")
        {
            request.nSlot = ParseProfileNumber(vecPositional[0]);
            if (request.nSlot < 0)
                strError = "reset takes a profile (1, 2 or 3) or 'all', not '" + vecPositional[0] + "'";
        }
        break;
    case ECtlCommand::Lighting:
        request.nColour = ParseColour(vecPositional[0]);
        request.nBrightness = ParseBrightness(vecPositional[1]);
        if (request.nColour == 0)
            strError = "unknown colour '" + vecPositional[0] + "'; colours are " + JoinNames(ColourNames()) + " or 1-7";
        else if (request.nBrightness == 0)
            strError = "unknown brightness '" + vecPositional[1] + "'; brightness is " + JoinNames(BrightnessNames()) +
                       " or 24, 8, 4, 2, 1";
        break;
    case ECtlCommand::ExportMacro:
        request.strMacroName = vecPositional[0];
        request.strFile = vecPositional[1];
        if (request.strFile.empty())
            strError = "the file name is empty";
        break;
    case ECtlCommand::ImportMacro:
    {
        request.strFile = vecPositional[0];
        if (request.strFile.empty())
        {
            strError = "the file name is empty";
            break;
        }
        if (nCount > 1)
            request.strMacroName = vecPositional[1];
        else
        {
            // The file's own name, without its folder and its extension.
            std::string strName = request.strFile.substr(request.strFile.rfind('/') + 1);
            const size_t nDot = strName.rfind('.');
            if (nDot != std::string::npos && nDot > 0)
                strName.erase(nDot);
            request.strMacroName = strName;
        }
        const std::string strProblem = CheckMacroName(request.strMacroName);
        if (!strProblem.empty())
            strError = strProblem + (nCount > 1 ? "" : " (give a NAME after the file)");
        break;
    }
    case ECtlCommand::Autostart:
        request.strSwitch = vecPositional[0];
        if (request.strSwitch != "on" && request.strSwitch != "off" && request.strSwitch != "status")
            strError = "autostart takes on, off or status, not '" + request.strSwitch + "'";
        break;
    case ECtlCommand::Backup:
    case ECtlCommand::Restore:
        request.strFile = vecPositional[0];
        if (request.strFile.empty())
            strError = "the file name is empty";
        break;
    default: break;
    }
    return strError.empty();
}
} // namespace

std::vector<std::string> ColourNames()
{
    std::vector<std::string> vecNames;
    for (int nColour = 1; LightColourName(nColour); ++nColour)
        vecNames.emplace_back(LightColourName(nColour));
    return vecNames;
}

std::vector<std::string> BrightnessNames()
{
    std::vector<std::string> vecNames;
    for (int nCode : BrightnessCodes)
        vecNames.emplace_back(BrightnessBandName(nCode));
    return vecNames;
}

std::string JoinNames(const std::vector<std::string>& vecNames)
{
    std::string strText;
    for (const std::string& strName : vecNames)
        strText += (strText.empty() ? "" : ", ") + strName;
    return strText;
}

int ParseColour(const std::string& strText)
{
    const int nNumber = SmallNumber(strText);
    if (nNumber >= 1 && LightColourName(nNumber))
        return nNumber;
    for (int nColour = 1; LightColourName(nColour); ++nColour)
        if (SameIgnoringCase(strText, LightColourName(nColour)))
            return nColour;
    return 0;
}

int ParseBrightness(const std::string& strText)
{
    const int nNumber = SmallNumber(strText);
    for (int nCode : BrightnessCodes)
    {
        if (nNumber == nCode || SameIgnoringCase(strText, BrightnessBandName(nCode)))
            return nCode;
    }
    return 0;
}

int ParseProfileNumber(const std::string& strText)
{
    const int nNumber = SmallNumber(strText);
    return nNumber >= 1 && nNumber <= DeviceProfileCount ? nNumber - 1 : -1;
}

std::string CheckMacroName(const std::string& strName)
{
    if (strName.empty())
        return "a macro name cannot be empty";
    if (strName.size() > MaxMacroNameBytes)
        return "the macro name '" + strName + "' is longer than 12 bytes";
    for (char c : strName)
    {
        const auto nByte = static_cast<unsigned char>(c);
        if (nByte < 0x20 || nByte == 0x7F)
            return "a macro name cannot hold control characters";
    }
    return std::string();
}

bool ParseCtlArguments(const std::vector<std::string>& vecArgs, CtlRequest& request, std::string& strError)
{
    request = CtlRequest{};
    strError.clear();
    for (const std::string& strWord : vecArgs)
    {
        if (strWord == "-h" || strWord == "--help")
        {
            request.eKind = CtlRequest::EKind::Help;
            return true;
        }
    }
    if (vecArgs.empty())
    {
        strError = "no command given";
        return false;
    }
    if (vecArgs[0] == "--version")
    {
        request.eKind = CtlRequest::EKind::Version;
        if (vecArgs.size() == 1)
            return true;
        strError = "--version takes no arguments";
        return false;
    }
    if (vecArgs[0] == "help")
    {
        request.eKind = CtlRequest::EKind::Help;
        return true;
    }
    const CtlCommandInfo* pCommand = FindCtlCommand(vecArgs[0]);
    if (!pCommand)
    {
        strError = "unknown command '" + vecArgs[0] + "'";
        return false;
    }
    request.eCommand = pCommand->m_eCommand;
    return ParseCommandArguments(*pCommand, {vecArgs.begin() + 1, vecArgs.end()}, request, strError);
}
