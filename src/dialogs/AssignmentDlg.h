#pragma once
// What the three assignment dialogs share: a background picture (which may also give the window
// its shape), the parent that receives their result, the close, OK and Cancel bitmap buttons,
// and (for the dialogs that capture a key) a keyboard hook that runs from the end of the
// dialog's initialisation until its window goes away.

#include "keyboardhook/KeyHook.h"
#include "skin/Buttons.h"
#include "skin/DlgBase.h"
#include "skin/ListControls.h"

#include <initializer_list>
#include <memory>

enum class EWindowShape
{
    Rectangle,
    FromBackground
};

class CAssignmentDlg : public CDlgBase
{
public:
    // pHook may be null for a dialog that captures no key.
    CAssignmentDlg(CSkinWindow* pParent, unsigned nBackgroundBitmap, EWindowShape eShape,
                   std::unique_ptr<CKeyHook> pHook);
    ~CAssignmentDlg() override;

    // Background and shape, then the hook: from here on the dialog receives the keys.
    bool OnInitDialog() override;
    void DrawBackground(QPainter* pDC, const CRect& rcClient) override;

    CKeyHook* GetKeyHook() const { return m_pHook.get(); }
    // The window that receives the result; null when the dialog was opened without one.
    CSkinWindow* GetResultWindow() const;

    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

protected:
    struct CBitmapButtonPlace
    {
        UINT nId;
        int x, y, nWidth, nHeight;
        unsigned nBitmap;
    };
    // Bitmap buttons (3 frames of the button's size, key colour at pixel 0, 0) into list 0.
    void AddBitmapButtons(int nLeft, int nTop, std::initializer_list<CBitmapButtonPlace> places);
    // A white single-line label into list 0.
    CStaticText* AddLabel(UINT nId, const CRect& rc, UINT nFormat, const std::string& strText);
    LRESULT SendResult(UINT nMsg, WPARAM wParam, LPARAM lParam);

private:
    unsigned m_nBackgroundBitmap;
    EWindowShape m_eShape;
    std::unique_ptr<CKeyHook> m_pHook;
};
