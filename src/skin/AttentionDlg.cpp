#include "skin/AttentionDlg.h"

CAttentionDlg::CAttentionDlg(const std::string& strTitle, const std::string& strMessage, CSkinWindow* pParent)
    : CDlgBase(kTemplateId, pParent), m_strTitle(strTitle), m_strMessage(strMessage)
{
    SetWindowSize(400, 270);
}

bool CAttentionDlg::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    PrepareBackground(kBackgroundBitmap);
    return true;
}

void CAttentionDlg::CreateControls(int nLeft, int nTop, int, int)
{
    auto* pClose =
        new CRegionButton(this, IDC_DLG_CLOSE, CRect(nLeft + 365, nTop + 8, nLeft + 391, nTop + 32), "", true, false);
    pClose->SetBitmap(154, 26, 24, 0, 0);
    AddControl(0, pClose);
    auto* pOk =
        new CRegionButton(this, IDC_DLG_OK, CRect(nLeft + 223, nTop + 230, nLeft + 296, nTop + 259), "", true, false);
    pOk->SetBitmap(162, 73, 29, 0, 0);
    AddControl(0, pOk);
    auto* pCancel = new CRegionButton(this, IDC_DLG_CANCEL, CRect(nLeft + 325, nTop + 230, nLeft + 391, nTop + 259), "",
                                      true, false);
    pCancel->SetBitmap(163, 66, 29, 0, 0);
    AddControl(0, pCancel);
    auto* pTitle = new CStaticText(this, 2012, CRect(nLeft + 21, nTop + 11, nLeft + 175, nTop + 31), "", true, false,
                                   0xFE9252, DT_LEFT);
    pTitle->SetDisplayText(m_strTitle);
    pTitle->SetBold(true); // like the titles drawn on the other dialogs' pictures
    AddControl(0, pTitle);
    auto* pMessage = new CStaticText(this, 2013, CRect(nLeft + 2, nTop + 127, nLeft + 400, nTop + 147), "", true, false,
                                     0xFFFFFF, DT_CENTER);
    pMessage->SetDisplayText(m_strMessage);
    AddControl(0, pMessage);
}

void CAttentionDlg::DrawBackground(QPainter* pDC, const CRect& rcClient)
{
    DrawStandardBackground(pDC, rcClient);
}

LRESULT CAttentionDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HandleOkCancelButtons(nMsg, lParam))
        return 0;
    return CDlgBase::WindowProc(nMsg, wParam, lParam);
}

CQuitQuestionDlg::CQuitQuestionDlg(CSkinWindow* pParent) : CAttentionDlg(kAttentionTitle, kQuestion, pParent) {}

void CQuitQuestionDlg::CreateControls(int nLeft, int nTop, int nRight, int nBottom)
{
    CAttentionDlg::CreateControls(nLeft, nTop, nRight, nBottom);
    if (auto* pOk = dynamic_cast<CRegionButton*>(FindControl(IDC_DLG_OK)))
        pOk->SetBitmap(kApplyBitmap, 73, 29, 0, 0);
    auto* pDiscard =
        new CRegionButton(this, kDiscardId, CRect(nLeft + 121, nTop + 230, nLeft + 207, nTop + 259), "", true, false);
    pDiscard->SetBitmap(kDiscardBitmap, 86, 29, 0, 0);
    AddControl(0, pDiscard);
}

LRESULT CQuitQuestionDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == kDiscardId)
    {
        if (lParam == NOTIFY_CLICK)
            EndDialog(kDiscard);
        return 0;
    }
    return CAttentionDlg::WindowProc(nMsg, wParam, lParam);
}
