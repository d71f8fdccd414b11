#include "dialogs/AssignmentDlg.h"

// The dialog templates carry nothing the skin uses; each dialog is known by its picture.
CAssignmentDlg::CAssignmentDlg(CSkinWindow* pParent, unsigned nBackgroundBitmap, EWindowShape eShape,
                               std::unique_ptr<CKeyHook> pHook)
    : CDlgBase(nBackgroundBitmap, pParent), m_nBackgroundBitmap(nBackgroundBitmap), m_eShape(eShape),
      m_pHook(std::move(pHook))
{
}

CAssignmentDlg::~CAssignmentDlg()
{
    if (m_pHook)
        m_pHook->StopHook();
}

CSkinWindow* CAssignmentDlg::GetResultWindow() const
{
    return dynamic_cast<CSkinWindow*>(parentWidget());
}

void CAssignmentDlg::AddBitmapButtons(int nLeft, int nTop, std::initializer_list<CBitmapButtonPlace> places)
{
    for (const CBitmapButtonPlace& place : places)
    {
        const CRect rc(nLeft + place.x, nTop + place.y, nLeft + place.x + place.nWidth, nTop + place.y + place.nHeight);
        auto* pButton = new CRegionButton(this, place.nId, rc, "", true, false);
        pButton->SetBitmap(place.nBitmap, place.nWidth, place.nHeight, 0, 0);
        AddControl(0, pButton);
    }
}

CStaticText* CAssignmentDlg::AddLabel(UINT nId, const CRect& rc, UINT nFormat, const std::string& strText)
{
    auto* pLabel = new CStaticText(this, nId, rc, "", true, false, SkinColour::kText, nFormat);
    pLabel->SetDisplayText(strText);
    AddControl(0, pLabel);
    return pLabel;
}

bool CAssignmentDlg::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    PrepareBackground(m_nBackgroundBitmap);
    if (m_eShape == EWindowShape::FromBackground)
        CreateRegionFromBitmap(m_nBackgroundBitmap);
    if (m_pHook)
        m_pHook->StartHook(this);
    return true;
}

void CAssignmentDlg::DrawBackground(QPainter* pDC, const CRect& rcClient)
{
    DrawStandardBackground(pDC, rcClient);
}

LRESULT CAssignmentDlg::SendResult(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return SendMessage(GetResultWindow(), nMsg, wParam, lParam);
}

LRESULT CAssignmentDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_DESTROY && m_pHook)
        m_pHook->StopHook(); // the window is gone: the keys go back to the program
    return CDlgBase::WindowProc(nMsg, wParam, lParam);
}
