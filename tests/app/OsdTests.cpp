// The on-screen display: what the keyboard's profile and lock keys make the program say, where,
// and for how long.

#include "MainWindowTestSupport.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/OsdHandler.h"
#include "skin/Buttons.h"

using namespace MainWindow;

namespace
{
void Tick(CCorvaneDlg& dlg, int nTicks)
{
    for (int i = 0; i < nTicks; ++i)
        CSkinWindow::SendMessage(&dlg, WM_TIMER, OsdTimerId, 0);
}
} // namespace

TEST_F(MainWindowTest, AProfileSwitchOnTheKeyboardIsAnnouncedInTheScreenCornerEvenWithTheWindowHidden)
{
    Open();
    Dlg().hide();
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    m_kb.PressProfileKey(2);
    ASSERT_TRUE(PumpUntil([&] { return Dlg().Osd().Display() != nullptr; }));
    const COSDDialog& osd = *Dlg().Osd().Display();
    EXPECT_EQ(osd.Text(), "当前设置文件 : 三");
    EXPECT_TRUE(osd.isVisible());
    const QRect rcWork = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(osd.geometry(), QRect(rcWork.right() + 1 - 300, rcWork.bottom() + 1 - 56, 300, 56));
    EXPECT_NEAR(osd.windowOpacity(), 128.0 / 255.0, 0.01);
    const Qt::WindowFlags flags = osd.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(osd.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(osd.parentWidget(), nullptr);

    // The window follows the keyboard: slot three is active and its tab selected.
    EXPECT_EQ(Dlg().ActiveSlot(), 2);
    EXPECT_TRUE(dynamic_cast<CTabControl*>(Dlg().FindControl(2051))->IsSelected());
    EXPECT_FALSE(dynamic_cast<CTabControl*>(Dlg().FindControl(2049))->IsSelected());

    // Purple background, white text starting at (30, 14).
    const QImage img = osd.Render();
    EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, 0xA449A4u);
    int nWhiteLeft = 0;
    int nWhiteRight = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                ++(x < 30 || y < 14 ? nWhiteLeft : nWhiteRight);
    EXPECT_EQ(nWhiteLeft, 0);
    EXPECT_GT(nWhiteRight, 100);
}

TEST_F(MainWindowTest, TheDisplayClosesOnTheSixthTickAfterItsLastTextAndANewTextReplacesTheOld)
{
    Open();
    CSkinWindow::SendMessage(&Dlg(), UM_SHOWOSD, 1, 0);
    const COSDDialog* pFirst = Dlg().Osd().Display();
    ASSERT_NE(pFirst, nullptr);
    const QRect rcFirst = pFirst->geometry();
    Tick(Dlg(), 3);
    CSkinWindow::SendMessage(&Dlg(), UM_SHOWOSD, 5, 0);
    ASSERT_EQ(Dlg().Osd().Display(), pFirst); // the same window, not moved
    EXPECT_EQ(pFirst->geometry(), rcFirst);
    EXPECT_EQ(pFirst->Text(), "Windows键状态 : 使能");
    Tick(Dlg(), 5);
    EXPECT_NE(Dlg().Osd().Display(), nullptr);
    Tick(Dlg(), 1);
    EXPECT_EQ(Dlg().Osd().Display(), nullptr);
}

TEST_F(MainWindowTest, EachOfTheSevenCodesHasItsTextAndOtherCodesShowNothing)
{
    Open();
    for (WPARAM nCode : {0, 8, 255, 1000})
    {
        CSkinWindow::SendMessage(&Dlg(), UM_SHOWOSD, nCode, 0);
        EXPECT_EQ(Dlg().Osd().Display(), nullptr) << nCode;
    }
    const char* kTexts[] = {"当前设置文件 : 一",    "当前设置文件 : 二",   "当前设置文件 : 三",  "Windows键状态 : 禁止",
                            "Windows键状态 : 使能", "所有按键状态 : 禁止", "所有按键状态 : 使能"};
    for (WPARAM nCode = 1; nCode <= 7; ++nCode)
    {
        CSkinWindow::SendMessage(&Dlg(), UM_SHOWOSD, nCode, 0);
        ASSERT_NE(Dlg().Osd().Display(), nullptr);
        EXPECT_EQ(Dlg().Osd().Display()->Text(), kTexts[nCode - 1]);
    }
    // A lock key on the keyboard comes the same way.
    ASSERT_TRUE(m_kb.WaitForReaders(1, 5000));
    m_kb.ToggleAllKeysLock();
    ASSERT_TRUE(PumpUntil([&] { return Dlg().Osd().Display()->Text() == "所有按键状态 : 禁止"; }));
}
