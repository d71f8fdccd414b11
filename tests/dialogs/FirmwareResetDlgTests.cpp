// The confirmation of a profile reset: its buttons and how it ends.

#include "DialogTestSupport.h"
#include "dialogs/FirmwareResetDlg.h"

TEST(ResetDialog, ButtonsAndResults)
{
    const std::pair<UINT, int> kCases[] = {{IDC_DLG_CLOSE, IDCANCEL}, {IDC_DLG_OK, IDOK}, {IDC_DLG_CANCEL, IDCANCEL}};
    for (auto [nButton, nResult] : kCases)
    {
        CFirmwareResetDlg dlg;
        dlg.SetBackgroundBitmap(CFirmwareResetDlg::kResetAllBitmap);
        dlg.Create();
        QueueClick(dlg, nButton);
        EXPECT_EQ(dlg.DoModal(), nResult);
        ASSERT_EQ(dlg.GetControlList(0).size(), 3u);
        EXPECT_EQ(dlg.FindControl(2004)->GetRect(), CRect(365, 8, 391, 32));
        EXPECT_EQ(dlg.FindControl(2011)->GetRect(), CRect(325, 230, 391, 259));
    }
}

TEST(ResetDialog, WindowCloseIsACancel)
{
    CFirmwareResetDlg dlg;
    CSkinWindow::PostMessage(&dlg, WM_CLOSE, 0, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ResetDialog, OnlyTheOkButtonConfirms)
{
    CFirmwareResetDlg dlg;
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_RETURN, 0);
    CSkinWindow::PostMessage(&dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}
