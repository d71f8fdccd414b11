#include "model/Profile.h"

#include <climits>
#include <cstdio>

namespace
{

constexpr const char* SettingsKeys[SettingsPairCount] = {"CurrentProfile",  "ProfileSlot0URL", "ProfileSlot1URL",
                                                         "ProfileSlot2URL", "ProfileSlot3URL", "ProfileSlot4URL"};

std::string FormatInt(long nValue)
{
    return std::to_string(nValue);
}

bool ValidPart(int nPart)
{
    return nPart == PartKey || nPart == PartValue;
}

} // namespace

long ParseDecimal(std::string_view strText)
{
    size_t i = 0;
    while (i < strText.size() && (strText[i] == ' ' || strText[i] == '\t'))
        ++i;
    bool bNegative = false;
    if (i < strText.size() && (strText[i] == '+' || strText[i] == '-'))
    {
        bNegative = strText[i] == '-';
        ++i;
    }
    long nValue = 0;
    for (; i < strText.size() && strText[i] >= '0' && strText[i] <= '9'; ++i)
    {
        const int nDigit = strText[i] - '0';
        if (nValue > (LONG_MAX - nDigit) / 10)
        {
            nValue = LONG_MAX;
            break;
        }
        nValue = nValue * 10 + nDigit;
    }
    return bNegative ? -nValue : nValue;
}

std::string ProfileRecord::GetPair(int nIndex, int nPart) const
{
    if (nIndex < 0 || nIndex >= ProfilePairCount || !ValidPart(nPart))
        return {};
    return nPart == PartKey ? m_pairs[nIndex].m_strKey : m_pairs[nIndex].m_strValue;
}

void ProfileRecord::SetPair(int nIndex, int nPart, const std::string& strText)
{
    if (nIndex < 0 || nIndex >= ProfilePairCount || !ValidPart(nPart))
        return;
    (nPart == PartKey ? m_pairs[nIndex].m_strKey : m_pairs[nIndex].m_strValue) = strText;
}

int ProfileRecord::GetColour() const
{
    return ParseDecimalAs<int>(m_pairs[PairLightColor].m_strValue);
}

int ProfileRecord::GetBrightness() const
{
    return ParseDecimalAs<int>(m_pairs[PairLightBrightness].m_strValue);
}

void ProfileRecord::SetColour(int nColour)
{
    m_pairs[PairLightColor].m_strValue = FormatInt(nColour);
}

void ProfileRecord::SetBrightness(int nLevel)
{
    m_pairs[PairLightBrightness].m_strValue = FormatInt(nLevel);
}

KeyValue FactoryKeyValue(int nKey)
{
    return KeyValue{KeyKindCombination, ComboCtrl, static_cast<uint8_t>(0x1E + nKey)};
}

void ProfileRecord::SetFactoryDefaults(int nSlot)
{
    char szName[32];
    std::snprintf(szName, sizeof szName, "Default%u", static_cast<unsigned>(nSlot + 1));
    m_pairs[PairProfileName] = {"ProfileName", szName};
    m_pairs[PairLightColor] = {"LightColor", "1"};
    m_pairs[PairLightBrightness] = {"LightBrightness", "8"};
    AllRCKey = FactoryAllRCKey;
    for (int k = 0; k < ProgrammableKeyCount; ++k)
    {
        m_keys[k].m_strName = "CTRL+" + std::to_string(k + 1);
        m_keys[k].m_value = FactoryKeyValue(k);
    }
}

void ProfileRecord::AssignProgrammableKey(int nKey, const std::string& strName, const KeyValue& value,
                                          const std::string& strUrl)
{
    if (nKey < 0 || nKey >= ProgrammableKeyCount)
        return;
    m_keys[nKey] = ProgrammableKey{strName, strUrl, value};
}

bool ProfileRecord::RestoreProgrammableKey(int nKey, const KeyValue& value)
{
    if (nKey < 0 || nKey >= ProgrammableKeyCount)
        return false;
    if (value.m_nKind == KeyKindCombination && value.m_nParam1 == ComboCtrl)
    {
        AssignProgrammableKey(nKey, "CTRL+" + std::to_string(nKey + 1), FactoryKeyValue(nKey), "");
        return true;
    }
    if (value.m_nKind == KeyKindNone)
    {
        AssignProgrammableKey(nKey, "No Function", KeyValue{}, "");
        return true;
    }
    return false;
}

bool ProfileRecord::SetRemapEntry(int nButtonId, DeviceKeyCode nCode)
{
    const int nPos = KeyButtonMatrixPosition(nButtonId);
    if (nPos < 0)
        return false;
    AllRCKey[nPos] = ApplyOwnKeyCode(nButtonId, nCode);
    return true;
}

DeviceKeyCode ProfileRecord::GetRemapEntry(int nButtonId) const
{
    const int nPos = KeyButtonMatrixPosition(nButtonId);
    return nPos < 0 ? 0 : AllRCKey[nPos];
}

const char* LightColourName(int nColour)
{
    constexpr const char* names[] = {"Red", "Purple", "Blue", "Cyan", "Green", "Yellow", "White"};
    if (nColour < 1 || nColour > 7)
        return nullptr;
    return names[nColour - 1];
}

const char* BrightnessBandName(int nLevel)
{
    if (nLevel < 0 || nLevel > 24)
        return nullptr;
    if (nLevel <= 1)
        return "0%";
    if (nLevel <= 3)
        return "30%";
    if (nLevel <= 7)
        return "60%";
    if (nLevel <= 15)
        return "100%";
    return "Breath";
}

std::string SettingsStore::GetPair(int nIndex, int nPart) const
{
    if (nIndex < 0 || nIndex >= SettingsPairCount || !ValidPart(nPart))
        return {};
    return nPart == PartKey ? m_pairs[nIndex].m_strKey : m_pairs[nIndex].m_strValue;
}

void SettingsStore::SetPair(int nIndex, int nPart, const std::string& strText)
{
    if (nIndex < 0 || nIndex >= SettingsPairCount || !ValidPart(nPart))
        return;
    (nPart == PartKey ? m_pairs[nIndex].m_strKey : m_pairs[nIndex].m_strValue) = strText;
}

int SettingsStore::GetActiveSlot() const
{
    const long nSlot = ParseDecimal(m_pairs[0].m_strValue);
    return nSlot >= 0 && nSlot < ProfileSlotCount ? static_cast<int>(nSlot) : 0;
}

void SettingsStore::SetActiveSlot(int nSlot)
{
    m_pairs[0].m_strValue = FormatInt(nSlot);
}

std::string SettingsStore::GetSlotUrl(int nSlot) const
{
    const int nIndex = (nSlot >= 1 && nSlot <= 4) ? nSlot + 1 : 1;
    return m_pairs[nIndex].m_strValue;
}

void SettingsStore::SetSlotUrl(int nSlot, const std::string& strPath)
{
    const int nIndex = (nSlot >= 1 && nSlot <= 4) ? nSlot + 1 : 1;
    m_pairs[nIndex].m_strValue = strPath;
}

void SettingsStore::SetDefaults(const std::string& strAppDirectory)
{
    for (int i = 0; i < SettingsPairCount; ++i)
        m_pairs[i].m_strKey = SettingsKeys[i];
    SetActiveSlot(0);
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        m_pairs[nSlot + 1].m_strValue = DefaultProfilePath(strAppDirectory, nSlot);
}

std::string DefaultProfilePath(const std::string& strAppDirectory, int nSlot)
{
    return strAppDirectory + "config/default" + std::to_string(nSlot) + ".psf";
}

void AssignActiveProgrammableKey(ProfileStore& store, const SettingsStore& settings, int nKey,
                                 const std::string& strName, const KeyValue& value, const std::string& strUrl)
{
    store[settings.GetActiveSlot()].AssignProgrammableKey(nKey, strName, value, strUrl);
}

bool SetActiveRemapEntry(ProfileStore& store, const SettingsStore& settings, int nButtonId, DeviceKeyCode nCode)
{
    return store[settings.GetActiveSlot()].SetRemapEntry(nButtonId, nCode);
}
