#include "keyboardhook/KeyCodeMap.h"

#include <array>

namespace
{

// X11 and Wayland (xkb) key codes are the kernel's evdev codes moved up by 8.
constexpr std::uint32_t kXkbOffset = 8;

struct CodePair
{
    std::uint16_t nEvdev;
    std::uint8_t nVk;
};

// The key at each evdev position, as the VK that key has on a US keyboard under Windows.
constexpr CodePair kEvdevToVk[] = {
    {1, 0x1B}, // Esc
    {2, 0x31},   {3, 0x32},   {4, 0x33},   {5, 0x34},   {6, 0x35},   {7, 0x36},   {8, 0x37},   {9, 0x38},
    {10, 0x39},  {11, 0x30},  {12, 0xBD}, // -
    {13, 0xBB},                           // =
    {14, 0x08},                           // Backspace
    {15, 0x09},                           // Tab
    {16, 'Q'},   {17, 'W'},   {18, 'E'},   {19, 'R'},   {20, 'T'},   {21, 'Y'},   {22, 'U'},   {23, 'I'},
    {24, 'O'},   {25, 'P'},   {26, 0xDB}, // [
    {27, 0xDD},                           // ]
    {28, 0x0D},                           // Enter
    {29, 0xA2},                           // left Ctrl
    {30, 'A'},   {31, 'S'},   {32, 'D'},   {33, 'F'},   {34, 'G'},   {35, 'H'},   {36, 'J'},   {37, 'K'},
    {38, 'L'},   {39, 0xBA}, // ;
    {40, 0xDE},              // '
    {41, 0xC0},              // ~
    {42, 0xA0},              // left Shift
    {43, 0xDC},              // backslash (also the ISO key beside Enter: the kernel gives both one code)
    {44, 'Z'},   {45, 'X'},   {46, 'C'},   {47, 'V'},   {48, 'B'},   {49, 'N'},   {50, 'M'},   {51, 0xBC}, // ,
    {52, 0xBE},                                                                                            // .
    {53, 0xBF},                                                                                            // /
    {54, 0xA1}, // right Shift
    {55, 0x6A}, // keypad *
    {56, 0xA4}, // left Alt
    {57, 0x20}, // Space
    {58, 0x14}, // Caps Lock
    {59, 0x70},  {60, 0x71},  {61, 0x72},  {62, 0x73},  {63, 0x74},  {64, 0x75},  {65, 0x76},  {66, 0x77},
    {67, 0x78},  {68, 0x79},              // F1..F10
    {69, 0x90},                           // Num Lock
    {70, 0x91},                           // Scroll Lock
    {71, 0x67},  {72, 0x68},  {73, 0x69}, // keypad 7 8 9
    {74, 0x6D},                           // keypad -
    {75, 0x64},  {76, 0x65},  {77, 0x66}, // keypad 4 5 6
    {78, 0x6B},                           // keypad +
    {79, 0x61},  {80, 0x62},  {81, 0x63}, // keypad 1 2 3
    {82, 0x60},                           // keypad 0
    {83, 0x6E},                           // keypad .
    {86, 0xF3},                           // K45, the ISO key beside left Shift
    {87, 0x7A},  {88, 0x7B},              // F11 F12
    {89, 0xF5},                           // K56 (Ro)
    {92, 0xF8},                           // K132 (Henkan)
    {93, 0xF6},                           // K133 (Katakana/Hiragana)
    {94, 0xF9},                           // K131 (Muhenkan)
    {96, 0x0E},                           // keypad Enter: the program's own code, told apart from Enter
    {97, 0xA3},                           // right Ctrl
    {98, 0x6F},                           // keypad /
    {99, 0x2C},                           // Print Screen
    {100, 0xA5},                          // right Alt (AltGr on many layouts)
    {102, 0x24},                          // Home
    {103, 0x26},                          // Up
    {104, 0x21},                          // Page Up
    {105, 0x25},                          // Left
    {106, 0x27},                          // Right
    {107, 0x23},                          // End
    {108, 0x28},                          // Down
    {109, 0x22},                          // Page Down
    {110, 0x2D},                          // Ins
    {111, 0x2E},                          // Del
    {113, 0xAD},                          // Mute
    {114, 0xAE},                          // Volume down
    {115, 0xAF},                          // Volume up
    {116, 0xF0},                          // Power
    {119, 0x13},                          // Pause
    {121, 0xF4},                          // K107 (keypad comma)
    {122, 0xFA},                          // KR (Hangul)
    {123, 0xFB},                          // KL (Hanja)
    {124, 0xF7},                          // K14 (Yen)
    {125, 0x5B},                          // left Win
    {126, 0x5C},                          // right Win
    {127, 0x5D},                          // App (menu key)
    {128, 0xA9},                          // browser Stop
    {138, 0x2F},                          // Help
    {139, 0x5D},                          // Menu
    {140, 0xB7},                          // Calculator
    {142, 0x5F},                          // Sleep
    {143, 0xF1},                          // Wake Up
    {155, 0xB4},                          // Mail
    {156, 0xAB},                          // browser Favorites
    {157, 0xB6},                          // My Computer
    {158, 0xA6},                          // browser Back
    {159, 0xA7},                          // browser Forward
    {163, 0xB0},                          // next track
    {164, 0xB3},                          // play/pause
    {165, 0xB1},                          // previous track
    {166, 0xB2},                          // stop
    {172, 0xAC},                          // browser Home
    {173, 0xA8},                          // browser Refresh
    {183, 0x7C}, {184, 0x7D}, {185, 0x7E}, {186, 0x7F}, {187, 0x80}, {188, 0x81}, {189, 0x82}, {190, 0x83},
    {191, 0x84}, {192, 0x85}, {193, 0x86}, {194, 0x87}, // F13..F24
    {215, 0xB4},                                        // Email
    {217, 0xAA},                                        // browser Search
    {226, 0xB5},                                        // media select
};

constexpr std::array<std::uint8_t, 256> BuildEvdevTable()
{
    std::array<std::uint8_t, 256> table{};
    for (const CodePair& pair : kEvdevToVk)
        table[pair.nEvdev] = pair.nVk;
    return table;
}

constexpr std::array<std::uint8_t, 256> kEvdevTable = BuildEvdevTable();

// X keysyms of the side-specific modifiers, as xcb gives them in the native virtual key.
constexpr std::uint32_t XK_Shift_R = 0xFFE2;
constexpr std::uint32_t XK_Control_R = 0xFFE4;
constexpr std::uint32_t XK_Meta_R = 0xFFE8;
constexpr std::uint32_t XK_Alt_R = 0xFFEA;
constexpr std::uint32_t XK_Super_R = 0xFFEC;
constexpr std::uint32_t XK_ISO_Level3_Shift = 0xFE03;

std::uint8_t KeypadVk(int nKey)
{
    if (nKey >= Qt::Key_0 && nKey <= Qt::Key_9)
        return static_cast<std::uint8_t>(0x60 + (nKey - Qt::Key_0));
    switch (nKey)
    {
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    case Qt::Key_Period:
    case Qt::Key_Comma:
    case Qt::Key_Delete: return 0x6E;
    case Qt::Key_Slash: return 0x6F;
    case Qt::Key_Enter:
    case Qt::Key_Return: return 0x0E;
    case Qt::Key_Insert: return 0x60;
    case Qt::Key_End: return 0x61;
    case Qt::Key_Down: return 0x62;
    case Qt::Key_PageDown: return 0x63;
    case Qt::Key_Left: return 0x64;
    case Qt::Key_Clear: return 0x65;
    case Qt::Key_Right: return 0x66;
    case Qt::Key_Home: return 0x67;
    case Qt::Key_Up: return 0x68;
    case Qt::Key_PageUp: return 0x69;
    default: return 0;
    }
}

} // namespace

std::uint8_t VkFromScanCode(std::uint32_t nScanCode)
{
    if (nScanCode < kXkbOffset || nScanCode - kXkbOffset >= kEvdevTable.size())
        return 0;
    return kEvdevTable[nScanCode - kXkbOffset];
}

std::uint8_t VkFromQtKey(int nKey, Qt::KeyboardModifiers modifiers, std::uint32_t nNativeVirtualKey)
{
    if (modifiers & Qt::KeypadModifier)
    {
        if (const std::uint8_t nVk = KeypadVk(nKey))
            return nVk;
    }
    if (nKey >= Qt::Key_A && nKey <= Qt::Key_Z)
        return static_cast<std::uint8_t>('A' + (nKey - Qt::Key_A));
    if (nKey >= Qt::Key_0 && nKey <= Qt::Key_9)
        return static_cast<std::uint8_t>('0' + (nKey - Qt::Key_0));
    if (nKey >= Qt::Key_F1 && nKey <= Qt::Key_F24)
        return static_cast<std::uint8_t>(0x70 + (nKey - Qt::Key_F1));
    switch (nKey)
    {
    case Qt::Key_Shift: return nNativeVirtualKey == XK_Shift_R ? 0xA1 : 0xA0;
    case Qt::Key_Control: return nNativeVirtualKey == XK_Control_R ? 0xA3 : 0xA2;
    case Qt::Key_Alt: return nNativeVirtualKey == XK_Alt_R ? 0xA5 : 0xA4;
    case Qt::Key_AltGr: return 0xA5;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return (nKey == Qt::Key_Super_R || nNativeVirtualKey == XK_Super_R || nNativeVirtualKey == XK_Meta_R) ? 0x5C
                                                                                                              : 0x5B;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Return: return 0x0D;
    case Qt::Key_Enter: return 0x0E; // Qt names only the keypad's Enter so
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_Print:
    case Qt::Key_SysReq: return 0x2C;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Apostrophe: return 0xDE;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Slash: return 0xBF;
    case Qt::Key_VolumeMute: return 0xAD;
    case Qt::Key_VolumeDown: return 0xAE;
    case Qt::Key_VolumeUp: return 0xAF;
    case Qt::Key_MediaNext: return 0xB0;
    case Qt::Key_MediaPrevious: return 0xB1;
    case Qt::Key_MediaStop: return 0xB2;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaTogglePlayPause: return 0xB3;
    case Qt::Key_LaunchMail: return 0xB4;
    case Qt::Key_LaunchMedia: return 0xB5;
    case Qt::Key_Explorer: return 0xB6;
    case Qt::Key_Calculator: return 0xB7;
    case Qt::Key_Back: return 0xA6;
    case Qt::Key_Forward: return 0xA7;
    case Qt::Key_Refresh: return 0xA8;
    case Qt::Key_Stop: return 0xA9;
    case Qt::Key_Search: return 0xAA;
    case Qt::Key_Favorites: return 0xAB;
    case Qt::Key_HomePage: return 0xAC;
    case Qt::Key_PowerOff:
    case Qt::Key_PowerDown: return 0xF0;
    case Qt::Key_Sleep: return 0x5F;
    case Qt::Key_WakeUp: return 0xF1;
    case Qt::Key_Hangul: return 0xFA;
    case Qt::Key_Hangul_Hanja: return 0xFB;
    case Qt::Key_Henkan: return 0xF8;
    case Qt::Key_Muhenkan: return 0xF9;
    case Qt::Key_Hiragana_Katakana: return 0xF6;
    default: break;
    }
    return nNativeVirtualKey == XK_ISO_Level3_Shift ? 0xA5 : 0;
}

std::uint8_t VkOfKeyEvent(const QKeyEvent& event)
{
    if (event.nativeScanCode() != 0)
        return VkFromScanCode(event.nativeScanCode());
    return VkFromQtKey(event.key(), event.modifiers(), event.nativeVirtualKey());
}
