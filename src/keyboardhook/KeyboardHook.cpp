#include "keyboardhook/KeyboardHook.h"

#include "keyboardhook/KeyCodeMap.h"

#include <QCoreApplication>
#include <QKeyEvent>

CKeyboardHook::CKeyboardHook() = default;

CKeyboardHook::~CKeyboardHook()
{
    StopHook();
}

int CKeyboardHook::StartHook(CSkinWindow* pWindow)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (!pWindow || !pApp)
        return 0;
    m_pWindow = pWindow;
    if (!m_bStarted)
    {
        pApp->installEventFilter(this);
        m_bStarted = true;
    }
    return 1;
}

int CKeyboardHook::StopHook()
{
    if (!m_bStarted)
        return 0;
    if (QCoreApplication* pApp = QCoreApplication::instance())
        pApp->removeEventFilter(this);
    m_bStarted = false;
    m_pWindow = nullptr;
    return 1;
}

std::uint64_t CKeyboardHook::StampOf(const QKeyEvent& event) const
{
    if (event.timestamp() != 0)
        return event.timestamp();
    const auto elapsed = std::chrono::steady_clock::now() - m_tpCreated;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

bool CKeyboardHook::eventFilter(QObject*, QEvent* pEvent)
{
    const QEvent::Type eType = pEvent->type();
    if (eType != QEvent::KeyPress && eType != QEvent::KeyRelease && eType != QEvent::ShortcutOverride)
        return false;
    if (!m_pWindow)
    {
        // The window went away without stopping the hook: keys belong to the program again.
        StopHook();
        return false;
    }
    if (eType == QEvent::ShortcutOverride)
    {
        // Claiming the key keeps every shortcut from taking it; its press comes next.
        pEvent->accept();
        return true;
    }
    const auto& keyEvent = static_cast<const QKeyEvent&>(*pEvent);
    const bool bRelease = eType == QEvent::KeyRelease;
    // A held key repeats as press/release pairs on X11; only the presses repeat in the report.
    if (!(bRelease && keyEvent.isAutoRepeat()))
    {
        const LPARAM lParam = HookKeyLParam(bRelease, StampOf(keyEvent));
        CSkinWindow::SendMessage(m_pWindow, UM_HOOK_KEY, VkOfKeyEvent(keyEvent), lParam);
    }
    return true;
}
