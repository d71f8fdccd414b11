#include "skin/PopupActivation.h"

#include "skin/WndPopup.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

CPopupActivation& CPopupActivation::Instance()
{
    static CPopupActivation* s_pInstance = new CPopupActivation; // lives as long as the application
    return *s_pInstance;
}

CPopupActivation::CPopupActivation() : QObject(QCoreApplication::instance())
{
    QCoreApplication::instance()->installEventFilter(this);
    // Another program took the keyboard focus: the program's windows, popups included, lost it.
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
                     [this](QWindow* pFocus)
                     {
                         if (!pFocus)
                             Deactivate();
                     });
}

void CPopupActivation::Activate(CWndPopup* pPopup)
{
    if (m_pActive == pPopup)
        return;
    Deactivate();
    m_pActive = pPopup;
}

void CPopupActivation::Deactivate()
{
    // Cleared first: the loser's parent may close popups or open others while it is told.
    CWndPopup* pLoser = m_pActive.data();
    m_pActive = nullptr;
    if (pLoser && !pLoser->IsClosed())
        pLoser->WindowProc(WM_NCACTIVATE, 0, 0);
}

bool CPopupActivation::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::MouseButtonPress || pEvent->type() == QEvent::MouseButtonDblClick)
    {
        // A press activates the window it lands in: a popup takes the activation, any other
        // window of the program only takes it from the active popup.
        if (auto* pWidget = qobject_cast<QWidget*>(pWatched))
        {
            QWidget* pWindow = pWidget->window();
            if (pWindow != m_pActive.data())
            {
                if (auto* pPopup = dynamic_cast<CWndPopup*>(pWindow))
                    Activate(pPopup);
                else
                    Deactivate();
            }
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
