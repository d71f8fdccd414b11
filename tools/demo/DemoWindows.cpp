#include "DemoWindows.h"

#include "skin/DlgBase.h"
#include "skin/WndPopup.h"

#include <QApplication>
#include <QPointer>
#include <QMouseEvent>
#include <QWindow>

namespace
{
// The shown popup of the main window under a main-window point (the last opened on top), else
// the main window itself.
QWidget* WindowAt(CDlgBase& window, const QPoint& pt)
{
    for (int nSlot = CDlgBase::kPopupSlots - 1; nSlot > 0; --nSlot)
    {
        CWndPopup* pPopup = window.GetPopup(nSlot);
        if (pPopup && pPopup->isVisible() && !pPopup->IsClosed() && pPopup->geometry().contains(window.mapToGlobal(pt)))
            return pPopup;
    }
    return &window;
}

QPoint InWindow(const CDlgBase& window, const QWidget& target, const QPoint& pt)
{
    return target.mapFromGlobal(window.mapToGlobal(pt));
}

// To the widget's window, as the platform delivers pointer events: Qt's own window code then
// finds the widget, keeps the enter and press state and opens no shortcut around it.
void SendMouse(QWidget& target, QEvent::Type eType, const QPoint& ptLocal, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWindow* pHandle = target.windowHandle();
    if (!pHandle)
        return;
    QMouseEvent event(eType, QPointF(ptLocal), QPointF(target.mapToGlobal(ptLocal)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(pHandle, &event);
}
} // namespace

void CDemoWindows::Point(int x, int y)
{
    QWidget* pTarget = WindowAt(m_window, QPoint(x, y));
    SendMouse(*pTarget, QEvent::MouseMove, InWindow(m_window, *pTarget, QPoint(x, y)), Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
}

void CDemoWindows::Click(int x, int y)
{
    Point(x, y);
    QWidget* pTarget = WindowAt(m_window, QPoint(x, y));
    const QPoint ptLocal = InWindow(m_window, *pTarget, QPoint(x, y));
    QPointer<QWidget> pGuard(pTarget);
    SendMouse(*pTarget, QEvent::MouseButtonPress, ptLocal, Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    // The press may have closed the window it landed in.
    if (pGuard)
        SendMouse(*pGuard, QEvent::MouseButtonRelease, ptLocal, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

void CDemoWindows::List(std::ostream& out) const
{
    const QPoint ptOrigin = m_window.mapToGlobal(QPoint(0, 0));
    for (QWidget* pWidget : QApplication::topLevelWidgets())
    {
        if (!pWidget->isVisible())
            continue;
        std::string strKind = "display";
        if (pWidget == &m_window)
            strKind = "main";
        else if (dynamic_cast<CDlgBase*>(pWidget))
            strKind = "dialog";
        else if (auto* pPopup = dynamic_cast<CWndPopup*>(pWidget))
        {
            strKind = "popup";
            for (int nSlot = 1; nSlot < CDlgBase::kPopupSlots; ++nSlot)
                if (m_window.GetPopup(nSlot) == pPopup)
                    strKind += " " + std::to_string(nSlot);
        }
        const QRect rc = pWidget->geometry().translated(-ptOrigin);
        out << "  " << strKind << " " << rc.x() << " " << rc.y() << " " << rc.width() << " " << rc.height()
            << (pWidget->isMinimized() ? " minimised" : "")
            << (pWidget->testAttribute(Qt::WA_TranslucentBackground) ? " translucent" : "") << "\n";
    }
}

bool CDemoWindows::Render(const std::string& strFile, int nSlot) const
{
    QImage img;
    if (nSlot == 0)
        img = m_window.RenderClient();
    else if (const CWndPopup* pPopup = m_window.GetPopup(nSlot))
        img = pPopup->GetRenderedImage();
    return !img.isNull() && img.save(QString::fromStdString(strFile), "PNG");
}
