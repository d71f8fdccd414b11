#include "keyboardhook/ScriptedKeyHook.h"

int CScriptedKeyHook::StartHook(CSkinWindow* pWindow)
{
    ++m_nStarts;
    if (!pWindow)
        return 0;
    m_pWindow = pWindow;
    m_bStarted = true;
    return 1;
}

int CScriptedKeyHook::StopHook()
{
    ++m_nStops;
    const bool bWasStarted = m_bStarted;
    m_bStarted = false;
    m_pWindow = nullptr;
    return bWasStarted ? 1 : 0;
}

bool CScriptedKeyHook::Report(std::uint8_t nVk, bool bRelease, std::uint32_t nStampMs)
{
    if (!m_bStarted || !m_pWindow)
        return false;
    CSkinWindow::SendMessage(m_pWindow, UM_HOOK_KEY, nVk, HookKeyLParam(bRelease, nStampMs));
    return true;
}
