#pragma once
// Base of the choice popups: a frameless, top-most, opaque window drawn off screen in
// one step, that reports choices and its loss of activation to its parent by message.

#include "skin/SkinWindow.h"

#include <QImage>

class CWndPopup : public CSkinWindow
{
public:
    CWndPopup();
    ~CWndPopup() override;

    // Creates and shows the popup at rcScreen's top-left (width from rcScreen until
    // BuildItems sets its own size). The popup deletes itself after WM_CLOSE.
    bool CreatePopup(CSkinWindow* pParent, const CRect& rcScreen, UINT nMessage, WPARAM wContext);
    void RenderLayered();

    virtual void DrawItems(QPainter* pDC, int nLeft, int nTop, int nRight, int nBottom);
    virtual void BuildItems();
    virtual bool OnItemHover(int x, int y);
    virtual bool OnItemPress(int x, int y);
    virtual bool OnItemRelease(int x, int y);

    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    // Where the compositor keeps activation to itself the popup is only raised, and becomes the
    // active popup as the program follows it (skin/PopupActivation.h).
    void BringToFront() override;

    int GetPopupKind() const { return m_nPopupKind; }
    WPARAM GetPopupContext() const { return m_wPopupContext; }
    UINT GetNotifyMessage() const { return m_nNotifyMessage; }
    CSkinWindow* GetParentWnd() const { return m_pParentWnd; }
    bool IsButtonDown() const { return m_bButtonDown; }
    bool IsClosed() const { return m_bClosed; }
    // The picture last rendered, as shown on screen.
    const QImage& GetRenderedImage() const { return m_imgLayered; }

    // Message sent on loss of activation for a popup kind (0 when the kind is unknown).
    static UINT LostActivationMessage(int nKind);

protected:
    LRESULT SendToParent(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // Resizes without moving.
    void SetWindowSize(int nWidth, int nHeight);
    void paintEvent(QPaintEvent* pEvent) override;

    bool m_bTracking = false;
    bool m_bButtonDown = false;
    bool m_bCapture = false;
    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 100;
    UINT m_nNotifyMessage = 0;
    WPARAM m_wPopupContext = 0;
    int m_nPopupKind = 0;

private:
    CSkinWindow* m_pParentWnd = nullptr;
    bool m_bClosed = false;
    QImage m_imgLayered;
};
