#include "macros/MacroRecorder.h"

#include <algorithm>

#include "device/DeviceProtocol.h"
#include "keyboardhook/KeyHook.h"
#include "model/Macro.h"

void CMacroRecorder::Begin(MacroKey& key)
{
    key.SetActionCount(0);
    key.MacroCommandActionNum = 0;
    m_nLastVk = 0;
    m_bLastRelease = false;
    m_nLastStamp = 0;
}

CMacroRecorder::EResult CMacroRecorder::OnKey(MacroKey& key, std::uint8_t nVk, bool bRelease, std::uint32_t nStamp,
                                              bool bWithDelays)
{
    // Codes below 8 are mouse buttons (and "no key"); a key held down repeats its press.
    if (nVk < 8 || (nVk == m_nLastVk && bRelease == m_bLastRelease))
        return EResult::Ignored;

    const MacroAction keyAction = MacroAction::Key(nVk, bRelease);
    unsigned nSteps = key.MacroCommandActionNum;
    if (key.m_nActionCount == 0)
    {
        // Nothing to wait for before the first event.
        if (nSteps + 1 > MaxMacroSteps || !key.InsertAction(key.m_nActionCount, keyAction))
            return EResult::Full;
        ++nSteps;
    }
    else if (bWithDelays)
    {
        const std::uint32_t nPauseMs = std::min<std::uint32_t>(HookStampDelta(m_nLastStamp, nStamp), 0xFFFF);
        // A short pause rides in the key's own step; a long one takes a step of its own.
        const unsigned nNeeded = nPauseMs < DelayOwnStepMs ? 1 : 2;
        if (nSteps + nNeeded > MaxMacroSteps || key.m_nActionCount + 2 > MacroActionSlots)
            return EResult::Full;
        key.InsertAction(key.m_nActionCount, MacroAction::Delay(nPauseMs));
        key.InsertAction(key.m_nActionCount, keyAction);
        nSteps += nNeeded;
    }
    else
    {
        if (nSteps + 1 > MaxMacroSteps || !key.InsertAction(key.m_nActionCount, keyAction))
            return EResult::Full;
        ++nSteps;
    }
    key.MacroCommandActionNum = static_cast<std::uint8_t>(nSteps);
    m_nLastVk = nVk;
    m_bLastRelease = bRelease;
    m_nLastStamp = nStamp;
    return EResult::Recorded;
}
