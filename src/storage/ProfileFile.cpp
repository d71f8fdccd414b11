#include "storage/ProfileFile.h"

#include <vector>

#include "storage/TextFile.h"

namespace {

constexpr const char* ProfileHeader = "[Setting]";
constexpr size_t RemapDigits = MatrixPositionCount * 2;

// Position of the first "=" when it exists and is not the first character; npos otherwise.
size_t ValueSeparator(const std::string& strLine)
{
    const size_t nEq = strLine.find('=');
    return (nEq == std::string::npos || nEq == 0) ? std::string::npos : nEq;
}

} // namespace

bool ReadProfileFile(const std::string& strPath, ProfileRecord& record)
{
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.empty() || vecLines[0] != ProfileHeader)
        return false;
    size_t nLine = 1;
    auto next = [&](std::string& strLine) {
        if (nLine >= vecLines.size())
            return false;
        strLine = vecLines[nLine++];
        return true;
    };

    std::string strLine;
    for (int i = 0; i < ProfilePairCount; ++i) {
        if (!next(strLine))
            return false;
        const size_t nEq = ValueSeparator(strLine);
        if (nEq == std::string::npos)
            return false;
        record.SetPair(i, PartKey, strLine.substr(0, nEq));
        record.SetPair(i, PartValue, strLine.substr(nEq + 1));
    }

    if (!next(strLine))
        return false;
    const size_t nRemapEq = strLine.find('=');
    if (nRemapEq == std::string::npos || nRemapEq + 1 == strLine.size())
        return false;
    if (strLine.size() - nRemapEq - 1 != RemapDigits)
        return false;
    for (size_t i = 0; i < MatrixPositionCount; ++i)
        record.AllRCKey[i] =
            static_cast<DeviceKeyCode>(ParseHexGroup(strLine, nRemapEq + 1 + 2 * i, 2));

    for (int k = 0; k < ProgrammableKeyCount; ++k) {
        ProgrammableKey& key = record.m_keys[k];
        if (!next(strLine))
            return false;
        size_t nEq = ValueSeparator(strLine);
        if (nEq == std::string::npos)
            return false;
        key.m_strName = strLine.substr(nEq + 1);

        if (!next(strLine))
            return false;
        nEq = ValueSeparator(strLine);
        if (nEq == std::string::npos)
            return false;
        key.m_value.m_nKind = static_cast<uint8_t>(ParseHexGroup(strLine, nEq + 1, 2));
        key.m_value.m_nParam1 = static_cast<uint8_t>(ParseHexGroup(strLine, nEq + 3, 2));
        key.m_value.m_nParam2 = static_cast<uint8_t>(ParseHexGroup(strLine, nEq + 5, 2));

        if (!next(strLine))
            return false;
        nEq = ValueSeparator(strLine);
        if (nEq == std::string::npos)
            return false;
        key.m_strUrl = strLine.substr(nEq + 1);
    }
    return true;
}

std::string FormatProfileFile(const ProfileRecord& record)
{
    std::string strOut;
    strOut.reserve(1024);
    strOut += ProfileHeader;
    strOut += "\r\n";
    for (int i = 0; i < ProfilePairCount; ++i) {
        strOut += record.GetPair(i, PartKey);
        strOut += '=';
        strOut += record.GetPair(i, PartValue);
        strOut += "\r\n";
    }
    strOut += "AllRCKey=";
    for (DeviceKeyCode nCode : record.AllRCKey)
        AppendHexByte(strOut, nCode);
    strOut += "\r\n";
    for (int k = 0; k < ProgrammableKeyCount; ++k) {
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
    if (ReadProfileFile(strPath, record))
        return true;
    record.SetFactoryDefaults(ProfileStore::ClampSlot(nSlot));
    WriteProfileFile(strPath, record);
    return false;
}

bool SaveProfileSlot(int nSlot, const ProfileStore& store, const SettingsStore& settings)
{
    return WriteProfileFile(settings.GetSlotUrl(nSlot), store[nSlot]);
}
