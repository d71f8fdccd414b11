#pragma once
// Key names and codes in the two code spaces the program speaks: the virtual-key codes (VK)
// that the keyboard hook reports and macro actions hold, and the keyboard's own one-byte key
// code (DeviceKeyCode: HID keyboard usages plus the keyboard's own codes). Every table is
// constant and indexable by any byte.

#include <array>
#include <cstdint>
#include <string>

using DeviceKeyCode = uint8_t;
using MatrixPosition = uint8_t;

constexpr int KeyButtonFirstId = 2200;
constexpr int KeyButtonLastId = 2302;
constexpr int KeyButtonCount = KeyButtonLastId - KeyButtonFirstId + 1; // 103
constexpr int MatrixPositionCount = 160;

extern const std::array<const char*, 256> VkNameTable;
// A key's name as a keyboard's legend reads it: the left and right modifiers ("Ctrl_L",
// "Shift_R", "Alt_L", "Win_R") lose their side; every other name is returned as it is.
std::string PlainKeyName(const std::string& strName);
extern const std::array<const char*, 256> DeviceKeyNameTable;
extern const std::array<uint8_t, 256> VkToDeviceCode;
extern const std::array<uint8_t, 256> DeviceCodeToVk;
// Button id - 2200 -> the MatrixPosition whose remap entry the button shows and edits.
extern const std::array<MatrixPosition, KeyButtonCount> KeyButtonMatrixTable;
// The remap table the keyboard ships with, indexed by MatrixPosition.
extern const std::array<DeviceKeyCode, MatrixPositionCount> FactoryAllRCKey;

// Range of the keyboard's special functions (multimedia and web keys).
constexpr uint8_t SpecialFunctionFirst = 0xA0;
constexpr uint8_t SpecialFunctionLast = 0xB1;
// Range of the mouse functions a remapped key can carry.
constexpr uint8_t MouseFunctionFirst = 0xD0;
constexpr uint8_t MouseFunctionLast = 0xD6;

// "Mute", "Volume+", … for 0xA0..0xB1; nullptr for every other code.
const char* SpecialFunctionName(uint8_t nCode);
// "Click", "Menu", … "Fire" for 0xD0..0xD6; nullptr for every other code.
const char* MouseFunctionName(uint8_t nCode);

// MatrixPosition of a key button id, or -1 when the id is not a key button.
int KeyButtonMatrixPosition(int nButtonId);

// Rewrites a code given to a key button into the alternate code the keyboard expects on some
// keys (F1..F12, Win_L, Page Up/Down, W, Q, "-", "="). Other buttons and codes pass unchanged.
DeviceKeyCode ApplyOwnKeyCode(int nButtonId, DeviceKeyCode nCode);

// The factory code of a key button (its remap entry in FactoryAllRCKey); 0 for a non-key id.
DeviceKeyCode FactoryCodeOfButton(int nButtonId);
