#pragma once
// Base of every skinned dialog: draws its client area off screen from a prepared
// background picture, owns windowless controls in five ordered lists that it paints and
// routes the mouse to, lets the user drag the window by its background, and hosts the
// choice popups in fixed slots.
//
// A dialog derives from it, sets its size in the constructor (SetWindowSize), creates
// its controls in CreateControls (AddControl into one of the five lists), paints in
// DrawBackground (DrawStandardBackground for the plain form), calls PrepareBackground /
// CreateRegionFromBitmap from OnInitDialog after the base, and handles its controls'
// notifications (message = control id) in WindowProc, passing the rest to the base.

#include "skin/ControlBase.h"
#include "skin/SkinWindow.h"
#include "skin/WndPopup.h"

#include <QEventLoop>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <array>
#include <vector>

// Ids of the standard buttons of the small dialogs (message boxes, confirmations, the assignment
// dialogs): the title-bar close button, OK and Cancel.
inline constexpr UINT IDC_DLG_CLOSE = 2004;
inline constexpr UINT IDC_DLG_OK = 2010;
inline constexpr UINT IDC_DLG_CANCEL = 2011;

class CDlgBase : public CSkinWindow
{
public:
    static constexpr int kControlLists = 5;
    static constexpr int kPopupSlots = 9; // slots 1..5, 7 and 8 are used

    CDlgBase(UINT nTemplateId, CSkinWindow* pParent);
    ~CDlgBase() override;

    // Runs the dialog initialisation once (size, controls, centring); DoModal calls it.
    bool Create();
    // Shows the dialog and runs its own event loop until EndDialog; answers the result.
    // WM_DESTROY reaches WindowProc once the loop has ended.
    int DoModal();
    void EndDialog(int nResult);
    bool IsInitialised() const { return m_bInitialised; }
    bool IsModalLoopRunning() const { return m_loopModal.isRunning(); }
    // The next DoModal runs its loop without showing the window: it stays hidden until something
    // shows it (a program started into the tray).
    void StayHiddenWhenModal() { m_bStayHidden = true; }

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Paints the whole client area; the standard body is DrawStandardBackground.
    virtual void DrawBackground(QPainter* pDC, const CRect& rcClient) = 0;
    virtual void DrawControls(QPainter* pDC, const CRect& rcClip);
    virtual void CreateControls(int nLeft, int nTop, int nRight, int nBottom) = 0;

    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    void PrepareBackground(unsigned nBitmapId);
    void PrepareBackgroundFromImage(const QImage& bmp);
    void CreateRegionFromBitmap(unsigned nBitmapId);
    void CreateRegionFromImage(const QImage& bmp);

    CControlBase* FindControl(UINT nId) const;
    // Appends an owned control to list nList (0..4); list order is paint and hit-test order.
    void AddControl(int nList, CControlBase* pControl);
    const std::vector<CControlBase*>& GetControlList(int nList) const { return m_vecControls[nList]; }
    // Shows or hides every control of a list.
    void ShowControlList(int nList, bool bVisible);
    // Deletes every control (the hot and pressed controls are forgotten first).
    void RemoveAllControls();

    // Popups: rcClient is in client coordinates; the popup is shown at its top-left.
    void OpenPopup(int nSlot, const CRect& rcClient, CWndPopup* pPopup, WPARAM wContext);
    void ClosePopup(int nSlot);
    CWndPopup* GetPopup(int nSlot) const;
    static UINT PopupSlotMessage(int nSlot);

    void SetWindowSize(int nWidth, int nHeight)
    {
        m_nWindowWidth = nWidth;
        m_nWindowHeight = nHeight;
    }
    // The client area as painted, in one image at the window's device pixel ratio.
    QImage RenderClient();

    CControlBase* GetHotControl() const { return m_pHotControl; }
    CControlBase* GetPressedControl() const { return m_pPressedControl; }
    bool IsButtonDown() const { return m_bButtonDown; }
    bool IsMouseCaptured() const { return m_bMouseCapture; }
    bool IsTracking() const { return m_bTracking; }
    CRect GetPressedRect() const { return m_rcPressed; }
    QPoint GetLastPoint() const { return m_ptLast; }
    COLORREF GetBackgroundColour() const { return m_crBackground; }
    int GetFadeWidth() const { return m_nFade; }
    int GetBackgroundWidth() const { return m_nBackWidth; }
    int GetBackgroundHeight() const { return m_nBackHeight; }
    const QImage& GetBackgroundImage() const { return m_imgBackground; }
    const QRegion& GetWindowRegion() const { return m_rgnWindow; }

protected:
    void DrawStandardBackground(QPainter* pDC, const CRect& rcClient);
    // The first part of it: the fill colour, then the prepared background picture over it.
    void DrawBackgroundPicture(QPainter* pDC, const CRect& rcClient);
    // The small dialogs' buttons: a click on OK runs OnOK, on the close button or Cancel
    // OnCancel. True when the message was one of theirs.
    bool HandleOkCancelButtons(UINT nMsg, LPARAM lParam);
    void paintEvent(QPaintEvent* pEvent) override;
    // A tooltip asked for over a control shows what the control tells (ToolTipText).
    bool event(QEvent* pEvent) override;

    void OnMouseMove(UINT nFlags, int x, int y);
    void OnMouseLeave();
    void OnMouseHover();
    void OnLButtonDown(UINT nFlags, int x, int y);
    void OnLButtonUp(UINT nFlags, int x, int y);
    void OnLButtonDblClk(UINT nFlags, int x, int y);

    UINT m_nTemplateId;
    int m_nWindowWidth = 800;
    int m_nWindowHeight = 634;
    QRegion m_rgnWindow;
    COLORREF m_crBackground = SkinColour::kDialogFill;
    unsigned m_nIconId = 128;
    int m_nBackWidth = 100;
    int m_nBackHeight = 100;
    QImage m_imgBackground;
    int m_nFade = 0;
    bool m_bTracking = false;
    bool m_bButtonDown = false;
    bool m_bMouseCapture = false;
    QPoint m_ptLast{-1, -1};
    CRect m_rcPressed{-1, -1, -1, -1};
    std::array<std::vector<CControlBase*>, kControlLists> m_vecControls;
    CControlBase* m_pHotControl = nullptr;
    CControlBase* m_pPressedControl = nullptr;
    std::array<QPointer<CWndPopup>, kPopupSlots> m_arrPopups;

private:
    // The background picture with its average colour as the fill, and the window's shape.
    void UseBackground(const QImage& bmp, COLORREF crAverage);
    // The prepared 2x background when pDC paints above 100 % and the picture has one, else null.
    const QImage& HighRatioBackground(const QPainter* pDC);
    // The resource of the background picture, for its 2x twin; 0 for a picture given as an image.
    unsigned m_nBackgroundBitmapId = 0;
    QImage m_imgBackground2x; // prepared the first time the window paints above 100 %
    bool m_bBackground2xTried = false;
    void UseRegion(const QRegion& rgn);
    // Only visible controls that accept input are hit-tested; only they can be hot.
    static bool IsHitTestable(const CControlBase* pControl);
    bool m_bInitialised = false;
    bool m_bEnded = false;
    bool m_bStayHidden = false;
    int m_nModalResult = IDCANCEL;
    QEventLoop m_loopModal;
};
