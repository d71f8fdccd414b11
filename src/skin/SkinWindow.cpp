#include "skin/SkinWindow.h"

#include "skin/WindowSystem.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWheelEvent>
#include <QWindow>

QEvent::Type CMessageEvent::EventType()
{
    static const QEvent::Type s_type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return s_type;
}

CSkinWindow::CSkinWindow(QWidget* pParent, Qt::WindowFlags flags) : QWidget(pParent, flags)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A Wayland compositor shows the whole buffer of a surface (a mask only limits its input), so
    // there a skinned window's shape is painted: its buffer has alpha, and what lies outside the
    // shape stays transparent. X11 clips the window to its mask instead and keeps opaque buffers.
    if (WindowSystem::IsWayland())
        setAttribute(Qt::WA_TranslucentBackground);
    m_tmHover.setSingleShot(true);
    QObject::connect(&m_tmHover, &QTimer::timeout, this, [this] { OnHoverTimer(); });
}

CSkinWindow::~CSkinWindow() = default;

LRESULT CSkinWindow::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(nMsg, wParam, lParam);
}

LRESULT CSkinWindow::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (nMsg)
    {
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION)
        {
            // Let the window system move the window when it can; otherwise follow the
            // mouse ourselves until the button is released.
            if (windowHandle() && windowHandle()->startSystemMove())
                return 0;
            if (m_bLeftDown)
            {
                m_bWindowDrag = true;
                m_ptDragOffset = m_ptLastPressGlobal - pos();
            }
        }
        return 0;
    case WM_CLOSE:
        hide();
        deleteLater();
        return 0;
    default: return 0;
    }
}

LRESULT CSkinWindow::SendMessage(CSkinWindow* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (!pTarget)
        return 0;
    return pTarget->WindowProc(nMsg, wParam, lParam);
}

bool CSkinWindow::PostMessage(CSkinWindow* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (!pTarget)
        return false;
    QCoreApplication::postEvent(pTarget, new CMessageEvent(nMsg, wParam, lParam));
    return true;
}

void CSkinWindow::InvalidateRect(const CRect* pRect, bool)
{
    if (pRect)
        update(pRect->ToQRect());
    else
        update();
}

bool CSkinWindow::SetTimer(UINT nIdEvent, int nElapseMs)
{
    KillTimer(nIdEvent);
    const int nQtId = startTimer(nElapseMs);
    if (nQtId == 0)
        return false;
    m_mapTimers[nIdEvent] = nQtId;
    return true;
}

bool CSkinWindow::KillTimer(UINT nIdEvent)
{
    auto it = m_mapTimers.find(nIdEvent);
    if (it == m_mapTimers.end())
        return false;
    killTimer(it->second);
    m_mapTimers.erase(it);
    return true;
}

bool CSkinWindow::TrackMouseEvent(int nHoverMs)
{
    m_bLeaveArmed = true;
    m_bHoverArmed = true;
    m_tmHover.setInterval(std::max(1, nHoverMs));
    m_tmHover.start();
    return true;
}

void CSkinWindow::BringToFront()
{
    // Without a window system (rendering and tests) there is no stack to raise in.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    raise();
    activateWindow();
}

QPoint CSkinWindow::GetCursorClientPos() const
{
    return mapFromGlobal(QCursor::pos());
}

void CSkinWindow::OnHoverTimer()
{
    if (!m_bHoverArmed)
        return;
    m_bHoverArmed = false;
    const QPoint pt = GetCursorClientPos();
    WindowProc(WM_MOUSEHOVER, 0, MakeLParam(pt.x(), pt.y()));
}

bool CSkinWindow::event(QEvent* pEvent)
{
    if (pEvent->type() == CMessageEvent::EventType())
    {
        auto* pMsg = static_cast<CMessageEvent*>(pEvent);
        WindowProc(pMsg->m_nMsg, pMsg->m_wParam, pMsg->m_lParam);
        return true;
    }
    return QWidget::event(pEvent);
}

static WPARAM MouseFlags(const QMouseEvent* pEvent)
{
    return (pEvent->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0;
}

void CSkinWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    m_bLeftDown = (pEvent->buttons() & Qt::LeftButton) != 0;
    if (m_bWindowDrag)
    {
        if (pEvent->buttons() & Qt::LeftButton)
        {
            move(pEvent->globalPosition().toPoint() - m_ptDragOffset);
            return;
        }
        m_bWindowDrag = false;
    }
    if (m_bHoverArmed)
        m_tmHover.start();
    const QPoint pt = pEvent->position().toPoint();
    m_ptLastMove = pt;
    m_bHaveMove = true;
    WindowProc(WM_MOUSEMOVE, MouseFlags(pEvent), MakeLParam(pt.x(), pt.y()));
}

void CSkinWindow::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_ptLastPressGlobal = pEvent->globalPosition().toPoint();
    m_bLeftDown = true;
    const QPoint pt = pEvent->position().toPoint();
    if (!m_bHaveMove || pt != m_ptLastMove)
    {
        // The pointer reached this point without a move event (a window shown under it):
        // the window sees the move first, as it would have with a moving mouse.
        m_ptLastMove = pt;
        m_bHaveMove = true;
        WindowProc(WM_MOUSEMOVE, 0, MakeLParam(pt.x(), pt.y()));
    }
    WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
}

void CSkinWindow::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_bLeftDown = false;
    if (m_bWindowDrag)
    {
        // The end of a window drag is not a click in the window.
        m_bWindowDrag = false;
        return;
    }
    const QPoint pt = pEvent->position().toPoint();
    WindowProc(WM_LBUTTONUP, 0, MakeLParam(pt.x(), pt.y()));
}

void CSkinWindow::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    m_ptLastPressGlobal = pEvent->globalPosition().toPoint();
    m_bLeftDown = true;
    const QPoint pt = pEvent->position().toPoint();
    WindowProc(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
}

void CSkinWindow::wheelEvent(QWheelEvent* pEvent)
{
    const int nDelta = pEvent->angleDelta().y();
    if (nDelta == 0)
    {
        QWidget::wheelEvent(pEvent);
        return;
    }
    const QPoint pt = pEvent->position().toPoint();
    const WPARAM wParam = static_cast<WPARAM>(static_cast<std::uint16_t>(nDelta)) << 16;
    WindowProc(WM_MOUSEWHEEL, wParam, MakeLParam(pt.x(), pt.y()));
}

void CSkinWindow::leaveEvent(QEvent* pEvent)
{
    QWidget::leaveEvent(pEvent);
    m_bHaveMove = false;
    m_tmHover.stop();
    m_bHoverArmed = false;
    if (!m_bLeaveArmed)
        return;
    m_bLeaveArmed = false;
    WindowProc(WM_MOUSELEAVE, 0, 0);
}

void CSkinWindow::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::ActivationChange)
        WindowProc(WM_NCACTIVATE, isActiveWindow() ? 1 : 0, 0);
}

void CSkinWindow::closeEvent(QCloseEvent* pEvent)
{
    // Closing through the window system goes through the window's own WM_CLOSE handling.
    pEvent->ignore();
    WindowProc(WM_CLOSE, 0, 0);
}

void CSkinWindow::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter: WindowProc(WM_KEYDOWN, VK_RETURN, 0); return;
    case Qt::Key_Escape: WindowProc(WM_KEYDOWN, VK_ESCAPE, 0); return;
    default: QWidget::keyPressEvent(pEvent);
    }
}

void CSkinWindow::timerEvent(QTimerEvent* pEvent)
{
    for (const auto& [nId, nQtId] : m_mapTimers)
    {
        if (nQtId == pEvent->timerId())
        {
            WindowProc(WM_TIMER, nId, 0);
            return;
        }
    }
    QWidget::timerEvent(pEvent);
}
