#include "model/Macro.h"

#include <algorithm>

#include "model/Profile.h"

MacroAction MacroAction::Delay(uint32_t nMs)
{
    nMs = std::min<uint32_t>(nMs, 0xFFFF);
    return MacroAction{{3, 0, static_cast<uint8_t>(nMs >> 8), static_cast<uint8_t>(nMs & 0xFF)}};
}

MacroAction MacroAction::Key(uint8_t nVk, bool bRelease)
{
    return MacroAction{{nVk, static_cast<uint8_t>(bRelease ? 0x80 : 0x00), 0, 0}};
}

MacroAction MacroKey::GetAction(unsigned nIndex) const
{
    return m_actions[nIndex < MacroActionSlots ? nIndex : 0];
}

bool MacroKey::SetAction(unsigned nIndex, const MacroAction& action)
{
    if (nIndex >= MacroActionSlots)
        return false;
    m_actions[nIndex] = action;
    return true;
}

bool MacroKey::InsertAction(unsigned nPos, const MacroAction& action)
{
    if (m_nActionCount >= MacroActionSlots)
        return false;
    nPos = std::min(nPos, m_nActionCount);
    // Slots nPos..count-1 move up by one; the slot at count is overwritten.
    std::move_backward(m_actions.begin() + nPos, m_actions.begin() + m_nActionCount,
                       m_actions.begin() + m_nActionCount + 1);
    m_actions[nPos] = action;
    ++m_nActionCount;
    return true;
}

bool MacroKey::RemoveAction(unsigned nPos)
{
    if (nPos >= m_nActionCount)
        return false;
    std::move(m_actions.begin() + nPos + 1, m_actions.begin() + m_nActionCount, m_actions.begin() + nPos);
    --m_nActionCount;
    m_actions[m_nActionCount] = MacroAction{};
    return true;
}

void MacroKey::ClearActions()
{
    m_actions.fill(MacroAction{});
    m_nActionCount = 0;
    MacroCommandActionNum = 0;
}

void MacroKey::SetActionCount(unsigned long nCount)
{
    m_nActionCount = static_cast<unsigned>(std::min<unsigned long>(nCount, MacroActionSlots));
}

unsigned CountCommandSteps(const MacroKey& key)
{
    unsigned nSteps = 0;
    const unsigned nCount = std::min(key.m_nActionCount, MacroActionSlots);
    for (unsigned i = 0; i < nCount; ++i)
    {
        const MacroAction& action = key.m_actions[i];
        if (action.IsKey() || action.DelayMs() >= DelayOwnStepMs)
            ++nSteps;
    }
    return nSteps;
}

int MacroSet::IndexOfKey(const std::string& strName) const
{
    for (size_t i = 0; i < m_vecKeys.size(); ++i)
        if (m_vecKeys[i].m_strName == strName)
            return static_cast<int>(i);
    return -1;
}

MacroKey* MacroSet::FindKeyByName(const std::string& strName)
{
    const int nIndex = IndexOfKey(strName);
    return nIndex < 0 ? nullptr : &m_vecKeys[nIndex];
}

const MacroKey* MacroSet::FindKeyByName(const std::string& strName) const
{
    const int nIndex = IndexOfKey(strName);
    return nIndex < 0 ? nullptr : &m_vecKeys[nIndex];
}

void MacroLibrary::SetDefault()
{
    Clear();
    AppendSet(DefaultMacroSetName);
}

bool IsMacroKeyInUse(const std::string& strMacroName, const ProfileStore& store)
{
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
        for (const ProgrammableKey& key : store[nSlot].m_keys)
            if (key.m_value.m_nKind == KeyKindMacro && key.m_strName == strMacroName)
                return true;
    return false;
}
