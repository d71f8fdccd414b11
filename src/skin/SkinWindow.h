#pragma once
// The window layer of the skinned toolkit: every skinned window receives its input
// as (message number, wParam, lParam) in one virtual handler, can be sent messages
// synchronously and posted messages from any thread through the UI event loop.

#include "skin/SkinTypes.h"

#include <QEvent>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <map>

class CMessageEvent : public QEvent
{
public:
    static QEvent::Type EventType();
    CMessageEvent(UINT nMsg, WPARAM wParam, LPARAM lParam)
        : QEvent(EventType()), m_nMsg(nMsg), m_wParam(wParam), m_lParam(lParam)
    {
    }
    UINT m_nMsg;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

class CSkinWindow : public QWidget
{
public:
    explicit CSkinWindow(QWidget* pParent = nullptr, Qt::WindowFlags flags = {});
    ~CSkinWindow() override;

    // The one message handler. Derived windows handle what they know and pass the
    // rest to the base class; the end of the chain is DefWindowProc.
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);

    // Synchronous call of the target's handler (UI thread only). A null target is ignored.
    static LRESULT SendMessage(CSkinWindow* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam);
    // Queues the message on the UI thread's event loop; callable from any thread as long as
    // the target exists when it is called. Messages pending for a destroyed window are dropped.
    static bool PostMessage(CSkinWindow* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam);

    // nullptr invalidates the whole client area. Erasing is never separate: skinned
    // windows repaint everything they show in one step.
    virtual void InvalidateRect(const CRect* pRect, bool bErase = true);
    CRect GetClientRect() const { return CRect(0, 0, width(), height()); }

    // Timers deliver WM_TIMER with the caller's id as wParam.
    bool SetTimer(UINT nIdEvent, int nElapseMs);
    bool KillTimer(UINT nIdEvent);

    // Mouse tracking: arms one WM_MOUSEHOVER after the mouse rests nHoverMs, and WM_MOUSELEAVE.
    bool TrackMouseEvent(int nHoverMs);
    void SetCapture() { m_bHasCapture = true; }
    void ReleaseCapture() { m_bHasCapture = false; }
    bool HasCapture() const { return m_bHasCapture; }
    QPoint GetCursorClientPos() const;

    // Raises and activates the window where the platform has a window stack.
    virtual void BringToFront();

    // True while the window follows the mouse after a press on its background.
    bool IsWindowDragActive() const { return m_bWindowDrag; }

protected:
    bool event(QEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    // Enter and Escape arrive as WM_KEYDOWN with VK_RETURN / VK_ESCAPE; other keys stay with Qt.
    void keyPressEvent(QKeyEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void OnHoverTimer();

    std::map<UINT, int> m_mapTimers; // our id -> Qt timer id
    QTimer m_tmHover;
    bool m_bHoverArmed = false;
    bool m_bLeaveArmed = false;
    bool m_bHasCapture = false;
    bool m_bWindowDrag = false;
    bool m_bLeftDown = false;   // left button held since a press in this window
    QPoint m_ptDragOffset;      // cursor (global) minus window position at the press
    QPoint m_ptLastPressGlobal; // where the last left press happened, in screen coordinates
    QPoint m_ptLastMove;        // last position reported with WM_MOUSEMOVE
    bool m_bHaveMove = false;   // m_ptLastMove holds a position (cleared when the pointer leaves)
};
