#pragma once
// The keyboard hook seam: while started, a hook reports every key press and every key release
// to one window as the message UM_HOOK_KEY (WM_USER + 1), sent while the key event is being
// delivered, so the window sees keys and mouse clicks in the order the user made them:
//   wParam  the Windows virtual-key code of the key (low byte; 0 for a key it cannot place).
//           Shift, Ctrl and Alt come side-specific (0xA0..0xA5), the Win keys as 0x5B/0x5C,
//           keypad Enter as the program's own 0x0E, power, wake-up and the international keys
//           as the program's own 0xF0..0xFB.
//   lParam  bit 31 set for a release, clear for a press; bits 0..30 a millisecond stamp that
//           increases with time and wraps modulo 2^31 (HookStampDelta measures across the wrap).
// A held key repeats its press message, never its release, until it is let go.
//
// Implementations: CKeyboardHook (the keys that reach the program) and CScriptedKeyHook (a test
// script). Owners call StartHook with their window and StopHook when done; destroying a started
// hook stops it.

#include "skin/SkinWindow.h"

#include <cstdint>

inline constexpr UINT UM_HOOK_KEY = WM_USER + 1; // 1025

inline constexpr std::uint32_t kHookReleaseBit = 0x80000000u;
inline constexpr std::uint32_t kHookStampMask = 0x7FFFFFFFu;

inline constexpr LPARAM HookKeyLParam(bool bRelease, std::uint64_t nStampMs)
{
    const auto nStamp = static_cast<std::uint32_t>(nStampMs & kHookStampMask);
    return static_cast<LPARAM>((bRelease ? kHookReleaseBit : 0u) | nStamp);
}
inline constexpr bool IsHookRelease(LPARAM lParam)
{
    return (static_cast<std::uint32_t>(lParam) & kHookReleaseBit) != 0;
}
inline constexpr std::uint32_t HookStamp(LPARAM lParam)
{
    return static_cast<std::uint32_t>(lParam) & kHookStampMask;
}
// Milliseconds from an older stamp to a newer one; a newer stamp below the older one has wrapped.
inline constexpr std::uint32_t HookStampDelta(std::uint32_t nOlder, std::uint32_t nNewer)
{
    return (nNewer - nOlder) & kHookStampMask;
}

class CKeyHook
{
public:
    virtual ~CKeyHook() = default;
    // Starts reporting to pWindow (a started hook moves to the new window). Answers 1 when the
    // hook runs, 0 when it cannot (no window, no application).
    virtual int StartHook(CSkinWindow* pWindow) = 0;
    // Stops reporting. Harmless when not started; answers 1 when it was running, else 0.
    virtual int StopHook() = 0;
    virtual bool IsStarted() const = 0;
};
