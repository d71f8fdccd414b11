#include "storage/ProfileFile.h"

#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace
{

constexpr const char* ProfileHeader = "[Setting]";
constexpr size_t RemapDigits = MatrixPositionCount * 2;

// Position of the first "=" when it exists and is not the first character; npos otherwise.
size_t ValueSeparator(std::string_view line)
{
    const size_t nEq = line.find('=');
    return (nEq == std::string_view::npos || nEq == 0) ? std::string_view::npos : nEq;
}

} // namespace

bool ParseProfileLines(const CTextFileLines& lines, ProfileRecord& record)
{
    if (lines.Count() == 0 || lines.Line(0) != ProfileHeader)
        return false;
    size_t nLine = 1;
    auto next = [&](std::string_view& line)
    {
        if (nLine >= lines.Count())
            return false;
        line = lines.Line(nLine++);
        return true;
    };
    auto text = [](std::string_view part) { return std::string(part); };

    std::string_view line;
    for (int i = 0; i < ProfilePairCount; ++i)
    {
        if (!next(line))
            return false;
        const size_t nEq = ValueSeparator(line);
        if (nEq == std::string_view::npos)
            return false;
        record.SetPair(i, PartKey, text(line.substr(0, nEq)));
        record.SetPair(i, PartValue, text(line.substr(nEq + 1)));
    }

    if (!next(line))
        return false;
    const size_t nRemapEq = line.find('=');
    if (nRemapEq == std::string_view::npos || nRemapEq + 1 == line.size())
        return false;
    if (line.size() - nRemapEq - 1 != RemapDigits)
        return false;
    for (size_t i = 0; i < MatrixPositionCount; ++i)
        record.AllRCKey[i] = static_cast<DeviceKeyCode>(ParseHexGroup(line, nRemapEq + 1 + 2 * i, 2));

    for (int k = 0; k < ProgrammableKeyCount; ++k)
    {
        ProgrammableKey& key = record.m_keys[k];
        if (!next(line))
            return false;
        size_t nEq = ValueSeparator(line);
        if (nEq == std::string_view::npos)
            return false;
        key.m_strName = text(line.substr(nEq + 1));

        if (!next(line))
            return false;
        nEq = ValueSeparator(line);
        if (nEq == std::string_view::npos)
            return false;
        key.m_value.m_nKind = static_cast<uint8_t>(ParseHexGroup(line, nEq + 1, 2));
        key.m_value.m_nParam1 = static_cast<uint8_t>(ParseHexGroup(line, nEq + 3, 2));
        key.m_value.m_nParam2 = static_cast<uint8_t>(ParseHexGroup(line, nEq + 5, 2));

        if (!next(line))
            return false;
        nEq = ValueSeparator(line);
        if (nEq == std::string_view::npos)
            return false;
        key.m_strUrl = text(line.substr(nEq + 1));
    }
    return true;
}

bool ReadProfileFile(const std::string& strPath, ProfileRecord& record)
{
    CTextFileLines lines;
    return lines.Read(strPath) && ParseProfileLines(lines, record);
}

std::string FormatProfileFile(const ProfileRecord& record)
{
    std::string strOut;
    strOut.reserve(1024);
    strOut += ProfileHeader;
    strOut += "\r\n";
    for (int i = 0; i < ProfilePairCount; ++i)
    {
        strOut += record.GetPair(i, PartKey);
        strOut += '=';
        strOut += record.GetPair(i, PartValue);
        strOut += "\r\n";
    }
    strOut += "AllRCKey=";
    for (DeviceKeyCode nCode : record.AllRCKey)
        AppendHexByte(strOut, nCode);
    strOut += "\r\n";
    for (int k = 0; k < ProgrammableKeyCount; ++k)
    {
        const ProgrammableKey& key = record.m_keys[k];
        const std::string strK = std::to_string(k);
        strOut += "Key" + strK + "Name=" + key.m_strName + "\r\n";
        strOut += "\tKey" + strK + "Value=";
        AppendHexByte(strOut, key.m_value.m_nKind);
        AppendHexByte(strOut, key.m_value.m_nParam1);
        AppendHexByte(strOut, key.m_value.m_nParam2);
        strOut += "\r\n";
        strOut += "\tKey" + strK + "URL=" + key.m_strUrl + "\r\n";
    }
    return strOut;
}

bool WriteProfileFile(const std::string& strPath, const ProfileRecord& record)
{
    return WriteTextFileAtomic(strPath, FormatProfileFile(record));
}

bool LoadProfileSlot(int nSlot, ProfileStore& store, const SettingsStore& settings)
{
    const std::string strPath = settings.GetSlotUrl(nSlot);
    ProfileRecord& record = store[nSlot];
    // Another file named as a slot's path is neither read as a profile nor overwritten.
    const bool bProfileFile = IsProfileFilePath(strPath);
    if (bProfileFile && ReadProfileFile(strPath, record))
        return true;
    record.SetFactoryDefaults(ProfileStore::ClampSlot(nSlot));
    if (bProfileFile && KeepDamagedCopy(strPath))
        WriteProfileFile(strPath, record);
    return false;
}

bool SaveProfileSlot(int nSlot, const ProfileStore& store, const SettingsStore& settings)
{
    const std::string strPath = settings.GetSlotUrl(nSlot);
    return IsProfileFilePath(strPath) && WriteProfileFile(strPath, store[nSlot]);
}
