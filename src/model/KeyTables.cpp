#include "model/KeyTables.h"

#include <string>
#include <utility>

namespace
{

constexpr const char* Undefined = "Undefined";

using NameTable = std::array<const char*, 256>;
using CodeTable = std::array<uint8_t, 256>;

constexpr const char* DigitNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
constexpr const char* LetterNames[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                         "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
constexpr const char* FunctionKeyNames[24] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                              "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                              "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
constexpr const char* KeypadDigitNames[10] = {"Keypad 0", "Keypad 1", "Keypad 2", "Keypad 3", "Keypad 4",
                                              "Keypad 5", "Keypad 6", "Keypad 7", "Keypad 8", "Keypad 9"};

constexpr NameTable MakeVkNames()
{
    NameTable t{};
    for (auto& p : t)
        p = Undefined;
    const std::pair<int, const char*> named[] = {
        {0x01, "LBUTTON"},
        {0x02, "RBUTTON"},
        {0x03, "CANCEL"},
        {0x04, "MBUTTON"},
        {0x05, "XBUTTON1"},
        {0x06, "XBUTTON2"},
        {0x08, "Backspace"},
        {0x09, "Tab"},
        {0x0C, "Clear"},
        {0x0D, "Enter"},
        {0x0E, "Keypad Enter"},
        {0x10, "Shift"},
        {0x11, "Ctrl"},
        {0x12, "Alt"},
        {0x13, "Pause"},
        {0x14, "Caps Lock"},
        {0x15, "Kana"},
        {0x17, "junja"},
        {0x18, "Final"},
        {0x19, "Hanja"},
        {0x1B, "Esc"},
        {0x1C, "Convert"},
        {0x1D, "Nonconvert"},
        {0x1E, "Accept"},
        {0x1F, "ModeChange"},
        {0x20, "Space"},
        {0x21, "Page Up"},
        {0x22, "Page Down"},
        {0x23, "End"},
        {0x24, "Home"},
        {0x25, "Left Arrow"},
        {0x26, "Up Arrow"},
        {0x27, "Right Arrow"},
        {0x28, "Down Arrow"},
        {0x29, "Select"},
        {0x2A, "Print"},
        {0x2B, "Execute"},
        {0x2C, "Print Screen"},
        {0x2D, "Ins"},
        {0x2E, "Del"},
        {0x2F, "Help"},
        {0x5B, "Win_L"},
        {0x5C, "Win_R"},
        {0x5D, "App"},
        {0x5F, "Sleep"},
        {0x6A, "Keypad *"},
        {0x6B, "Keypad +"},
        {0x6C, "Separator"},
        {0x6D, "Keypad -"},
        {0x6E, "Keypad ."},
        {0x6F, "Keypad /"},
        {0x90, "Num Lock"},
        {0x91, "Scroll Lock"},
        {0xA0, "Shift_L"},
        {0xA1, "Shift_R"},
        {0xA2, "Ctrl_L"},
        {0xA3, "Ctrl_R"},
        {0xA4, "Alt_L"},
        {0xA5, "Alt_R"},
        {0xBA, ";"},
        {0xBB, "="},
        {0xBC, ","},
        {0xBD, "-"},
        {0xBE, "."},
        {0xBF, "/"},
        {0xC0, "~"},
        {0xDB, "["},
        {0xDC, "\\"},
        {0xDD, "]"},
        {0xDE, "'"},
        {0xF0, "Power"},
        {0xF1, "Wake Up"},
        {0xF2, "K42"},
        {0xF3, "K45"},
        {0xF4, "K107"},
        {0xF5, "K56"},
        {0xF6, "K133"},
        {0xF7, "K14"},
        {0xF8, "K132"},
        {0xF9, "K131"},
        {0xFA, "KR"},
        {0xFB, "KL"},
    };
    for (const auto& [nIndex, pName] : named)
        t[nIndex] = pName;
    for (int i = 0; i < 10; ++i)
    {
        t[0x30 + i] = DigitNames[i];
        t[0x60 + i] = KeypadDigitNames[i];
    }
    for (int i = 0; i < 26; ++i)
        t[0x41 + i] = LetterNames[i];
    for (int i = 0; i < 24; ++i)
        t[0x70 + i] = FunctionKeyNames[i];
    return t;
}

constexpr NameTable MakeDeviceKeyNames()
{
    NameTable t{};
    for (auto& p : t)
        p = Undefined;
    for (int i = 0; i < 26; ++i)
        t[0x04 + i] = LetterNames[i];
    for (int i = 0; i < 9; ++i)
        t[0x1E + i] = DigitNames[i + 1];
    t[0x27] = "0";
    for (int i = 0; i < 12; ++i)
    {
        t[0x3A + i] = FunctionKeyNames[i];
        t[0xC0 + i] = FunctionKeyNames[i];
        t[0x68 + i] = FunctionKeyNames[12 + i];
    }
    for (int i = 0; i < 9; ++i)
        t[0x59 + i] = KeypadDigitNames[i + 1];
    const std::pair<int, const char*> named[] = {
        {0x28, "Enter"},
        {0x29, "Esc"},
        {0x2A, "Backspace"},
        {0x2B, "Tab"},
        {0x2C, "Space"},
        {0x2D, "-"},
        {0x2E, "="},
        {0x2F, "["},
        {0x30, "]"},
        {0x31, "\\"},
        {0x32, "K42"},
        {0x33, ";"},
        {0x34, "'"},
        {0x35, "~"},
        {0x36, ","},
        {0x37, "."},
        {0x38, "/"},
        {0x39, "Caps Lock"},
        {0x46, "Print"},
        {0x47, "Scroll Lock"},
        {0x48, "Pause"},
        {0x49, "Ins"},
        {0x4A, "Home"},
        {0x4B, "Page Up"},
        {0x4C, "Del"},
        {0x4D, "End"},
        {0x4E, "Page Down"},
        {0x4F, "Right Arrow"},
        {0x50, "Left Arrow"},
        {0x51, "Down Arrow"},
        {0x52, "Up Arrow"},
        {0x53, "Num Lock"},
        {0x54, "Keypad /"},
        {0x55, "Keypad *"},
        {0x56, "Keypad -"},
        {0x57, "Keypad +"},
        // The keyboard's own name for the keypad Enter key, spelling included.
        {0x58, "Keypad Eenter"},
        {0x62, "Keypad 0"},
        {0x63, "Keypad ."},
        {0x64, "K45"},
        {0x65, "App"},
        {0x81, "Power"},
        {0x82, "Sleep"},
        {0x83, "Wake Up"},
        {0x85, "K107"},
        {0x87, "K56"},
        {0x88, "K133"},
        {0x89, "K14"},
        {0x8A, "K132"},
        {0x8B, "K131"},
        {0x90, "KR"},
        {0x91, "KL"},
        {0xCD, "Page Up"},
        {0xCE, "Page Down"},
        {0xCF, "Win_L"},
        {0xE0, "Ctrl_L"},
        {0xE1, "Shift_L"},
        {0xE2, "Alt_L"},
        {0xE3, "Win_L"},
        {0xE4, "Ctrl_R"},
        {0xE5, "Shift_R"},
        {0xE6, "Alt_R"},
        {0xE7, "Win_R"},
        {0xE8, "-"},
        {0xE9, "="},
        {0xEA, "W"},
        {0xEB, "Q"},
    };
    for (const auto& [nIndex, pName] : named)
        t[nIndex] = pName;
    return t;
}

// VK -> device code pairs for every key the hook can report.
constexpr std::pair<uint8_t, uint8_t> VkDevicePairs[] = {
    {0x0D, 0x28}, {0x1B, 0x29}, {0x08, 0x2A}, {0x09, 0x2B}, {0x20, 0x2C}, {0xBD, 0x2D}, {0xBB, 0x2E}, {0xDB, 0x2F},
    {0xDD, 0x30}, {0xDC, 0x31}, {0xBA, 0x33}, {0xDE, 0x34}, {0xC0, 0x35}, {0xBC, 0x36}, {0xBE, 0x37}, {0xBF, 0x38},
    {0x14, 0x39}, {0x2C, 0x46}, {0x91, 0x47}, {0x13, 0x48}, {0x2D, 0x49}, {0x24, 0x4A}, {0x21, 0x4B}, {0x2E, 0x4C},
    {0x23, 0x4D}, {0x22, 0x4E}, {0x27, 0x4F}, {0x25, 0x50}, {0x28, 0x51}, {0x26, 0x52}, {0x90, 0x53}, {0x6F, 0x54},
    {0x6A, 0x55}, {0x6D, 0x56}, {0x6B, 0x57}, {0x60, 0x62}, {0x6E, 0x63}, {0x5D, 0x65}, {0xA2, 0xE0}, {0xA0, 0xE1},
    {0xA4, 0xE2}, {0x5B, 0xE3}, {0xA3, 0xE4}, {0xA1, 0xE5}, {0xA5, 0xE6}, {0x5C, 0xE7}, {0x0E, 0x58}, {0x5F, 0x82},
    {0xF0, 0x81}, {0xF1, 0x83}, {0xF2, 0x32}, {0xF3, 0x64}, {0xF4, 0x85}, {0xF5, 0x87}, {0xF6, 0x88}, {0xF7, 0x89},
    {0xF8, 0x8A}, {0xF9, 0x8B}, {0xFA, 0x90}, {0xFB, 0x91},
};

constexpr CodeTable MakeVkToDevice()
{
    CodeTable t{};
    for (int i = 0; i < 26; ++i)
        t[0x41 + i] = static_cast<uint8_t>(0x04 + i);
    for (int i = 1; i <= 9; ++i)
        t[0x30 + i] = static_cast<uint8_t>(0x1E + i - 1);
    t[0x30] = 0x27;
    for (int i = 0; i < 12; ++i)
    {
        t[0x70 + i] = static_cast<uint8_t>(0x3A + i); // F1..F12
        // F13..F24: the keyboard sends them in macros, so an edited macro must keep them.
        t[0x7C + i] = static_cast<uint8_t>(0x68 + i);
    }
    for (int i = 1; i <= 9; ++i)
        t[0x60 + i] = static_cast<uint8_t>(0x59 + i - 1);
    for (const auto& [nVk, nCode] : VkDevicePairs)
        t[nVk] = nCode;
    return t;
}

constexpr CodeTable MakeDeviceToVk()
{
    // The inverse of VK -> device code. Device code 0x46 goes back to "Print Screen" (0x2C), the
    // key it came from, so a macro survives a round trip to the keyboard unchanged.
    constexpr CodeTable forward = MakeVkToDevice();
    CodeTable t{};
    for (int nVk = 0; nVk < 256; ++nVk)
        if (forward[nVk] != 0)
            t[forward[nVk]] = static_cast<uint8_t>(nVk);
    for (int i = 0; i < 12; ++i)
        t[0xC0 + i] = static_cast<uint8_t>(0x70 + i); // alternate F1..F12
    return t;
}

constexpr const char* SpecialFunctionNames[] = {"Mute",      "Volume+",     "Volume-",   "Open Media",  "PreTrack",
                                                "NextTrack", "Play/Pause",  "Stop",      "WWW Search",  "WWW Home",
                                                "WWW Back",  "WWW Forward", "WWW Stop",  "WWW Refresh", "WWW Favorite",
                                                "Email",     "My Computer", "Calculator"};
static_assert(std::size(SpecialFunctionNames) == SpecialFunctionLast - SpecialFunctionFirst + 1);

constexpr const char* MouseFunctionNames[] = {"Click",      "Menu",         "Middle Button", "IE Backward",
                                              "IE Forward", "Double-click", "Fire"};
static_assert(std::size(MouseFunctionNames) == MouseFunctionLast - MouseFunctionFirst + 1);

} // namespace

const std::array<const char*, 256> VkNameTable = MakeVkNames();
const std::array<const char*, 256> DeviceKeyNameTable = MakeDeviceKeyNames();
const std::array<uint8_t, 256> VkToDeviceCode = MakeVkToDevice();
const std::array<uint8_t, 256> DeviceCodeToVk = MakeDeviceToVk();

const std::array<MatrixPosition, KeyButtonCount> KeyButtonMatrixTable = {
    0x20, 0x11, 0x19, 0x81, 0x8A, 0x12, 0x1A, 0x3A, 0x92, 0x9A, 0x62, 0x5A, 0x52, 0x4B, 0x53, 0x5B, 0x39, 0x01,
    0x89, 0x09, 0x29, 0x70, 0x79, 0x3D, 0x95, 0x9D, 0x65, 0x90, 0x98, 0x99, 0x96, 0x5C, 0x5D, 0x3F, 0x72, 0x7A,
    0x82, 0x38, 0x60, 0x50, 0x58, 0x78, 0x80, 0x3B, 0x9B, 0x93, 0x69, 0x22, 0x94, 0x9C, 0x64, 0x63, 0x3C, 0x66,
    0x6C, 0x74, 0x7B, 0x83, 0x6F, 0x30, 0x40, 0x48, 0x10, 0x91, 0x9F, 0x61, 0x21, 0x59, 0x3E, 0x5E, 0x18, 0x6D,
    0x75, 0x7D, 0x1D, 0x00, 0x88, 0x08, 0x71, 0x9E, 0x97, 0x87, 0x67, 0x5F, 0x57, 0x8D, 0x6A, 0x6E, 0x76, 0x7E,
    0x86, 0x26, 0x2B, 0x14, 0x28, 0x04, 0x68, 0x0E, 0x73, 0x7C, 0x85, 0x77, 0x7F};

const std::array<DeviceKeyCode, MatrixPositionCount> FactoryAllRCKey = {
    0x1D, 0x1E, 0xAF, 0xA4, 0xE6, 0xA5, 0xA9, 0xB8, 0x06, 0x20, 0x00, 0xA1, 0xA2, 0xAD, 0xE4, 0xCC, 0x09, 0xC0,
    0xC4, 0xAA, 0xE2, 0xAB, 0xAC, 0xA8, 0x28, 0xC1, 0xC5, 0x00, 0x00, 0xE1, 0xB0, 0xAE, 0x29, 0x0E, 0x13, 0x81,
    0xA0, 0x82, 0xE0, 0xAF, 0x2C, 0x21, 0x87, 0xCF, 0x00, 0x8B, 0x8A, 0x88, 0x04, 0x00, 0x00, 0xB1, 0x83, 0x90,
    0x91, 0xBB, 0x2B, 0x35, 0xC6, 0x1C, 0x4D, 0x24, 0x33, 0x53, 0x16, 0xBA, 0x00, 0x89, 0xA1, 0x32, 0xA2, 0xDA,
    0x07, 0x98, 0x99, 0x46, 0x9A, 0x9B, 0x9C, 0xCC, 0xEA, 0x00, 0xCB, 0x47, 0x00, 0x64, 0x00, 0x38, 0x08, 0x0F,
    0xCA, 0x48, 0x4A, 0xCD, 0x34, 0x37, 0xEB, 0x0D, 0xC9, 0x4C, 0x31, 0x27, 0xCE, 0x36, 0x65, 0x12, 0x52, 0x00,
    0x5F, 0x5C, 0x59, 0x39, 0x22, 0x19, 0x54, 0x50, 0x60, 0x5D, 0x5A, 0x62, 0x15, 0x23, 0x55, 0x61, 0x51, 0x5E,
    0x5B, 0x63, 0x17, 0xC2, 0x56, 0x57, 0x85, 0x4F, 0x58, 0x10, 0x1B, 0x1F, 0xC3, 0xA6, 0xA3, 0xE5, 0xA0, 0xA7,
    0xE8, 0x0A, 0xC7, 0x0C, 0x2F, 0x25, 0x49, 0x11, 0xE9, 0x2A, 0xC8, 0x18, 0x30, 0x26, 0x05, 0x0B};

const char* SpecialFunctionName(uint8_t nCode)
{
    if (nCode < SpecialFunctionFirst || nCode > SpecialFunctionLast)
        return nullptr;
    return SpecialFunctionNames[nCode - SpecialFunctionFirst];
}

const char* MouseFunctionName(uint8_t nCode)
{
    if (nCode < MouseFunctionFirst || nCode > MouseFunctionLast)
        return nullptr;
    return MouseFunctionNames[nCode - MouseFunctionFirst];
}

int KeyButtonMatrixPosition(int nButtonId)
{
    if (nButtonId < KeyButtonFirstId || nButtonId > KeyButtonLastId)
        return -1;
    return KeyButtonMatrixTable[nButtonId - KeyButtonFirstId];
}

DeviceKeyCode ApplyOwnKeyCode(int nButtonId, DeviceKeyCode nCode)
{
    if (nButtonId >= 2201 && nButtonId <= 2212 && nCode >= 0x3A && nCode <= 0x45)
        return static_cast<DeviceKeyCode>(nCode + 0x86);
    struct OwnCode
    {
        int nButton;
        DeviceKeyCode nFrom;
        DeviceKeyCode nTo;
    };
    constexpr OwnCode own[] = {
        {2292, 0xE3, 0xCF}, {2232, 0x4B, 0xCD}, {2253, 0x4E, 0xCE}, {2239, 0x1A, 0xEA},
        {2238, 0x14, 0xEB}, {2227, 0x2D, 0xE8}, {2228, 0x2E, 0xE9},
    };
    for (const OwnCode& o : own)
        if (o.nButton == nButtonId && o.nFrom == nCode)
            return o.nTo;
    return nCode;
}

DeviceKeyCode FactoryCodeOfButton(int nButtonId)
{
    const int nPos = KeyButtonMatrixPosition(nButtonId);
    return nPos < 0 ? 0 : FactoryAllRCKey[nPos];
}

std::string PlainKeyName(const std::string& strName)
{
    for (const char* pszModifier : {"Ctrl", "Shift", "Alt", "Win"})
    {
        const std::string strModifier = pszModifier;
        if (strName == strModifier + "_L" || strName == strModifier + "_R")
            return strModifier;
    }
    return strName;
}
