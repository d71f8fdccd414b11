#pragma once
// Activation of the choice popups where the window system keeps it to itself (Wayland). The
// popups are then the compositor's unactivated popup surfaces, so the program follows, as X11
// would: the popup shown or brought to the front last is the active one; it loses the
// activation when a mouse button is pressed in any other window of the program, when another
// popup takes it, or when the program loses the keyboard focus to another program. The loser
// hears it as WM_NCACTIVATE with wParam 0, once per loss, like an activation change on X11.

#include <QObject>
#include <QPointer>

class CWndPopup;

class CPopupActivation : public QObject
{
public:
    static CPopupActivation& Instance();

    // pPopup becomes the active popup; the one before it, if any, loses the activation.
    void Activate(CWndPopup* pPopup);
    CWndPopup* ActivePopup() const { return m_pActive.data(); }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    CPopupActivation();
    void Deactivate();

    QPointer<CWndPopup> m_pActive;
};
