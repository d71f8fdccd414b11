#include "storage/SettingsFile.h"

#include "storage/TextFile.h"

namespace
{
constexpr const char* SettingsHeader = "[Setting]";
constexpr std::string_view ProfileExtension = ".psf";
} // namespace

bool ParseSettingsLines(const CTextFileLines& lines, SettingsStore& settings)
{
    if (lines.Count() == 0 || lines.Line(0) != SettingsHeader)
        return false;
    for (int i = 0; i < SettingsPairCount; ++i)
    {
        const size_t nLine = 1 + static_cast<size_t>(i);
        if (nLine >= lines.Count())
            return true; // a file may end early; unreached pairs keep their values
        const std::string_view line = lines.Line(nLine);
        const size_t nEq = line.find('=');
        if (nEq == std::string_view::npos || nEq == 0 || nEq + 1 == line.size())
            return false;
        settings.SetPair(i, PartKey, std::string(line.substr(0, nEq)));
        settings.SetPair(i, PartValue, std::string(line.substr(nEq + 1)));
    }
    return lines.Count() == 1 + SettingsPairCount;
}

bool ReadSettingsFile(const std::string& strPath, SettingsStore& settings)
{
    CTextFileLines lines;
    return lines.Read(strPath) && ParseSettingsLines(lines, settings);
}

std::string FormatSettingsFile(const SettingsStore& settings)
{
    std::string strOut = SettingsHeader;
    strOut += "\r\n";
    for (int i = 0; i < SettingsPairCount; ++i)
    {
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

bool LoadSettingsFile(const std::string& strPath, const std::string& strAppDirectory, SettingsStore& settings)
{
    if (ReadSettingsFile(strPath, settings))
        return true;
    settings.SetDefaults(strAppDirectory);
    if (KeepDamagedCopy(strPath))
        WriteSettingsFile(strPath, settings);
    return false;
}

bool IsProfileFilePath(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    const std::string_view name = std::string_view(strPath).substr(nSlash == std::string::npos ? 0 : nSlash + 1);
    if (name.size() <= ProfileExtension.size())
        return false;
    const std::string_view extension = name.substr(name.size() - ProfileExtension.size());
    for (size_t i = 0; i < extension.size(); ++i)
    {
        const char c = extension[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != ProfileExtension[i])
            return false;
    }
    return true;
}

bool RepairSlotPaths(SettingsStore& settings, const std::string& strAppDirectory)
{
    bool bChanged = false;
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        if (IsProfileFilePath(settings.GetSlotUrl(nSlot)))
            continue;
        settings.SetSlotUrl(nSlot, DefaultProfilePath(strAppDirectory, nSlot));
        bChanged = true;
    }
    return bChanged;
}
