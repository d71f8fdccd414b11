#include "SkinTestSupport.h"

#include "skin/AttentionDlg.h"
#include "skin/ListControls.h"
#include "skin/SkinDraw.h"

#include <gtest/gtest.h>

namespace
{

// Queues a mouse gesture for the dialog's own loop: move, press at one point, release at another.
void QueueClick(CDlgBase* pDlg, QPoint ptDown, QPoint ptUp)
{
    CSkinWindow::PostMessage(pDlg, WM_MOUSEMOVE, 0, MakeLParam(ptDown.x(), ptDown.y()));
    CSkinWindow::PostMessage(pDlg, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(ptDown.x(), ptDown.y()));
    CSkinWindow::PostMessage(pDlg, WM_LBUTTONUP, 0, MakeLParam(ptUp.x(), ptUp.y()));
}

const QPoint kClose(378, 20);
const QPoint kOk(259, 244);
const QPoint kCancel(358, 244);

} // namespace

TEST(AttentionDialog, ControlsAndTexts)
{
    CAttentionDlg dlg(kAttentionTitle, AttentionText::kDisconnected);
    dlg.Create();
    EXPECT_EQ(dlg.size(), QSize(400, 270));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Quelmar Keyboard"));
    const auto& list = dlg.GetControlList(0);
    ASSERT_EQ(list.size(), 5u);
    const UINT kIds[] = {2004, 2010, 2011, 2012, 2013};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(list[i]->GetId(), kIds[i]);
    EXPECT_EQ(list[1]->GetRect(), CRect(223, 230, 296, 259));
    auto* pTitle = dynamic_cast<CStaticText*>(list[3]);
    auto* pMessage = dynamic_cast<CStaticText*>(list[4]);
    ASSERT_TRUE(pTitle && pMessage);
    EXPECT_EQ(pTitle->GetDisplayText(), "Attention!");
    EXPECT_EQ(pTitle->GetTextColour(), 0xFE9252u);
    EXPECT_EQ(pMessage->GetDisplayText(), "The keyboard is disconnection，Please connect!");
    EXPECT_EQ(pMessage->GetRect(), CRect(2, 127, 400, 147));
    EXPECT_EQ(pMessage->GetFormat(), DT_CENTER);
}

TEST(AttentionDialog, LongMessageIsCutOnOneLine)
{
    const std::string strLong(AttentionText::kConfigError + std::string(" ") + AttentionText::kConfigError);
    const QString strShown = WordEllipsisText(SkinFont(0, 0, 400), QString::fromStdString(strLong), 398);
    EXPECT_TRUE(strShown.endsWith(QStringLiteral("...")));
    EXPECT_FALSE(strShown.contains(QLatin1Char('\n')));
}

TEST(AttentionDialog, OkReturnsIdOk)
{
    CAttentionDlg dlg(kAttentionTitle, AttentionText::kActionsFull);
    QueueClick(&dlg, kOk, kOk);
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(AttentionDialog, CloseAndCancelReturnIdCancel)
{
    for (QPoint pt : {kClose, kCancel})
    {
        CAttentionDlg dlg(kAttentionTitle, AttentionText::kLoopRange);
        QueueClick(&dlg, pt, pt);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
}

TEST(AttentionDialog, CloseButtonReleasedOutsideDoesNotClose)
{
    CAttentionDlg dlg(kAttentionTitle, AttentionText::kImportError);
    QueueClick(&dlg, kClose, QPoint(200, 60));             // press on close, release away
    CSkinWindow::PostMessage(&dlg, 2010, 0, NOTIFY_PRESS); // a press code alone is ignored
    QueueClick(&dlg, kOk, kOk);                            // the dialog was still open to take this
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(AttentionDialog, EnterConfirmsAndEscapeCancels)
{
    CAttentionDlg dlg(kAttentionTitle, AttentionText::kActionsFull);
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ModalLoop, EndsWithTheTeardownMessageAndCanRunAgain)
{
    struct CCountingDlg : CTestDlg
    {
        int nDestroys = 0;
        LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
        {
            if (nMsg == WM_DESTROY)
                ++nDestroys;
            return CTestDlg::WindowProc(nMsg, wParam, lParam);
        }
    } dlg;
    CSkinWindow::PostMessage(&dlg, WM_CLOSE, 0, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.nDestroys, 1);
    EXPECT_FALSE(dlg.isVisible());
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.nDestroys, 2);
}
