#pragma once
// Turns the key events of a recording into the actions of one macro key: a press or release per
// event, with the pause before it when delays are recorded, while counting the keyboard steps
// the actions will take. A recording ends as full when the keyboard could not take the next
// event: a macro report carries at most MaxMacroSteps steps, so a longer recording would lose
// its end on the way to the keyboard.

#include <cstdint>

struct MacroKey;

class CMacroRecorder
{
public:
    enum class EResult
    {
        Ignored,  // not a key a macro can hold, or the held key's repeat
        Recorded, // the action (and its pause) was appended
        Full,     // the keyboard could not take it; nothing was appended
    };

    // Starts over on a macro: no actions and no steps (the action slots keep their old bytes)
    // and no event before the next one.
    void Begin(MacroKey& key);
    // One key event: the Windows key code, press or release, and the event's millisecond stamp
    // (bits 0..30, wrapping).
    EResult OnKey(MacroKey& key, std::uint8_t nVk, bool bRelease, std::uint32_t nStamp, bool bWithDelays);

private:
    std::uint8_t m_nLastVk = 0;
    bool m_bLastRelease = false;
    std::uint32_t m_nLastStamp = 0;
};
