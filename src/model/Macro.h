#pragma once
// The macro library: named sets of named macro keys, each a list of up to 200 four-byte actions
// (key presses/releases and pauses) with its repeat settings.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ProfileStore;

constexpr unsigned MacroActionSlots = 200;
constexpr unsigned MaxMacroCommandSteps = 100;
// A pause this long or longer takes a keyboard step of its own; shorter ones ride in the
// following key step.
constexpr unsigned DelayOwnStepMs = 1016;
constexpr const char* DefaultMacroSetName = "Keyboard Macro Set";

// Four bytes b0..b3. b0 below 8: a pause of b1*65536 + b2*256 + b3 ms. Otherwise b0 is the
// virtual-key code and bit 7 of b1 marks a release.
struct MacroAction
{
    std::array<uint8_t, 4> m_bytes{};

    bool operator==(const MacroAction&) const = default;

    bool IsDelay() const { return m_bytes[0] < 8; }
    bool IsKey() const { return !IsDelay(); }
    uint32_t DelayMs() const { return (uint32_t{m_bytes[1]} << 16) | (uint32_t{m_bytes[2]} << 8) | m_bytes[3]; }
    uint8_t Vk() const { return m_bytes[0]; }
    bool IsRelease() const { return (m_bytes[1] & 0x80) != 0; }

    // A pause as the recorder writes it (first byte 3), capped at 65535 ms.
    static MacroAction Delay(uint32_t nMs);
    static MacroAction Key(uint8_t nVk, bool bRelease);
};

struct MacroKey
{
    std::string m_strName;
    unsigned m_nActionCount = 0; // 0..200
    std::array<MacroAction, MacroActionSlots> m_actions{};
    unsigned LoopEnable = 1;
    uint8_t LoopNum = 1;
    uint8_t MacroCommandActionNum = 0;

    bool operator==(const MacroKey&) const = default;

    // Slot i for i 0..199; any larger i gives slot 0.
    MacroAction GetAction(unsigned nIndex) const;
    // Overwrites slot i without touching the count; refused (false) above 199.
    bool SetAction(unsigned nIndex, const MacroAction& action);
    // Inserts at p (p beyond the count appends); refused (false) when 200 actions are held.
    bool InsertAction(unsigned nPos, const MacroAction& action);
    // Removes the action at p, moving the later ones down; false when p is not an action.
    bool RemoveAction(unsigned nPos);
    // Zeroes every slot, count 0, no keyboard steps.
    void ClearActions();
    // Sets the count, brought into 0..200 so nothing ever reads past the slots.
    void SetActionCount(unsigned long nCount);
};

// Keyboard steps an action list encodes to: one per key action, one per pause of 1016 ms or more.
unsigned CountCommandSteps(const MacroKey& key);

// The list operations a set does on its keys and a library on its sets: append by name, remove
// and find by index (out of range: refused, null).
namespace NamedList
{
template <typename T>
T& Append(std::vector<T>& vecItems, const std::string& strName)
{
    vecItems.emplace_back();
    vecItems.back().m_strName = strName;
    return vecItems.back();
}

template <typename T>
bool Remove(std::vector<T>& vecItems, size_t nIndex)
{
    if (nIndex >= vecItems.size())
        return false;
    vecItems.erase(vecItems.begin() + static_cast<std::ptrdiff_t>(nIndex));
    return true;
}

template <typename TVector>
auto* Find(TVector& vecItems, size_t nIndex)
{
    return nIndex < vecItems.size() ? &vecItems[nIndex] : nullptr;
}
} // namespace NamedList

struct MacroSet
{
    std::string m_strName;
    std::vector<MacroKey> m_vecKeys;

    bool operator==(const MacroSet&) const = default;

    MacroKey& AppendKey(const std::string& strName) { return NamedList::Append(m_vecKeys, strName); }
    bool RemoveKey(size_t nIndex) { return NamedList::Remove(m_vecKeys, nIndex); }
    MacroKey* FindKey(size_t nIndex) { return NamedList::Find(m_vecKeys, nIndex); }
    const MacroKey* FindKey(size_t nIndex) const { return NamedList::Find(m_vecKeys, nIndex); }
    // First key of that exact name (case-sensitive); null when none.
    MacroKey* FindKeyByName(const std::string& strName);
    const MacroKey* FindKeyByName(const std::string& strName) const;
    int IndexOfKey(const std::string& strName) const; // -1 when none
};

struct MacroLibrary
{
    bool operator==(const MacroLibrary&) const = default;

    void Clear() { m_vecSets.clear(); }
    MacroSet& AppendSet(const std::string& strName) { return NamedList::Append(m_vecSets, strName); }
    bool RemoveSet(size_t nIndex) { return NamedList::Remove(m_vecSets, nIndex); }
    MacroSet* FindSet(size_t nIndex) { return NamedList::Find(m_vecSets, nIndex); }
    const MacroSet* FindSet(size_t nIndex) const { return NamedList::Find(m_vecSets, nIndex); }
    size_t SetCount() const { return m_vecSets.size(); }
    // The library used when none can be read: one empty set "Keyboard Macro Set".
    void SetDefault();

    // The first set, the one the macro page, the macro popup and the keyboard upload work on.
    MacroSet* FirstSet() { return FindSet(0); }
    const MacroSet* FirstSet() const { return FindSet(0); }

    std::vector<MacroSet> m_vecSets;
};

// True when a kind-0x01 programmable key of slot 0, 1 or 2 names this macro (exact match).
bool IsMacroKeyInUse(const std::string& strMacroName, const ProfileStore& store);
