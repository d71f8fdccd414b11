#include "skin/DlgBase.h"

#include "skin/EmbeddedImage.h"
#include "skin/SkinDraw.h"
#include "skin/WindowSystem.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolTip>

#include <utility>

CDlgBase::CDlgBase(UINT nTemplateId, CSkinWindow* pParent)
    : CSkinWindow(pParent, Qt::Window | Qt::FramelessWindowHint), m_nTemplateId(nTemplateId)
{
}

CDlgBase::~CDlgBase()
{
    for (auto& pPopup : m_arrPopups)
        delete pPopup.data(); // popups still open go with their window
    RemoveAllControls();
}

bool CDlgBase::Create()
{
    if (m_bInitialised)
        return true;
    m_bInitialised = true;
    return OnInitDialog();
}

int CDlgBase::DoModal()
{
    m_bEnded = false;
    m_nModalResult = IDCANCEL;
    Create();
    if (!m_bEnded)
    {
        setWindowModality(Qt::ApplicationModal);
        if (!std::exchange(m_bStayHidden, false))
        {
            show();
            BringToFront();
        }
        m_loopModal.exec();
    }
    hide();
    // The modal run is over: the window's teardown hook runs now, as it would when the
    // window is destroyed at the end of a modal loop.
    WindowProc(WM_DESTROY, 0, 0);
    return m_nModalResult;
}

void CDlgBase::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_loopModal.isRunning())
        m_loopModal.exit(nResult);
}

bool CDlgBase::OnInitDialog()
{
    const QImage imgIcon = LoadIconResource(m_nIconId);
    if (!imgIcon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(imgIcon)));
    setWindowTitle(QStringLiteral("Quelmar Keyboard"));
    resize(m_nWindowWidth, m_nWindowHeight);
    const CRect rc = GetClientRect();
    CreateControls(rc.left, rc.top, rc.right, rc.bottom);
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
    {
        const QRect rcScreen = pScreen->availableGeometry();
        move(rcScreen.center() - QPoint(m_nWindowWidth / 2, m_nWindowHeight / 2));
    }
    return true;
}

void CDlgBase::OnOK()
{
    EndDialog(IDOK);
}
void CDlgBase::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDlgBase::DrawControls(QPainter* pDC, const CRect& rcClip)
{
    for (const auto& vecList : m_vecControls)
        for (CControlBase* pControl : vecList)
        {
            if (!pControl || !pControl->IsVisible())
                continue;
            if (pControl->GetRect().Intersect(rcClip).IsRectEmpty())
                continue;
            pDC->save();
            pControl->Draw(pDC, rcClip);
            pDC->restore();
        }
}

bool CDlgBase::HandleOkCancelButtons(UINT nMsg, LPARAM lParam)
{
    if (nMsg != IDC_DLG_OK && nMsg != IDC_DLG_CLOSE && nMsg != IDC_DLG_CANCEL)
        return false;
    if (lParam == NOTIFY_CLICK)
    {
        if (nMsg == IDC_DLG_OK)
            OnOK();
        else
            OnCancel();
    }
    return true;
}

void CDlgBase::DrawStandardBackground(QPainter* pDC, const CRect& rcClient)
{
    DrawBackgroundPicture(pDC, rcClient);
    DrawControls(pDC, rcClient);
}

void CDlgBase::DrawBackgroundPicture(QPainter* pDC, const CRect& rcClient)
{
    // The fill shows only where the picture does not reach.
    if (m_imgBackground.isNull() || m_imgBackground.width() < rcClient.Width() ||
        m_imgBackground.height() < rcClient.Height() || m_imgBackground.hasAlphaChannel())
        FillSolid(pDC, rcClient, m_crBackground);
    if (!m_imgBackground.isNull())
    {
        const int nWidth = std::min(m_imgBackground.width(), rcClient.Width());
        const int nHeight = std::min(m_imgBackground.height(), rcClient.Height());
        if (const QImage& img2x = HighRatioBackground(pDC); !img2x.isNull())
            DrawImageInBands(pDC, QPoint(0, 0), img2x, QRect(0, 0, 2 * nWidth, 2 * nHeight));
        else
            DrawImageInBands(pDC, QPoint(0, 0), m_imgBackground, QRect(0, 0, nWidth, nHeight));
    }
}

const QImage& CDlgBase::HighRatioBackground(const QPainter* pDC)
{
    static const QImage s_imgNone;
    if (m_nBackgroundBitmapId == 0 || !PaintsAboveOneRatio(pDC))
        return s_imgNone;
    if (!m_bBackground2xTried)
    {
        m_bBackground2xTried = true;
        m_imgBackground2x = PrepareBackgroundImage2x(m_nBackgroundBitmapId, m_crBackground, m_nFade);
        if (m_imgBackground2x.size() != m_imgBackground.size() * 2)
            m_imgBackground2x = QImage();
    }
    return m_imgBackground2x;
}

QImage CDlgBase::RenderClient()
{
    const CRect rc = GetClientRect();
    QImage img = ClientRenderTarget(rc, devicePixelRatioF());
    QPainter dc(&img);
    dc.setFont(SkinFont(12, 0, 0));
    DrawBackground(&dc, rc);
    dc.end();
    return img;
}

void CDlgBase::paintEvent(QPaintEvent*)
{
    if (isMinimized())
        return;
    // The window's backing store is already the off-screen picture that reaches the screen in
    // one step, so the client is drawn straight into it, limited to the area being repainted.
    QPainter dc(this);
    // On Wayland the mask does not clip what is shown (see the constructor of CSkinWindow): the
    // buffer starts transparent and only the shape is painted.
    if (WindowSystem::IsWayland() && !m_rgnWindow.isEmpty())
        dc.setClipRegion(m_rgnWindow);
    dc.setFont(SkinFont(12, 0, 0));
    DrawBackground(&dc, GetClientRect());
}

// The skin's bitmaps come with their average colour and shape worked out at build time
// (skin/EmbeddedImage.h), so opening a window reads no pixels for them.
void CDlgBase::PrepareBackground(unsigned nBitmapId)
{
    const QImage bmp = LoadBitmapResource(nBitmapId);
    BitmapSummary summary;
    if (!bmp.isNull() && FindBitmapSummary(nBitmapId, summary))
        UseBackground(bmp, summary.m_crAverage);
    else
        PrepareBackgroundFromImage(bmp);
    if (!bmp.isNull())
        m_nBackgroundBitmapId = nBitmapId;
}

void CDlgBase::PrepareBackgroundFromImage(const QImage& bmp)
{
    UseBackground(bmp, bmp.isNull() ? m_crBackground : AverageColour(bmp, m_crBackground));
}

void CDlgBase::UseBackground(const QImage& bmp, COLORREF crAverage)
{
    m_nBackgroundBitmapId = 0;
    m_imgBackground2x = QImage();
    m_bBackground2xTried = false;
    if (!bmp.isNull())
    {
        m_nBackWidth = bmp.width();
        m_nBackHeight = bmp.height();
    }
    m_nFade = FadeWidth(width(), height(), m_nBackWidth, m_nBackHeight);
    if (bmp.isNull())
        return;
    m_crBackground = crAverage;
    m_imgBackground = PrepareBackgroundImage(bmp, m_crBackground, m_nFade);
    update();
}

void CDlgBase::CreateRegionFromBitmap(unsigned nBitmapId)
{
    BitmapSummary summary;
    if (FindBitmapSummary(nBitmapId, summary))
        UseRegion(RegionFromRuns(summary.m_vecShapeRuns));
    else
        CreateRegionFromImage(LoadBitmapResource(nBitmapId));
}

void CDlgBase::CreateRegionFromImage(const QImage& bmp)
{
    if (!bmp.isNull())
        UseRegion(RegionFromBitmap(bmp));
}

void CDlgBase::UseRegion(const QRegion& rgn)
{
    m_rgnWindow = rgn;
    if (m_rgnWindow.isEmpty())
        clearMask();
    else
        setMask(m_rgnWindow);
    update();
}

CControlBase* CDlgBase::FindControl(UINT nId) const
{
    for (const auto& vecList : m_vecControls)
        for (CControlBase* pControl : vecList)
            if (pControl && pControl->GetId() == nId)
                return pControl;
    return nullptr;
}

void CDlgBase::AddControl(int nList, CControlBase* pControl)
{
    if (nList < 0 || nList >= kControlLists || !pControl)
        return;
    m_vecControls[nList].push_back(pControl);
}

void CDlgBase::ShowControlList(int nList, bool bVisible)
{
    if (nList < 0 || nList >= kControlLists)
        return;
    for (CControlBase* pControl : m_vecControls[nList])
        if (pControl)
            pControl->SetVisible(bVisible);
}

void CDlgBase::RemoveAllControls()
{
    m_pHotControl = nullptr;
    m_pPressedControl = nullptr;
    for (auto& vecList : m_vecControls)
    {
        for (CControlBase* pControl : vecList)
            delete pControl;
        vecList.clear();
    }
}

UINT CDlgBase::PopupSlotMessage(int nSlot)
{
    switch (nSlot)
    {
    case 1: return 1027;
    case 2: return 1031;
    case 3: return 1041;
    case 4: return 1044;
    case 5: return 1051;
    case 7: return 1062;
    case 8: return 1065;
    default: return 0;
    }
}

void CDlgBase::OpenPopup(int nSlot, const CRect& rcClient, CWndPopup* pPopup, WPARAM wContext)
{
    if (PopupSlotMessage(nSlot) == 0 || !pPopup)
    {
        delete pPopup; // the popup was handed over; a bad slot must not leak it
        return;
    }
    ClosePopup(nSlot);
    const QPoint ptTopLeft = mapToGlobal(QPoint(rcClient.left, rcClient.top));
    CRect rcScreen = rcClient;
    rcScreen.Offset(ptTopLeft.x() - rcClient.left, ptTopLeft.y() - rcClient.top);
    m_arrPopups[nSlot] = pPopup;
    pPopup->CreatePopup(this, rcScreen, PopupSlotMessage(nSlot), wContext);
}

void CDlgBase::ClosePopup(int nSlot)
{
    if (nSlot < 0 || nSlot >= kPopupSlots)
        return;
    if (CWndPopup* pPopup = m_arrPopups[nSlot].data())
    {
        if (m_pPressedControl && m_pPressedControl != m_pHotControl)
        {
            m_pPressedControl->ResetPressed(false);
            m_pPressedControl = nullptr;
        }
        if (!pPopup->IsClosed())
            PostMessage(pPopup, WM_CLOSE, 0, 0);
    }
    m_arrPopups[nSlot] = nullptr;
}

CWndPopup* CDlgBase::GetPopup(int nSlot) const
{
    if (nSlot < 0 || nSlot >= kPopupSlots)
        return nullptr;
    return m_arrPopups[nSlot].data();
}

bool CDlgBase::event(QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ToolTip)
        return CSkinWindow::event(pEvent);
    const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
    for (const auto& vecList : m_vecControls)
        for (const CControlBase* pControl : vecList)
            if (IsHitTestable(pControl) && pControl->GetRect().PtInRect(pHelp->pos().x(), pHelp->pos().y()))
            {
                const std::string strTip = pControl->ToolTipText();
                if (!strTip.empty())
                {
                    QToolTip::showText(pHelp->globalPos(), QString::fromStdString(strTip), this,
                                       pControl->GetRect().ToQRect());
                    return true;
                }
            }
    QToolTip::hideText();
    pEvent->ignore();
    return true;
}

bool CDlgBase::IsHitTestable(const CControlBase* pControl)
{
    return pControl->IsVisible() && pControl->AcceptsInput();
}

LRESULT CDlgBase::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    const UINT nFlags = static_cast<UINT>(wParam);
    switch (nMsg)
    {
    case WM_MOUSEMOVE: OnMouseMove(nFlags, LParamX(lParam), LParamY(lParam)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_MOUSEHOVER: OnMouseHover(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(nFlags, LParamX(lParam), LParamY(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(nFlags, LParamX(lParam), LParamY(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(nFlags, LParamX(lParam), LParamY(lParam)); return 0;
    case WM_CLOSE: OnCancel(); return 0;
    case WM_KEYDOWN:
        // Like any dialog: Enter confirms, Escape cancels.
        if (wParam == VK_RETURN)
            OnOK();
        else if (wParam == VK_ESCAPE)
            OnCancel();
        return 0;
    default: return CSkinWindow::WindowProc(nMsg, wParam, lParam);
    }
}

void CDlgBase::OnMouseMove(UINT nFlags, int x, int y)
{
    if (m_bButtonDown && !(nFlags & MK_LBUTTON))
    {
        // The button went up where this window could not see it (a modal dialog opened
        // from the press took the release): stop holding the hot control.
        m_bButtonDown = false;
        if (m_bMouseCapture)
        {
            ReleaseCapture();
            m_bMouseCapture = false;
        }
        // The control it went down on returns to normal, as after a release away from it.
        if (m_pHotControl)
        {
            const CRect rc = m_pHotControl->GetRect();
            if (m_pHotControl->OnLButtonUp(0, -1, -1))
                InvalidateRect(&rc, true);
        }
        m_rcPressed = CRect(-1, -1, -1, -1);
    }
    if (!m_bTracking)
        m_bTracking = TrackMouseEvent(1);
    if (m_pHotControl && IsHitTestable(m_pHotControl) && m_pHotControl->GetRect().PtInRect(x, y) && m_bTracking)
    {
        m_ptLast = QPoint(x, y);
        const CRect rc = m_pHotControl->GetRect();
        if (m_pHotControl->OnMouseMove(nFlags, x, y))
            InvalidateRect(&rc, true);
        return;
    }
    if (m_bButtonDown)
        return; // the hot control does not change while the button is held
    CControlBase* pOldHot = m_pHotControl;
    if (pOldHot && !IsHitTestable(pOldHot))
        pOldHot->OnMouseMove(nFlags, -1, -1); // hidden while hot: back to normal, as when the mouse leaves
    m_ptLast = QPoint(x, y);
    CControlBase* pNewHot = nullptr;
    if (m_bTracking)
    {
        for (const auto& vecList : m_vecControls)
            for (CControlBase* pControl : vecList)
            {
                if (!pControl || !IsHitTestable(pControl))
                    continue;
                pControl->OnMouseMove(nFlags, x, y);
                if (pControl->GetRect().PtInRect(x, y))
                    pNewHot = pControl;
            }
    }
    if (pOldHot)
    {
        const CRect rc = pOldHot->GetRect();
        InvalidateRect(&rc, true);
    }
    m_pHotControl = pNewHot;
    if (pNewHot)
    {
        const CRect rc = pNewHot->GetRect();
        InvalidateRect(&rc, true);
    }
}

void CDlgBase::OnMouseLeave()
{
    m_bTracking = false;
    if (m_bButtonDown)
        return;
    if (m_pHotControl)
    {
        m_ptLast = QPoint(-1, -1);
        m_pHotControl->OnMouseMove(0, -1, -1);
        const CRect rc = m_pHotControl->GetRect();
        InvalidateRect(&rc, true);
    }
    m_pHotControl = nullptr;
}

void CDlgBase::OnMouseHover()
{
    if (!m_pHotControl)
        return;
    const QPoint pt = GetCursorClientPos();
    const CRect rc = m_pHotControl->GetRect();
    if (rc.PtInRect(pt.x(), pt.y()))
    {
        m_ptLast = pt;
        InvalidateRect(&rc, true);
    }
}

void CDlgBase::OnLButtonDown(UINT nFlags, int x, int y)
{
    // A hot control hidden since the last move must not take the press: look again at
    // what is under the pointer now.
    if (m_pHotControl && !IsHitTestable(m_pHotControl) && !m_bButtonDown)
        OnMouseMove(0, x, y);
    if (m_pPressedControl && m_pPressedControl != m_pHotControl)
    {
        m_pPressedControl->ResetPressed(false);
        m_pPressedControl = nullptr;
    }
    if (m_pHotControl && m_pHotControl->GetRect().PtInRect(x, y))
    {
        const CRect rc = m_pHotControl->GetRect();
        m_rcPressed = rc;
        m_bButtonDown = true;
        m_pPressedControl = m_pHotControl;
        if (m_pHotControl->OnLButtonDown(nFlags, x, y))
            InvalidateRect(&rc, true);
        if (!m_bMouseCapture)
        {
            SetCapture();
            m_bMouseCapture = true;
        }
        return;
    }
    m_rcPressed = CRect(-1, -1, -1, -1);
    PostMessage(this, WM_NCLBUTTONDOWN, HTCAPTION, MakeLParam(x, y));
}

void CDlgBase::OnLButtonUp(UINT nFlags, int x, int y)
{
    if (m_bMouseCapture)
    {
        ReleaseCapture();
        m_bMouseCapture = false;
    }
    m_bButtonDown = false;
    if (m_pHotControl)
    {
        const CRect rc = m_pHotControl->GetRect();
        const bool bWholeWindow = m_pHotControl->RepaintsWindowOnClick();
        if (m_pHotControl->OnLButtonUp(nFlags, x, y))
        {
            // The notification may have rebuilt the window and dropped its controls.
            if (!m_pHotControl)
            {
                m_rcPressed = CRect(-1, -1, -1, -1);
                return;
            }
            if (bWholeWindow)
                InvalidateRect(nullptr, true);
            else
                InvalidateRect(&rc, true);
        }
    }
    if (m_rcPressed.PtInRect(x, y) || (m_pHotControl && m_pHotControl->GetRect().PtInRect(x, y)))
    {
        m_ptLast = QPoint(x, y);
    }
    else
    {
        m_ptLast = QPoint(-1, -1);
        m_pHotControl = nullptr;
    }
    m_rcPressed = CRect(-1, -1, -1, -1);
}

void CDlgBase::OnLButtonDblClk(UINT nFlags, int x, int y)
{
    CControlBase* pHit = nullptr;
    int nHitList = -1;
    for (int nList = 0; nList < kControlLists && !pHit; ++nList)
        for (CControlBase* pControl : m_vecControls[nList])
            if (pControl && pControl->GetRect().PtInRect(x, y))
            {
                pHit = pControl;
                nHitList = nList;
                break;
            }
    if (!pHit)
        return;
    if (nHitList == 1 && m_pHotControl)
        m_pHotControl->OnLButtonDblClk(nFlags, x, y);
    m_rcPressed = pHit->GetRect();
}
