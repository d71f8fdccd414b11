#pragma once
// Which Windows virtual-key code a Qt key event stands for.
//
// The key's position decides, not the character the layout gives it, so that an AZERTY or a
// Cyrillic layout records the same keys as a US one: the native scan code of X11 (xcb) and
// Wayland is the evdev key code + 8, and a fixed table turns it into the VK of the key at that
// place on a US keyboard. Keys without a place in the table give 0.
//
// Events without a native scan code (the offscreen platform, synthesized events) fall back to
// Qt's key code: letters, digits, function, editing, keypad (by Qt::KeypadModifier) and media
// keys map to their VK; for Shift, Ctrl, Alt and Meta the side comes from the X keysym in the
// native virtual key when the platform gives it (Shift_R, Control_R, Alt_R, ISO_Level3_Shift,
// Super_R), else the left key is assumed. Punctuation then follows the character, so only this
// fallback depends on the layout.

#include <QKeyEvent>
#include <cstdint>

// VK of the key at a native scan code (evdev code + 8); 0 when unknown.
std::uint8_t VkFromScanCode(std::uint32_t nScanCode);
// VK from Qt's key code when there is no scan code; 0 when unknown.
std::uint8_t VkFromQtKey(int nKey, Qt::KeyboardModifiers modifiers, std::uint32_t nNativeVirtualKey);
// The VK a key event reports: by scan code when there is one, else by Qt's key code.
std::uint8_t VkOfKeyEvent(const QKeyEvent& event);
