#pragma once
// Drives the assignment dialogs as a user would: clicks on their controls through the dialog's
// mouse handling, keys as the window system delivers them (key events with native scan codes
// sent to the application, so they pass the dialog's keyboard hook), and a parent window that
// copies each result while the message call lasts.

#include "dialogs/DialogMessages.h"
#include "keyboardhook/KeyHook.h"
#include "skin/DlgBase.h"
#include "skin/Popups.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <optional>
#include <string>
#include <vector>

// evdev codes (the platform gives them moved up by 8) of the keys the tests press.
enum EvdevKey : quint32
{
    kEvEsc = 1,
    kEvQ = 16,
    kEvEnter = 28,
    kEvA = 30,
    kEvLeftShift = 42,
    kEvF5 = 63,
    kEvKeypadPlus = 78,
};

struct DialogResult
{
    UINT nMsg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    PopupResult result;  // UM_SHORTCUT_RESULT, UM_QUICK_LAUNCH_RESULT
    std::string strPath; // UM_QUICK_LAUNCH_RESULT
};

// The opener of a dialog: keeps every result message and the keys that reach it.
class CResultWindow : public CSkinWindow
{
public:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == WM_KEYDOWN || nMsg == UM_HOOK_KEY)
        {
            m_vecKeys.push_back(wParam);
            return 0;
        }
        if (nMsg != UM_SHORTCUT_RESULT && nMsg != UM_QUICK_LAUNCH_RESULT && nMsg != UM_KEY_MAP_RESULT)
            return 0;
        DialogResult entry{nMsg, wParam, lParam, {}, {}};
        if (nMsg != UM_KEY_MAP_RESULT && lParam)
            entry.result = *reinterpret_cast<const PopupResult*>(lParam);
        if (nMsg == UM_QUICK_LAUNCH_RESULT && wParam)
            entry.strPath = *reinterpret_cast<const std::string*>(wParam);
        m_vecResults.push_back(entry);
        return 0;
    }
    std::vector<DialogResult> m_vecResults;
    std::vector<WPARAM> m_vecKeys; // WM_KEYDOWN or hook reports that reached the opener
};

inline void ProcessPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A key pressed and let go on the real keyboard, delivered to pTarget.
inline void TypeKey(QWidget* pTarget, quint32 nEvdev, int nQtKey = Qt::Key_unknown)
{
    for (QEvent::Type eType : {QEvent::KeyPress, QEvent::KeyRelease})
    {
        QKeyEvent event(eType, nQtKey, Qt::NoModifier, nEvdev + 8, 0, 0);
        QCoreApplication::sendEvent(pTarget, &event);
    }
    ProcessPosted();
}

// The same key queued for a modal loop that is about to run.
inline void QueueKey(QWidget* pTarget, quint32 nEvdev, int nQtKey = Qt::Key_unknown)
{
    for (QEvent::Type eType : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(pTarget, new QKeyEvent(eType, nQtKey, Qt::NoModifier, nEvdev + 8, 0, 0));
}

inline QPoint CentreOf(const CDlgBase& dlg, UINT nId)
{
    const CControlBase* pControl = dlg.FindControl(nId);
    if (!pControl)
        return QPoint(-100, -100);
    const CRect rc = pControl->GetRect();
    return QPoint(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
}

// A click on control nId through the dialog's own mouse handling.
inline void Click(CDlgBase& dlg, UINT nId)
{
    const QPoint pt = CentreOf(dlg, nId);
    dlg.WindowProc(WM_MOUSEMOVE, 0, MakeLParam(pt.x(), pt.y()));
    dlg.WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
    dlg.WindowProc(WM_LBUTTONUP, 0, MakeLParam(pt.x(), pt.y()));
    ProcessPosted();
}

// The same click queued for the dialog's modal loop.
inline void QueueClick(CDlgBase& dlg, UINT nId)
{
    const QPoint pt = CentreOf(dlg, nId);
    CSkinWindow::PostMessage(&dlg, WM_MOUSEMOVE, 0, MakeLParam(pt.x(), pt.y()));
    CSkinWindow::PostMessage(&dlg, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
    CSkinWindow::PostMessage(&dlg, WM_LBUTTONUP, 0, MakeLParam(pt.x(), pt.y()));
}
