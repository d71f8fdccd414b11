#include "skin/WndPopup.h"

#include "skin/PopupActivation.h"
#include "skin/SkinDraw.h"
#include "skin/WindowSystem.h"

#include <QPainter>

namespace
{
// On Wayland only a popup surface can be placed, relative to its parent; Qt makes one of a
// tool-tip window without taking a pointer grab (a grab would send every click to the topmost
// popup, and the function menu and its submenu take clicks side by side). On X11 it is a
// top-most tool window placed on the screen.
Qt::WindowFlags PopupFlags()
{
    if (WindowSystem::IsWayland())
        return Qt::ToolTip | Qt::FramelessWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}
} // namespace

CWndPopup::CWndPopup() : CSkinWindow(nullptr, PopupFlags()) {}

CWndPopup::~CWndPopup() = default;

UINT CWndPopup::LostActivationMessage(int nKind)
{
    switch (nKind)
    {
    case 0: return UM_FUNCTION_GONE;
    case 1: return UM_MULTIMEDIA_GONE;
    case 2: return UM_WINDOW_MANAGE_GONE;
    case 3: return UM_MOUSE_FUNCTION_GONE;
    case 4: return UM_MACRO_LIBRARY_GONE;
    case 7: return UM_LIGHT_COLOR_GONE;
    case 8: return UM_LIGHT_BRIGHTNESS_GONE;
    default: return 0;
    }
}

bool CWndPopup::CreatePopup(CSkinWindow* pParent, const CRect& rcScreen, UINT nMessage, WPARAM wContext)
{
    m_pParentWnd = pParent;
    m_nX = rcScreen.left;
    m_nY = rcScreen.top;
    m_nWidth = rcScreen.Width();
    m_nNotifyMessage = nMessage;
    m_wPopupContext = wContext;
    if (pParent)
        setParent(pParent, PopupFlags()); // owned by the parent window, kept above it
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setGeometry(m_nX, m_nY, std::max(1, rcScreen.Width()), std::max(1, rcScreen.Height()));
    WindowProc(WM_CREATE, 0, 0);
    return true;
}

void CWndPopup::BringToFront()
{
    if (!WindowSystem::IsWayland())
    {
        CSkinWindow::BringToFront();
        return;
    }
    raise();
    CPopupActivation::Instance().Activate(this);
}

LRESULT CWndPopup::SendToParent(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (!m_pParentWnd)
        return 0;
    return SendMessage(m_pParentWnd, nMsg, wParam, lParam);
}

void CWndPopup::SetWindowSize(int nWidth, int nHeight)
{
    m_nWidth = nWidth;
    resize(std::max(1, nWidth), std::max(1, nHeight));
}

void CWndPopup::DrawItems(QPainter*, int, int, int, int) {}
void CWndPopup::BuildItems() {}
bool CWndPopup::OnItemHover(int, int)
{
    return false;
}
bool CWndPopup::OnItemPress(int, int)
{
    return false;
}
bool CWndPopup::OnItemRelease(int, int)
{
    return false;
}

void CWndPopup::RenderLayered()
{
    const CRect rc = GetClientRect();
    // Rendered at the screen's device pixel ratio, so the items' text stays sharp above 100 %.
    QImage img = ClientRenderTarget(rc, devicePixelRatioF());
    {
        QPainter dc(&img);
        dc.setFont(SkinFont(12, 0, 0));
        FillSolid(&dc, rc, SkinColour::kPopupBorder);
        FillSolid(&dc, rc.Deflated(1), SkinColour::kPopupFill);
        DrawItems(&dc, rc.left, rc.top, rc.right, rc.bottom);
    }
    m_imgLayered = img;
    update();
}

void CWndPopup::paintEvent(QPaintEvent*)
{
    QPainter dc(this);
    if (!m_imgLayered.isNull())
        dc.drawImage(0, 0, m_imgLayered);
    else
        dc.fillRect(rect(), QColor(ColorRefToQRgb(SkinColour::kPopupFill)));
}

LRESULT CWndPopup::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // A closed popup is on its way out: hiding it must not report a loss of activation.
    if (m_bClosed)
        return 0;
    switch (nMsg)
    {
    case WM_CREATE:
        BuildItems();
        RenderLayered();
        move(m_nX, m_nY);
        show();
        BringToFront();
        return 0;
    case WM_MOUSEMOVE:
        if (!m_bTracking)
            m_bTracking = TrackMouseEvent(50);
        if (!m_bButtonDown && OnItemHover(LParamX(lParam), LParamY(lParam)))
            RenderLayered();
        return 0;
    case WM_MOUSEHOVER:
    {
        // Keep the picture in step with the item a release would choose.
        const QPoint pt = GetCursorClientPos();
        if (OnItemHover(pt.x(), pt.y()))
            RenderLayered();
        return 0;
    }
    case WM_MOUSELEAVE:
        m_bTracking = false;
        if (!m_bButtonDown)
        {
            const QPoint pt = GetCursorClientPos();
            OnItemHover(pt.x(), pt.y());
        }
        return 0;
    case WM_LBUTTONDOWN:
        m_bButtonDown = true;
        SetCapture();
        m_bCapture = true;
        if (OnItemPress(LParamX(lParam), LParamY(lParam)))
            RenderLayered();
        return 0;
    case WM_LBUTTONUP:
        if (m_bCapture)
        {
            ReleaseCapture();
            m_bCapture = false;
        }
        m_bButtonDown = false;
        if (OnItemRelease(LParamX(lParam), LParamY(lParam)))
            RenderLayered();
        return 0;
    case WM_NCACTIVATE:
        if (wParam == 0)
        {
            const UINT nGone = LostActivationMessage(m_nPopupKind);
            if (nGone != 0)
                SendToParent(nGone, m_wPopupContext, m_nPopupKind);
        }
        return 1;
    case WM_CLOSE:
        m_bClosed = true;
        SendToParent(UM_POPUP_CLOSING, 0, 0);
        return DefWindowProc(nMsg, wParam, lParam);
    default: return CSkinWindow::WindowProc(nMsg, wParam, lParam);
    }
}
