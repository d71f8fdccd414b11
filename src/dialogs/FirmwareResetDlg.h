#pragma once
// Confirmation asked before profiles go back to their factory state. The question is
// part of the background picture, one picture per command.

#include "skin/Buttons.h"
#include "skin/DlgBase.h"

class CFirmwareResetDlg : public CDlgBase
{
public:
    static constexpr UINT kTemplateId = 152;
    static constexpr unsigned kResetCurrentBitmap = 165;
    static constexpr unsigned kResetAllBitmap = 258;

    explicit CFirmwareResetDlg(CSkinWindow* pParent = nullptr);

    void SetBackgroundBitmap(unsigned nBitmapId) { m_nBackgroundBitmap = nBitmapId; }
    unsigned GetBackgroundBitmap() const { return m_nBackgroundBitmap; }

    bool OnInitDialog() override;
    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    void DrawBackground(QPainter* pDC, const CRect& rcClient) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    // The question shown when the background picture carries none (no artwork).
    static const char* QuestionText(unsigned nBitmapId);

private:
    unsigned m_nBackgroundBitmap = kResetCurrentBitmap;
    bool m_bHaveBackground = false;
};
