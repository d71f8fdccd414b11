#pragma once
// A keyboard hook driven by a test: Press and Release report keys with the stamps the test
// chooses, exactly as CKeyboardHook would (sent to the started window at once, nothing when stopped).
// It also counts the owner's calls, so a test can check when a window starts and stops its hook.

#include "keyboardhook/KeyHook.h"

#include <QPointer>

class CScriptedKeyHook : public CKeyHook
{
public:
    int StartHook(CSkinWindow* pWindow) override;
    int StopHook() override;
    bool IsStarted() const override { return m_bStarted; }

    // Answer whether the key was reported (false while stopped).
    bool Press(std::uint8_t nVk, std::uint32_t nStampMs) { return Report(nVk, false, nStampMs); }
    bool Release(std::uint8_t nVk, std::uint32_t nStampMs) { return Report(nVk, true, nStampMs); }

    CSkinWindow* GetWindow() const { return m_pWindow.data(); }
    int GetStartCount() const { return m_nStarts; }
    int GetStopCount() const { return m_nStops; }

private:
    bool Report(std::uint8_t nVk, bool bRelease, std::uint32_t nStampMs);

    QPointer<CSkinWindow> m_pWindow;
    bool m_bStarted = false;
    int m_nStarts = 0;
    int m_nStops = 0;
};
