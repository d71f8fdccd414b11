#include "dialogs/FirmwareResetDlg.h"

#include "skin/SkinDraw.h"

#include <QPainter>

CFirmwareResetDlg::CFirmwareResetDlg(CSkinWindow* pParent) : CDlgBase(kTemplateId, pParent)
{
    SetWindowSize(400, 270);
}

const char* CFirmwareResetDlg::QuestionText(unsigned nBitmapId)
{
    return nBitmapId == kResetAllBitmap ? "Reset all profiles to the factory settings?"
                                        : "Reset the current profile to the factory settings?";
}

bool CFirmwareResetDlg::OnInitDialog()
{
    CDlgBase::OnInitDialog();
    PrepareBackground(m_nBackgroundBitmap);
    m_bHaveBackground = !GetBackgroundImage().isNull();
    return true;
}

void CFirmwareResetDlg::CreateControls(int nLeft, int nTop, int, int)
{
    struct ButtonPlace
    {
        UINT nId;
        int x, y, w, h;
        unsigned nBitmap;
    };
    static constexpr ButtonPlace kButtons[] = {
        {IDC_DLG_CLOSE, 365, 8, 26, 24, 154},
        {IDC_DLG_OK, 223, 230, 73, 29, 162},
        {IDC_DLG_CANCEL, 325, 230, 66, 29, 163},
    };
    for (const ButtonPlace& place : kButtons)
    {
        auto* pButton = new CRegionButton(
            this, place.nId,
            CRect(nLeft + place.x, nTop + place.y, nLeft + place.x + place.w, nTop + place.y + place.h), "", true,
            false);
        pButton->SetBitmap(place.nBitmap, place.w, place.h, 0, 0);
        AddControl(0, pButton);
    }
}

void CFirmwareResetDlg::DrawBackground(QPainter* pDC, const CRect& rcClient)
{
    FillSolid(pDC, rcClient, m_crBackground);
    if (!m_imgBackground.isNull())
    {
        pDC->drawImage(QPoint(0, 0), m_imgBackground,
                       QRect(0, 0, std::min(m_imgBackground.width(), rcClient.Width()),
                             std::min(m_imgBackground.height(), rcClient.Height())));
    }
    if (!m_bHaveBackground)
    {
        // Without the picture the question would be missing: say it in words.
        pDC->save();
        pDC->setPen(QColor(ColorRefToQRgb(0x202020)));
        pDC->setFont(SkinFont(14, 0, 400));
        DrawSkinText(pDC, QString::fromUtf8(QuestionText(m_nBackgroundBitmap)),
                     CRect(rcClient.left + 10, rcClient.top + 110, rcClient.right - 10, rcClient.top + 150),
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS);
        pDC->restore();
    }
    DrawControls(pDC, rcClient);
}

LRESULT CFirmwareResetDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HandleOkCancelButtons(nMsg, lParam))
        return 0;
    switch (nMsg)
    {
    case WM_KEYDOWN:
        // Only a click on OK confirms: Enter pressed by habit must not send the profiles
        // back to the factory. Escape still cancels.
        if (wParam == VK_RETURN)
            return 0;
        return CDlgBase::WindowProc(nMsg, wParam, lParam);
    default: return CDlgBase::WindowProc(nMsg, wParam, lParam);
    }
}
