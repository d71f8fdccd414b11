#pragma once
// The five profile slots the program keeps (three of them mirror the keyboard's own profiles),
// the assignments of the programmable keys, and the settings that say which slot is active and
// where each slot's file lives.

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "model/KeyTables.h"

constexpr int ProfileSlotCount = 5;     // slots 0..4 kept by the program
constexpr int DeviceProfileCount = 3;   // slots 0..2 exist on the keyboard
constexpr int ProgrammableKeyCount = 5; // G1..G5
constexpr int ProfilePairCount = 3;
constexpr int SettingsPairCount = 6;

enum KeyKind : uint8_t
{
    KeyKindNone = 0x00,
    KeyKindMacro = 0x01,
    KeyKindSpecial = 0x02,
    KeyKindMouse = 0x03,
    KeyKindDoubleClick = 0x04,
    KeyKindFire = 0x05,
    KeyKindCombination = 0x06,
    KeyKindQuickLaunch = 0x07,
};

// Modifier mask of a key-combination assignment.
enum ComboModifier : uint8_t
{
    ComboCtrl = 0x01,
    ComboShift = 0x02,
    ComboAlt = 0x04,
    ComboWin = 0x08,
};

enum ProfilePairIndex
{
    PairProfileName = 0,
    PairLightColor = 1,
    PairLightBrightness = 2
};
enum PairPart
{
    PartKey = 0,
    PartValue = 1
};

// A programmable key's assignment: kind and two parameters whose meaning depends on the kind.
struct KeyValue
{
    uint8_t m_nKind = 0;
    uint8_t m_nParam1 = 0;
    uint8_t m_nParam2 = 0;

    bool operator==(const KeyValue&) const = default;
};

struct SettingPair
{
    std::string m_strKey;
    std::string m_strValue;

    bool operator==(const SettingPair&) const = default;
};

struct ProgrammableKey
{
    std::string m_strName; // text shown on the key's button
    std::string m_strUrl;  // program path of a quick-launch assignment, empty otherwise
    KeyValue m_value;

    bool operator==(const ProgrammableKey&) const = default;
};

// Parses leading decimal digits (with an optional sign) the way the data files expect: no digits
// give 0, trailing text is ignored, the result saturates instead of overflowing.
long ParseDecimal(std::string_view strText);

// ParseDecimal brought into the range of the value it is read into: a number too large or too
// small for T gives T's largest or smallest value, never a wrapped one ("4294967297" is not 1).
template <typename T>
T ParseDecimalAs(std::string_view strText)
{
    static_assert(sizeof(T) < sizeof(long), "the range of T must fit in a long");
    return static_cast<T>(std::clamp<long>(ParseDecimal(strText), static_cast<long>(std::numeric_limits<T>::min()),
                                           static_cast<long>(std::numeric_limits<T>::max())));
}

struct ProfileRecord
{
    std::array<SettingPair, ProfilePairCount> m_pairs;
    std::array<ProgrammableKey, ProgrammableKeyCount> m_keys;
    std::array<DeviceKeyCode, MatrixPositionCount> AllRCKey{};

    bool operator==(const ProfileRecord&) const = default;

    // Pair access by index 0..2 and part; other indices give an empty text and change nothing.
    std::string GetPair(int nIndex, int nPart) const;
    void SetPair(int nIndex, int nPart, const std::string& strText);

    int GetColour() const;     // LightColor parsed base 10
    int GetBrightness() const; // LightBrightness parsed base 10
    void SetColour(int nColour);
    void SetBrightness(int nLevel);

    // Factory state of slot nSlot: name "Default<n+1>", red at 100 %, the factory remap table,
    // programmable keys Ctrl+1..Ctrl+5. URLs are left as they are.
    void SetFactoryDefaults(int nSlot);

    // Stores name, value and URL of programmable key k together. Out-of-range k does nothing.
    void AssignProgrammableKey(int nKey, const std::string& strName, const KeyValue& value, const std::string& strUrl);
    // The key-function popup's restore entries: kind 0x06 with param1 0x01 gives back the
    // factory Ctrl+<k+1>, kind 0x00 gives "No Function". Both clear the URL. Any other value is
    // ignored (false).
    bool RestoreProgrammableKey(int nKey, const KeyValue& value);

    // Stores a code for a key button after the alternate-code rule. False for a non-key id.
    bool SetRemapEntry(int nButtonId, DeviceKeyCode nCode);
    // The code a key button currently sends; 0 for a non-key id.
    DeviceKeyCode GetRemapEntry(int nButtonId) const;
};

// The factory programmable-key value of key k: Ctrl with the digit key k+1.
KeyValue FactoryKeyValue(int nKey);

// "Red".."White" for colour 1..7; nullptr otherwise.
const char* LightColourName(int nColour);
// "0%", "30%", "60%", "100%", "Breath" for levels 0..24; nullptr above 24 or below 0.
const char* BrightnessBandName(int nLevel);

struct ProfileStore
{
    std::array<ProfileRecord, ProfileSlotCount> m_records;

    ProfileRecord& operator[](int nSlot) { return m_records[ClampSlot(nSlot)]; }
    const ProfileRecord& operator[](int nSlot) const { return m_records[ClampSlot(nSlot)]; }
    // Any slot number outside 0..4 is taken as slot 0, so a hand-edited value never indexes
    // past the store.
    static int ClampSlot(int nSlot) { return nSlot >= 0 && nSlot < ProfileSlotCount ? nSlot : 0; }
};

struct SettingsStore
{
    std::array<SettingPair, SettingsPairCount> m_pairs;

    bool operator==(const SettingsStore&) const = default;

    std::string GetPair(int nIndex, int nPart) const;
    void SetPair(int nIndex, int nPart, const std::string& strText);

    // "CurrentProfile" parsed base 10, brought to slot 0 when outside 0..4.
    int GetActiveSlot() const;
    void SetActiveSlot(int nSlot);

    // Path of slot n's profile file; slot numbers outside 1..4 address slot 0.
    std::string GetSlotUrl(int nSlot) const;
    void SetSlotUrl(int nSlot, const std::string& strPath);

    // "CurrentProfile" = "0" and the default profile paths under the program's folder.
    void SetDefaults(const std::string& strAppDirectory);
};

// Default path of slot n's profile file: <AppDirectory>config/default<n>.psf.
std::string DefaultProfilePath(const std::string& strAppDirectory, int nSlot);

// Active-slot helpers: edits always go to the slot named by "CurrentProfile".
void AssignActiveProgrammableKey(ProfileStore& store, const SettingsStore& settings, int nKey,
                                 const std::string& strName, const KeyValue& value, const std::string& strUrl);
bool SetActiveRemapEntry(ProfileStore& store, const SettingsStore& settings, int nButtonId, DeviceKeyCode nCode);
