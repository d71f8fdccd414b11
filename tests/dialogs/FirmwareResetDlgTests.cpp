// The confirmation of a profile reset: its buttons and how it ends.

#include <gtest/gtest.h>

#include "dialogs/FirmwareResetDlg.h"
#include "skin/SkinTypes.h"

namespace {

// Queues a mouse gesture for the dialog's own loop: move, press at one point, release at another.
void QueueClick(CDlgBase* pDlg, QPoint ptDown, QPoint ptUp) {
    CSkinWindow::PostMessage(pDlg, WM_MOUSEMOVE, 0, MakeLParam(ptDown.x(), ptDown.y()));
    CSkinWindow::PostMessage(pDlg, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(ptDown.x(), ptDown.y()));
    CSkinWindow::PostMessage(pDlg, WM_LBUTTONUP, 0, MakeLParam(ptUp.x(), ptUp.y()));
}

const QPoint kClose(378, 20);
const QPoint kOk(259, 244);
const QPoint kCancel(358, 244);

}  // namespace

TEST(ResetDialog, ButtonsAndResults) {
    const std::pair<QPoint, int> kCases[] = {{kClose, IDCANCEL}, {kOk, IDOK}, {kCancel, IDCANCEL}};
    for (auto [pt, nResult] : kCases) {
        CFirmwareResetDlg dlg;
        dlg.SetBackgroundBitmap(CFirmwareResetDlg::kResetAllBitmap);
        QueueClick(&dlg, pt, pt);
        EXPECT_EQ(dlg.DoModal(), nResult);
        ASSERT_EQ(dlg.GetControlList(0).size(), 3u);
        EXPECT_EQ(dlg.FindControl(2004)->GetRect(), CRect(365, 8, 391, 32));
        EXPECT_EQ(dlg.FindControl(2011)->GetRect(), CRect(325, 230, 391, 259));
    }
}

TEST(ResetDialog, WindowCloseIsACancel) {
    CFirmwareResetDlg dlg;
    CSkinWindow::PostMessage(&dlg, WM_CLOSE, 0, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ResetDialog, OnlyTheOkButtonConfirms) {
    CFirmwareResetDlg dlg;
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_RETURN, 0);
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}
