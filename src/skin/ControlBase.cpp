#include "skin/ControlBase.h"

#include "skin/SkinDraw.h"

CControlBase::CControlBase(CSkinWindow* hParent, UINT nId, const CRect& rect, const std::string& strText, bool bVisible,
                           bool bDisabled)
    : m_nId(nId), m_rect(rect), m_bVisible(bVisible), m_bDisabled(bDisabled), m_strText(strText), m_hParent(hParent),
      m_fontBase(SkinFont(12, 0, 0))
{
}

CControlBase::~CControlBase() = default;

void CControlBase::ResetPressed(bool) {}

void CControlBase::SetRect(int nLeft, int nTop, int nRight, int nBottom)
{
    m_rect = CRect(nLeft, nTop, nRight, nBottom);
}

CRect CControlBase::GetRect() const
{
    return m_rect;
}

void CControlBase::SetText(const std::string& strText)
{
    if (strText == m_strText)
        return;
    m_strText = strText;
    Invalidate();
}

std::string CControlBase::GetText() const
{
    return m_strText;
}

void CControlBase::SetVisible(bool bVisible)
{
    m_bVisible = bVisible;
}

bool CControlBase::OnMouseMove(UINT, int, int)
{
    return false;
}
bool CControlBase::OnLButtonDown(UINT, int, int)
{
    return false;
}
bool CControlBase::OnLButtonUp(UINT, int, int)
{
    return false;
}
bool CControlBase::OnLButtonDblClk(UINT, int, int)
{
    return false;
}

LRESULT CControlBase::Notify(UINT nMsg, WPARAM wParam, LPARAM lParam) const
{
    return CSkinWindow::SendMessage(m_hParent, nMsg, wParam, lParam);
}

void CControlBase::Invalidate() const
{
    if (m_hParent)
        m_hParent->InvalidateRect(&m_rect, true);
}

bool CControlBase::TrackHover(int& nState, int x, int y) const
{
    if (m_bDisabled || nState == MS_PRESSED)
        return false;
    const int nNew = m_rect.PtInRect(x, y) ? MS_HOVER : MS_NORMAL;
    const bool bChanged = nNew != nState;
    nState = nNew;
    return bChanged;
}

bool CControlBase::PressState(int& nState, int x, int y) const
{
    if (m_bDisabled || !m_rect.PtInRect(x, y))
        return false;
    const bool bChanged = nState != MS_PRESSED;
    nState = MS_PRESSED;
    return bChanged;
}

bool CControlBase::PressAndNotify(int& nState, int x, int y) const
{
    if (m_bDisabled || !m_rect.PtInRect(x, y))
        return false;
    const bool bChanged = PressState(nState, x, y);
    Notify(m_nId, 0, NOTIFY_PRESS);
    return bChanged;
}

bool CControlBase::ReleaseState(int& nState, int x, int y, bool& bInside) const
{
    bInside = false;
    if (m_bDisabled)
        return false;
    const int nOld = nState;
    bInside = m_rect.PtInRect(x, y);
    nState = bInside ? MS_HOVER : MS_NORMAL;
    return nOld != nState;
}
