#include "app/OsdHandler.h"

#include <iterator>

#include "app/DesktopNotice.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/AppDirectory.h"
#include "skin/SkinWindow.h"
#include "skin/WindowSystem.h"

COsdHandler::COsdHandler(CSkinWindow& owner) : m_owner(owner)
{
    if (WindowSystem::IsWayland())
        m_pNotice = std::make_unique<CDesktopNotice>(QDBusConnection::sessionBus(), DesktopEntryId());
}

COsdHandler::COsdHandler(CSkinWindow& owner, const QDBusConnection& noticeBus)
    : m_owner(owner), m_pNotice(std::make_unique<CDesktopNotice>(noticeBus, DesktopEntryId()))
{
}

COsdHandler::~COsdHandler() = default;

const char* COsdHandler::TextOfCode(WPARAM nCode)
{
    static constexpr const char* kTexts[] = {
        "当前设置文件 : 一",    // profile one
        "当前设置文件 : 二",    // profile two
        "当前设置文件 : 三",    // profile three
        "Windows键状态 : 禁止", // Windows key disabled
        "Windows键状态 : 使能", // Windows key enabled
        "所有按键状态 : 禁止",  // all keys disabled
        "所有按键状态 : 使能",  // all keys enabled
    };
    if (nCode < 1 || nCode > std::size(kTexts))
        return nullptr;
    return kTexts[nCode - 1];
}

bool COsdHandler::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM)
{
    if (nMsg == UM_SHOWOSD)
    {
        if (const char* pszText = TextOfCode(wParam))
            ShowOsdText(pszText);
        return true;
    }
    if (nMsg == WM_TIMER && wParam == OsdTimerId)
    {
        OnTimer();
        return true;
    }
    return false;
}

void COsdHandler::ShowOsdText(const std::string& strText)
{
    if (m_pNotice)
    {
        m_pNotice->Show(strText, [this, strText] { ShowInWindow(strText); });
        return;
    }
    ShowInWindow(strText);
}

void COsdHandler::ShowInWindow(const std::string& strText)
{
    if (m_pOsd)
    {
        // Already shown: a new text restarts the countdown; the window stays where it is.
        m_nOsdCountdown = CountdownStart;
        m_pOsd->SetText(strText);
        return;
    }
    m_pOsd = std::make_unique<COSDDialog>();
    m_pOsd->ShowInCorner();
    m_pOsd->SetText(strText);
    m_owner.SetTimer(OsdTimerId, TimerPeriodMs);
    m_nOsdCountdown = CountdownStart;
}

void COsdHandler::OnTimer()
{
    // Five ticks count down; the sixth after the last text closes the display.
    if (m_nOsdCountdown != 0)
    {
        --m_nOsdCountdown;
        return;
    }
    m_owner.KillTimer(OsdTimerId);
    m_pOsd.reset();
}
