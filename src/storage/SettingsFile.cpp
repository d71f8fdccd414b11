#include "storage/SettingsFile.h"

#include <vector>

#include "storage/TextFile.h"

namespace {
constexpr const char* SettingsHeader = "[Setting]";
}

bool ReadSettingsFile(const std::string& strPath, SettingsStore& settings)
{
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.empty() || vecLines[0] != SettingsHeader)
        return false;
    for (int i = 0; i < SettingsPairCount; ++i) {
        const size_t nLine = 1 + static_cast<size_t>(i);
        if (nLine >= vecLines.size())
            return true; // a file may end early; unreached pairs keep their values
        const std::string& strLine = vecLines[nLine];
        const size_t nEq = strLine.find('=');
        if (nEq == std::string::npos || nEq == 0 || nEq + 1 == strLine.size())
            return false;
        settings.SetPair(i, PartKey, strLine.substr(0, nEq));
        settings.SetPair(i, PartValue, strLine.substr(nEq + 1));
    }
    return vecLines.size() == 1 + SettingsPairCount;
}

std::string FormatSettingsFile(const SettingsStore& settings)
{
    std::string strOut = SettingsHeader;
    strOut += "\r\n";
    for (int i = 0; i < SettingsPairCount; ++i) {
        strOut += settings.GetPair(i, PartKey);
        strOut += '=';
        strOut += settings.GetPair(i, PartValue);
        strOut += "\r\n";
    }
    return strOut;
}

bool WriteSettingsFile(const std::string& strPath, const SettingsStore& settings)
{
    return WriteTextFileAtomic(strPath, FormatSettingsFile(settings));
}

bool LoadSettingsFile(const std::string& strPath, const std::string& strAppDirectory,
                      SettingsStore& settings)
{
    if (ReadSettingsFile(strPath, settings))
        return true;
    settings.SetDefaults(strAppDirectory);
    WriteSettingsFile(strPath, settings);
    return false;
}
