#include "SkinTestSupport.h"

#include "skin/Popups.h"

#include <QMouseEvent>
#include <QPointer>
#include <thread>
#include <gtest/gtest.h>

namespace
{

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dlg.Create();
        m_pA = new CProbeControl(&m_dlg, 2100, CRect(10, 10, 60, 40), "", true, false);
        m_pB = new CProbeControl(&m_dlg, 2101, CRect(100, 10, 150, 40), "", true, false);
        m_dlg.AddControl(0, m_pA);
        m_dlg.AddControl(1, m_pB);
    }
    CTestDlg m_dlg;
    CProbeControl* m_pA = nullptr;
    CProbeControl* m_pB = nullptr;
};

} // namespace

TEST_F(DialogTest, ClickOnAControlNotifiesAndNeverDragsTheWindow)
{
    m_dlg.Move(20, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), m_pA);
    EXPECT_EQ(m_pA->GetMouseState(), MS_HOVER);
    m_dlg.Down(20, 20);
    EXPECT_TRUE(m_dlg.IsButtonDown());
    EXPECT_TRUE(m_dlg.IsMouseCaptured());
    EXPECT_EQ(m_dlg.GetPressedControl(), m_pA);
    EXPECT_EQ(m_dlg.GetPressedRect(), m_pA->GetRect());
    m_dlg.Up(20, 20);
    EXPECT_FALSE(m_dlg.IsButtonDown());
    EXPECT_FALSE(m_dlg.IsMouseCaptured());
    EXPECT_EQ(m_dlg.GetHotControl(), m_pA);
    EXPECT_EQ(m_dlg.GetPressedRect(), CRect(-1, -1, -1, -1));
    ProcessPostedEvents();
    const std::vector<RecordedMessage> expected = {{2100, 0, NOTIFY_PRESS}, {2100, 0, NOTIFY_CLICK}};
    EXPECT_EQ(m_dlg.m_vecMessages, expected);
}

TEST_F(DialogTest, PressOnTheBackgroundStartsAWindowDrag)
{
    m_dlg.Move(80, 100);
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    m_dlg.Down(80, 100);
    EXPECT_FALSE(m_dlg.IsButtonDown());
    ProcessPostedEvents();
    ASSERT_EQ(m_dlg.Count(WM_NCLBUTTONDOWN), 1);
    EXPECT_EQ(m_dlg.m_vecMessages.back(), (RecordedMessage{WM_NCLBUTTONDOWN, HTCAPTION, MakeLParam(80, 100)}));
}

TEST_F(DialogTest, HotControlHoldsWhileTheButtonIsDown)
{
    m_dlg.Move(20, 20);
    m_dlg.Down(20, 20);
    m_dlg.Move(120, 20, true); // over B with the button held
    EXPECT_EQ(m_dlg.GetHotControl(), m_pA);
    EXPECT_EQ(m_pB->GetMouseState(), MS_NORMAL);
    EXPECT_EQ(m_pA->GetMouseState(), MS_PRESSED);
    m_dlg.Up(120, 20); // released over B: A gets no click, nobody is hot
    EXPECT_EQ(m_pA->GetMouseState(), MS_NORMAL);
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    EXPECT_EQ(m_dlg.Count(2100), 1); // the press only
    EXPECT_EQ(m_dlg.Count(2101), 0);
    m_dlg.Move(121, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), m_pB);
}

TEST_F(DialogTest, LaterOverlappingControlWins)
{
    auto* pOver = new CProbeControl(&m_dlg, 2102, CRect(40, 20, 120, 60), "", true, false);
    m_dlg.AddControl(4, pOver);
    m_dlg.Move(50, 30);
    EXPECT_EQ(m_dlg.GetHotControl(), pOver);
    EXPECT_EQ(m_pA->GetMouseState(), MS_HOVER); // every control hears the move
    m_dlg.Down(50, 30);
    m_dlg.Up(50, 30);
    EXPECT_EQ(m_dlg.Count(2102), 2);
    EXPECT_EQ(m_dlg.Count(2100), 0);
}

TEST_F(DialogTest, HiddenOrInputlessControlsAreNeverHotAndHiddenOnesAreNotPainted)
{
    m_pA->SetVisible(false);
    m_pB->SetAcceptsInput(false);
    m_dlg.Move(20, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    m_dlg.Move(120, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    m_dlg.RenderClient();
    EXPECT_EQ(m_pA->m_nDraws, 0);
    EXPECT_EQ(m_pB->m_nDraws, 1);
    EXPECT_EQ(m_dlg.FindControl(2100), m_pA); // still in its list
    m_dlg.ShowControlList(0, true);
    m_dlg.RenderClient();
    EXPECT_EQ(m_pA->m_nDraws, 1);
}

TEST_F(DialogTest, MouseLeaveReturnsTheHotControlToNormal)
{
    m_dlg.Move(20, 20);
    m_dlg.Leave();
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    EXPECT_EQ(m_pA->GetMouseState(), MS_NORMAL);
    EXPECT_EQ(m_dlg.GetLastPoint(), QPoint(-1, -1));
    // While the button is held a leave changes nothing.
    m_dlg.Move(20, 20);
    m_dlg.Down(20, 20);
    m_dlg.Leave();
    EXPECT_EQ(m_dlg.GetHotControl(), m_pA);
    EXPECT_EQ(m_pA->GetMouseState(), MS_PRESSED);
}

TEST_F(DialogTest, PressingAnotherControlResetsThePreviousOne)
{
    m_dlg.Move(20, 20);
    m_dlg.Down(20, 20);
    m_dlg.Up(20, 20);
    m_dlg.Move(120, 20);
    m_dlg.Down(120, 20);
    EXPECT_EQ(m_pA->m_nResets, 1);
    EXPECT_EQ(m_dlg.GetPressedControl(), m_pB);
}

TEST_F(DialogTest, DisabledControlBecomesHotButStaysSilent)
{
    m_pA->SetDisabled(true);
    m_dlg.Move(20, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), m_pA);
    m_dlg.Down(20, 20);
    m_dlg.Up(20, 20);
    EXPECT_EQ(m_dlg.Count(2100), 0);
    ProcessPostedEvents();
    EXPECT_EQ(m_dlg.Count(WM_NCLBUTTONDOWN), 0); // a press on a control never drags
}

TEST_F(DialogTest, NotificationThatRebuildsTheWindowIsSafe)
{
    struct CRebuildingDlg : CTestDlg
    {
        LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
        {
            if (nMsg == 2100 && lParam == NOTIFY_CLICK)
            {
                RemoveAllControls();
                AddControl(0, new CProbeControl(this, 2100, CRect(10, 10, 60, 40), "", true, false));
                return 0;
            }
            return CTestDlg::WindowProc(nMsg, wParam, lParam);
        }
    } dlg;
    dlg.Create();
    dlg.AddControl(0, new CProbeControl(&dlg, 2100, CRect(10, 10, 60, 40), "", true, false));
    dlg.Move(20, 20);
    dlg.Down(20, 20);
    dlg.Up(20, 20);
    EXPECT_EQ(dlg.GetHotControl(), nullptr);
    dlg.Move(21, 20);
    EXPECT_EQ(dlg.GetHotControl(), dlg.FindControl(2100));
}

TEST_F(DialogTest, ControlHiddenWhileHotTakesNoMoreInput)
{
    // A click that swaps two controls at one place (one hidden, the other shown): the
    // next press without a move belongs to the control now shown.
    auto* pSwap = new CProbeControl(&m_dlg, 2102, CRect(10, 10, 60, 40), "", false, false);
    m_dlg.AddControl(2, pSwap);
    m_dlg.Move(20, 20);
    ASSERT_EQ(m_dlg.GetHotControl(), m_pA);
    m_pA->SetVisible(false);
    pSwap->SetVisible(true);
    m_dlg.Down(20, 20);
    m_dlg.Up(20, 20);
    EXPECT_EQ(m_dlg.Count(2100), 0);
    EXPECT_EQ(m_dlg.Count(2102), 2);
    EXPECT_EQ(m_dlg.GetHotControl(), pSwap);
    EXPECT_EQ(m_pA->GetMouseState(), MS_NORMAL);

    // Hidden with nothing beneath: a move over its place leaves no hot control.
    pSwap->SetVisible(false);
    m_dlg.Move(21, 20);
    EXPECT_EQ(m_dlg.GetHotControl(), nullptr);
    EXPECT_EQ(pSwap->GetMouseState(), MS_NORMAL);
}

TEST_F(DialogTest, BackgroundPictureSetsFillFadeAndPaint)
{
    QImage bmp(300, 200, QImage::Format_RGB32);
    bmp.fill(qRgb(40, 80, 120));
    m_dlg.PrepareBackgroundFromImage(bmp);
    EXPECT_EQ(m_dlg.GetFadeWidth(), 0);
    EXPECT_EQ(m_dlg.GetBackgroundColour(), RGBRef(40, 80, 120));
    EXPECT_EQ(m_dlg.RenderClient().pixel(299, 199), qRgb(40, 80, 120));

    QImage small(90, 60, QImage::Format_RGB32);
    small.fill(qRgb(0, 0, 0));
    m_dlg.PrepareBackgroundFromImage(small);
    EXPECT_EQ(m_dlg.GetFadeWidth(), 60);
    EXPECT_EQ(m_dlg.GetBackgroundWidth(), 90);
    // A missing picture keeps the size and the colour but recomputes the fade.
    const COLORREF crBefore = m_dlg.GetBackgroundColour();
    m_dlg.PrepareBackgroundFromImage(QImage());
    EXPECT_EQ(m_dlg.GetFadeWidth(), 60);
    EXPECT_EQ(m_dlg.GetBackgroundColour(), crBefore);
}

TEST_F(DialogTest, ShapeBitmapBecomesTheWindowMask)
{
    QImage bmp(300, 200, QImage::Format_RGB32);
    bmp.fill(qRgb(255, 255, 0));
    for (int y = 50; y < 100; ++y)
        for (int x = 20; x < 60; ++x)
            bmp.setPixel(x, y, qRgb(0, 0, 0));
    m_dlg.CreateRegionFromImage(bmp);
    EXPECT_EQ(m_dlg.mask().boundingRect(), QRect(20, 50, 40, 50));
    EXPECT_EQ(m_dlg.GetWindowRegion(), m_dlg.mask());
}

TEST_F(DialogTest, OpeningASlotClosesItsPreviousPopup)
{
    auto* pFirst = new CLightColorPopup;
    QPointer<CWndPopup> pWatch(pFirst);
    m_dlg.OpenPopup(7, CRect(10, 50, 176, 60), pFirst, 2090);
    EXPECT_EQ(m_dlg.GetPopup(7), pFirst);
    EXPECT_EQ(pFirst->GetNotifyMessage(), 1062u);
    EXPECT_EQ(pFirst->GetPopupContext(), 2090u);
    auto* pSecond = new CLightColorPopup;
    m_dlg.OpenPopup(7, CRect(10, 50, 176, 60), pSecond, 2090);
    EXPECT_EQ(m_dlg.GetPopup(7), pSecond);
    ProcessPostedEvents();
    EXPECT_TRUE(pWatch.isNull()); // closed and deleted itself
    EXPECT_EQ(m_dlg.Count(UM_POPUP_CLOSING), 1);
    m_dlg.ClosePopup(7);
    EXPECT_EQ(m_dlg.GetPopup(7), nullptr);
    ProcessPostedEvents();
    EXPECT_EQ(m_dlg.Count(UM_POPUP_CLOSING), 2);
    m_dlg.ClosePopup(7); // an empty slot: nothing happens
    ProcessPostedEvents();
    EXPECT_EQ(m_dlg.Count(UM_POPUP_CLOSING), 2);
}

TEST_F(DialogTest, PopupThatLosesActivationReportsEachTimeAndStaysOpen)
{
    auto* pPopup = new CComboPopup;
    m_dlg.OpenPopup(1, CRect(10, 50, 239, 60), pPopup, 2079);
    QPointer<CWndPopup> pWatch(pPopup);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(pPopup->WindowProc(WM_NCACTIVATE, 0, 0), 1);
        pPopup->WindowProc(WM_NCACTIVATE, 1, 0);
    }
    ProcessPostedEvents();
    EXPECT_EQ(m_dlg.Count(UM_FUNCTION_GONE), 2);
    EXPECT_FALSE(pWatch.isNull());
    EXPECT_EQ(m_dlg.GetPopup(1), pPopup);
    m_dlg.ClosePopup(1);
    ProcessPostedEvents();
    EXPECT_TRUE(pWatch.isNull());
}

TEST_F(DialogTest, PopupSlotsKeepTheirMessageNumbers)
{
    const std::pair<int, UINT> kSlots[] = {{1, 1027}, {2, 1031}, {3, 1041}, {4, 1044}, {5, 1051}, {7, 1062}, {8, 1065}};
    for (auto [nSlot, nMsg] : kSlots)
        EXPECT_EQ(CDlgBase::PopupSlotMessage(nSlot), nMsg);
    EXPECT_EQ(CDlgBase::PopupSlotMessage(6), 0u);
    // A popup handed to a slot that does not exist is not leaked or shown.
    auto* pPopup = new CComboPopup;
    QPointer<CWndPopup> pWatch(pPopup);
    m_dlg.OpenPopup(6, CRect(0, 0, 10, 10), pPopup, 0);
    EXPECT_TRUE(pWatch.isNull());
}

TEST(MessageLayer, PostedMessagesArriveInOrderFromAnyThread)
{
    CRecordingWindow wnd;
    std::thread worker(
        [&]
        {
            for (int i = 0; i < 3; ++i)
                CSkinWindow::PostMessage(&wnd, 1067, static_cast<WPARAM>(i), 0);
        });
    worker.join();
    EXPECT_TRUE(wnd.m_vecMessages.empty()); // queued, not called
    ProcessPostedEvents();
    ASSERT_EQ(wnd.m_vecMessages.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(wnd.m_vecMessages[static_cast<size_t>(i)].wParam, static_cast<WPARAM>(i));
    EXPECT_EQ(CSkinWindow::SendMessage(nullptr, 1067, 0, 0), 0);
}

TEST(MessageLayer, MessageParametersKeepSignedCoordinates)
{
    const LPARAM l = MakeLParam(-1, -1);
    EXPECT_EQ(LParamX(l), -1);
    EXPECT_EQ(LParamY(l), -1);
    EXPECT_EQ(LParamX(MakeLParam(799, 633)), 799);
    EXPECT_EQ(LParamY(MakeLParam(799, 633)), 633);
}

namespace
{

void SendMouse(QWidget* pWidget, QEvent::Type type, QPoint pt, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF ptLocal(pt);
    const QPointF ptGlobal(pWidget->mapToGlobal(pt));
    QMouseEvent event(type, ptLocal, ptGlobal, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(pWidget, &event);
}

} // namespace

TEST_F(DialogTest, QtMouseEventsReachTheControls)
{
    // A press with no move before it (a window shown under the pointer) still hits the control.
    SendMouse(&m_dlg, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
    SendMouse(&m_dlg, QEvent::MouseButtonRelease, QPoint(20, 20), Qt::LeftButton, Qt::NoButton);
    const std::vector<RecordedMessage> expected = {{2100, 0, NOTIFY_PRESS}, {2100, 0, NOTIFY_CLICK}};
    EXPECT_EQ(m_dlg.m_vecMessages, expected);
    // Right button presses are not clicks.
    SendMouse(&m_dlg, QEvent::MouseButtonPress, QPoint(20, 20), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(m_dlg.m_vecMessages.size(), 2u);
}

TEST_F(DialogTest, DraggingTheBackgroundMovesTheWindow)
{
    m_dlg.move(100, 100);
    const QPoint ptBefore = m_dlg.pos();
    SendMouse(&m_dlg, QEvent::MouseMove, QPoint(80, 150), Qt::NoButton, Qt::NoButton);
    SendMouse(&m_dlg, QEvent::MouseButtonPress, QPoint(80, 150), Qt::LeftButton, Qt::LeftButton);
    // The drag starts from the posted request, while the button is still held.
    ProcessPostedEvents();
    ASSERT_TRUE(m_dlg.IsWindowDragActive());
    SendMouse(&m_dlg, QEvent::MouseMove, QPoint(90, 170), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_dlg.pos(), ptBefore + QPoint(10, 20));
    SendMouse(&m_dlg, QEvent::MouseButtonRelease, QPoint(90, 170), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m_dlg.IsWindowDragActive());
    EXPECT_EQ(m_dlg.Count(2100), 0);
}

TEST_F(DialogTest, RepaintsOnlyWhatChanged)
{
    int nSelected = 0;
    auto* pTab = new CTabControl(&m_dlg, 2050, CRect(10, 100, 60, 120), "", true, false, {&nSelected, 1});
    m_dlg.AddControl(0, pTab);
    m_dlg.Move(20, 20);
    EXPECT_EQ(m_dlg.m_vecInvalidated, (std::vector<CRect>{m_pA->GetRect()}));
    m_dlg.m_vecInvalidated.clear();
    m_dlg.Move(120, 20); // old and new hot control
    EXPECT_EQ(m_dlg.m_vecInvalidated, (std::vector<CRect>{m_pA->GetRect(), m_pB->GetRect()}));
    m_dlg.m_vecInvalidated.clear();
    m_dlg.Down(120, 20);
    m_dlg.Up(120, 20);
    EXPECT_EQ(m_dlg.m_vecInvalidated, (std::vector<CRect>{m_pB->GetRect(), m_pB->GetRect()}));
    m_dlg.m_vecInvalidated.clear();
    // A page-switching control repaints the whole window on release.
    m_dlg.Move(20, 110);
    m_dlg.Down(20, 110);
    m_dlg.m_vecInvalidated.clear();
    m_dlg.Up(20, 110);
    EXPECT_EQ(m_dlg.m_vecInvalidated, (std::vector<CRect>{CRect(-1, -1, -1, -1)}));
    EXPECT_EQ(nSelected, 1);
}

TEST_F(DialogTest, ReleaseSeenByAnotherWindowDoesNotFreezeTheHotControl)
{
    // The press opens a modal window that takes the release; the next plain move shows
    // the button is up again.
    m_dlg.Move(20, 20);
    m_dlg.Down(20, 20);
    m_dlg.Move(120, 20, false);
    EXPECT_FALSE(m_dlg.IsButtonDown());
    EXPECT_FALSE(m_dlg.IsMouseCaptured());
    EXPECT_EQ(m_dlg.GetHotControl(), m_pB);
    EXPECT_EQ(m_pA->GetMouseState(), MS_NORMAL);
    EXPECT_EQ(m_dlg.Count(2100), 1); // the press only, no click
}
