#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/KeyTables.h"

namespace
{

TEST(KeyTables, UndefinedEntriesAreNamedUndefined)
{
    EXPECT_STREQ(VkNameTable[0x3A], "Undefined");
    EXPECT_STREQ(VkNameTable[0x00], "Undefined");
    EXPECT_STREQ(VkNameTable[0xFF], "Undefined");
    EXPECT_STREQ(DeviceKeyNameTable[0x00], "Undefined");
    // Special functions have their own texts but no name in the device table.
    EXPECT_STREQ(DeviceKeyNameTable[0xA0], "Undefined");
    for (int i = 0; i < 256; ++i)
    {
        ASSERT_NE(VkNameTable[i], nullptr) << i;
        ASSERT_NE(DeviceKeyNameTable[i], nullptr) << i;
    }
}

TEST(KeyTables, NamesOfRangesAndOwnCodes)
{
    EXPECT_STREQ(VkNameTable[0x41], "A");
    EXPECT_STREQ(VkNameTable[0x5A], "Z");
    EXPECT_STREQ(VkNameTable[0x30], "0");
    EXPECT_STREQ(VkNameTable[0x69], "Keypad 9");
    EXPECT_STREQ(VkNameTable[0x87], "F24");
    EXPECT_STREQ(VkNameTable[0x0E], "Keypad Enter");
    EXPECT_STREQ(VkNameTable[0xDC], "\\");
    EXPECT_STREQ(VkNameTable[0xFB], "KL");
    EXPECT_STREQ(DeviceKeyNameTable[0x1E], "1");
    EXPECT_STREQ(DeviceKeyNameTable[0x27], "0");
    EXPECT_STREQ(DeviceKeyNameTable[0x58], "Keypad Eenter");
    EXPECT_STREQ(DeviceKeyNameTable[0x62], "Keypad 0");
    EXPECT_STREQ(DeviceKeyNameTable[0x73], "F24");
    EXPECT_STREQ(DeviceKeyNameTable[0xC3], "F4");
    EXPECT_STREQ(DeviceKeyNameTable[0xEB], "Q");
    EXPECT_STREQ(SpecialFunctionName(0xA0), "Mute");
    EXPECT_STREQ(SpecialFunctionName(0xB1), "Calculator");
    EXPECT_EQ(SpecialFunctionName(0xB2), nullptr);
    EXPECT_STREQ(MouseFunctionName(0xD5), "Double-click");
    EXPECT_STREQ(MouseFunctionName(0xD6), "Fire");
    EXPECT_EQ(MouseFunctionName(0xD7), nullptr);
}

TEST(KeyTables, ConversionRoundTripsForEveryMappedVk)
{
    int nMapped = 0;
    for (int nVk = 0; nVk < 256; ++nVk)
    {
        const uint8_t nCode = VkToDeviceCode[nVk];
        if (nCode == 0)
            continue;
        ++nMapped;
        EXPECT_EQ(DeviceCodeToVk[nCode], nVk) << "vk " << nVk;
        // A key the hook can report must be one the keyboard can name.
        EXPECT_STRNE(DeviceKeyNameTable[nCode], "Undefined") << "vk " << nVk;
    }
    EXPECT_GT(nMapped, 100);
}

TEST(KeyTables, UnmappedKeysGiveZero)
{
    for (int nVk = 0x01; nVk <= 0x06; ++nVk)
        EXPECT_EQ(VkToDeviceCode[nVk], 0) << nVk;
    for (int nVk = 0x10; nVk <= 0x12; ++nVk)
        EXPECT_EQ(VkToDeviceCode[nVk], 0) << nVk;
    EXPECT_EQ(VkToDeviceCode[0x2A], 0); // Print
    EXPECT_EQ(VkToDeviceCode[0x6C], 0); // Separator
    EXPECT_EQ(DeviceCodeToVk[0xE8], 0); // own "-" has no VK
    EXPECT_EQ(DeviceCodeToVk[0xCF], 0);
    EXPECT_EQ(DeviceCodeToVk[0xA5], 0); // special function
}

TEST(KeyTables, RecordedKeysSurviveTheKeyboard)
{
    EXPECT_EQ(VkToDeviceCode[0x5B], 0xE3);
    EXPECT_EQ(DeviceCodeToVk[0xE3], 0x5B);
    EXPECT_EQ(VkToDeviceCode[0xA5], 0xE6);
    EXPECT_EQ(DeviceCodeToVk[0xE6], 0xA5);
    EXPECT_EQ(VkToDeviceCode[0x2E], 0x4C);
    EXPECT_EQ(DeviceCodeToVk[0x4C], 0x2E);
    // Print Screen goes out as 0x46 and comes back as Print Screen, not as Print.
    EXPECT_EQ(VkToDeviceCode[0x2C], 0x46);
    EXPECT_EQ(DeviceCodeToVk[0x46], 0x2C);
    // Alternate F-key codes read back as their F keys; F13..F24 go out and come back as
    // themselves, so a macro holding them keeps them when it is edited and sent again.
    EXPECT_EQ(DeviceCodeToVk[0xC3], 0x73);
    EXPECT_STREQ(VkNameTable[DeviceCodeToVk[0xC3]], "F4");
    EXPECT_EQ(DeviceCodeToVk[0x68], 0x7C);
    EXPECT_EQ(DeviceCodeToVk[0x73], 0x87);
    EXPECT_EQ(VkToDeviceCode[0x7C], 0x68);
    EXPECT_EQ(VkToDeviceCode[0x87], 0x73);
}

TEST(KeyTables, KeyButtonsShowTheFactoryKeyboard)
{
    const std::vector<std::string> expected = {
        "Esc",         "F1",         "F2",          "F3",       "F4",        "F5",       "F6",
        "F7",          "F8",         "F9",          "F10",      "F11",       "F12",      "Print",
        "Scroll Lock", "Pause",      "~",           "1",        "2",         "3",        "4",
        "5",           "6",          "7",           "8",        "9",         "0",        "-",
        "=",           "Backspace",  "Ins",         "Home",     "Page Up",   "Num Lock", "Keypad /",
        "Keypad *",    "Keypad -",   "Tab",         "Q",        "W",         "E",        "R",
        "T",           "Y",          "U",           "I",        "O",         "P",        "[",
        "]",           "\\",         "Del",         "End",      "Page Down", "Keypad 7", "Keypad 8",
        "Keypad 9",    "Keypad +",   "Caps Lock",   "A",        "S",         "D",        "F",
        "G",           "H",          "J",           "K",        "L",         ";",        "'",
        "Enter",       "Keypad 4",   "Keypad 5",    "Keypad 6", "Shift_L",   "Z",        "X",
        "C",           "V",          "B",           "N",        "M",         ",",        ".",
        "/",           "Shift_R",    "Up Arrow",    "Keypad 1", "Keypad 2",  "Keypad 3", "Keypad Eenter",
        "Ctrl_L",      "Win_L",      "Alt_L",       "Space",    "Alt_R",     "App",      "Ctrl_R",
        "Left Arrow",  "Down Arrow", "Right Arrow", "Keypad 0", "Keypad ."};
    ASSERT_EQ(expected.size(), static_cast<size_t>(KeyButtonCount));
    for (int i = 0; i < KeyButtonCount; ++i)
        EXPECT_EQ(DeviceKeyNameTable[FactoryCodeOfButton(KeyButtonFirstId + i)], expected[i])
            << "button " << KeyButtonFirstId + i;
    // Every button reaches its own matrix position.
    std::vector<bool> seen(MatrixPositionCount);
    for (MatrixPosition nPos : KeyButtonMatrixTable)
    {
        ASSERT_LT(nPos, MatrixPositionCount);
        EXPECT_FALSE(seen[nPos]) << int(nPos);
        seen[nPos] = true;
    }
    EXPECT_EQ(KeyButtonMatrixPosition(2199), -1);
    EXPECT_EQ(KeyButtonMatrixPosition(2303), -1);
    EXPECT_EQ(KeyButtonMatrixPosition(2200), 0x20);
}

TEST(KeyTables, OwnKeyCodeRule)
{
    EXPECT_EQ(ApplyOwnKeyCode(2201, 0x3E), 0xC4); // F5 onto the F1 button
    EXPECT_EQ(ApplyOwnKeyCode(2212, 0x3A), 0xC0);
    EXPECT_EQ(ApplyOwnKeyCode(2213, 0x3E), 0x3E); // not an F button
    EXPECT_EQ(ApplyOwnKeyCode(2200, 0x3E), 0x3E);
    EXPECT_EQ(ApplyOwnKeyCode(2201, 0x46), 0x46); // not an F key
    EXPECT_EQ(ApplyOwnKeyCode(2239, 0x14), 0x14); // Q onto the W button
    EXPECT_EQ(ApplyOwnKeyCode(2239, 0x1A), 0xEA);
    EXPECT_EQ(ApplyOwnKeyCode(2238, 0x14), 0xEB);
    EXPECT_EQ(ApplyOwnKeyCode(2292, 0xE3), 0xCF);
    EXPECT_EQ(ApplyOwnKeyCode(2293, 0xE3), 0xE3);
    EXPECT_EQ(ApplyOwnKeyCode(2232, 0x4B), 0xCD);
    EXPECT_EQ(ApplyOwnKeyCode(2253, 0x4E), 0xCE);
    EXPECT_EQ(ApplyOwnKeyCode(2227, 0x2D), 0xE8);
    EXPECT_EQ(ApplyOwnKeyCode(2228, 0x2E), 0xE9);
    // Giving each of these buttons its own key back restores exactly the factory code, so a
    // key set back to itself no longer shows as changed.
    const struct
    {
        int nButton;
        uint8_t nStandard;
    } own[] = {{2201, 0x3A}, {2212, 0x45}, {2292, 0xE3}, {2232, 0x4B}, {2253, 0x4E},
               {2239, 0x1A}, {2238, 0x14}, {2227, 0x2D}, {2228, 0x2E}};
    for (const auto& o : own)
        EXPECT_EQ(ApplyOwnKeyCode(o.nButton, o.nStandard), FactoryCodeOfButton(o.nButton)) << o.nButton;
}

} // namespace
