#pragma once
// The windowless control base: a rectangle in its dialog that the dialog paints and
// feeds with the mouse, and that notifies its parent window with its id as message.

#include "skin/SkinWindow.h"

#include <QFont>
#include <functional>
#include <string>

class QPainter;

// Mouse states shared by every control class.
enum MouseState
{
    MS_NORMAL = 0,
    MS_HOVER = 1,
    MS_PRESSED = 2
};

class CControlBase
{
public:
    CControlBase(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                 bool bDisabled);
    virtual ~CControlBase();
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;

    virtual void Draw(QPainter* pDC, const CRect& rcClip) = 0;
    virtual void ResetPressed(bool bPressed);
    virtual void SetRect(int nLeft, int nTop, int nRight, int nBottom);
    virtual CRect GetRect() const;
    virtual void SetText(const std::string& strText);
    virtual std::string GetText() const;
    virtual void SetVisible(bool bVisible);
    virtual bool OnMouseMove(UINT nFlags, int x, int y);
    virtual bool OnLButtonDown(UINT nFlags, int x, int y);
    virtual bool OnLButtonUp(UINT nFlags, int x, int y);
    virtual bool OnLButtonDblClk(UINT nFlags, int x, int y);
    // True for controls whose click changes what the whole window shows (tabs).
    virtual bool RepaintsWindowOnClick() const { return false; }

    UINT GetId() const { return m_nId; }
    bool IsVisible() const { return m_bVisible; }
    bool IsDisabled() const { return m_bDisabled; }
    void SetDisabled(bool bDisabled) { m_bDisabled = bDisabled; }
    bool AcceptsInput() const { return m_bAcceptsInput; }
    void SetAcceptsInput(bool bAccepts) { m_bAcceptsInput = bAccepts; }
    CSkinWindow* GetParentWindow() const { return m_hParent; }
    // What the control tells while the pointer rests on it (the window shows it as a tooltip);
    // empty for nothing. The source is asked at that moment, so the words are never stale.
    virtual std::string ToolTipText() const { return m_fnToolTip ? m_fnToolTip() : std::string(); }
    void SetToolTipSource(std::function<std::string()> fnToolTip) { m_fnToolTip = std::move(fnToolTip); }

protected:
    LRESULT Notify(UINT nMsg, WPARAM wParam, LPARAM lParam) const;
    void Invalidate() const;

    // The button-family mouse rules on a MouseState variable; each answers whether it changed.
    bool TrackHover(int& nState, int x, int y) const;
    bool PressState(int& nState, int x, int y) const;
    // A press on an enabled control at (x, y): pressed state and NOTIFY_PRESS.
    bool PressAndNotify(int& nState, int x, int y) const;
    // A release: hover when inside, normal outside; bInside tells whether it counts as a click.
    // A disabled control keeps its state and never counts one.
    bool ReleaseState(int& nState, int x, int y, bool& bInside) const;

    UINT m_nId;
    CRect m_rect;
    bool m_bVisible;
    bool m_bDisabled;
    bool m_bAcceptsInput = true;
    std::string m_strText;
    CSkinWindow* m_hParent;
    QFont m_fontBase;
    std::function<std::string()> m_fnToolTip;
};
