#pragma once
// The lighting page: the colour and brightness buttons with their choice popups, the active
// slot's "LightColor" and "LightBrightness", and the colour bar and the keyboard picture lit in
// them, painted on the page.

#include "mainwindow/LightingPreview.h"
#include "mainwindow/MainWindowHandler.h"

#include <memory>

class CComboButton;
class CMainWindowHost;
class CWndPopup;

class CLightingHandler : public CMainWindowHandler
{
public:
    explicit CLightingHandler(CMainWindowHost& host);

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;
    void DrawOnPage(QPainter* pDC, int nPage) override;

    // Where the colour bar lies on the lighting page (client pixels).
    static constexpr CRect ColourBarRect{75, 150, 75 + 272, 150 + 15};
    // The bar's colour for a "LightColor" value; red for any value outside 1..7.
    static COLORREF BarColour(int nColour);

private:
    // One of the two lighting choices: its button, popup slot and messages, and the popup it opens.
    struct Choice
    {
        UINT nButtonId;
        int nPopupSlot;
        LPARAM nPopupKind; // lParam of the popup's loss-of-activation message
        std::unique_ptr<CWndPopup> (*fnMakePopup)();
    };
    static const Choice ColourChoice;
    static const Choice BrightnessChoice;

    CComboButton* Button(const Choice& choice) const;
    void OpenChoicePopup(const Choice& choice, LPARAM nEvent);
    void StoreChoice(const Choice& choice, WPARAM wParam, LPARAM lParam);
    void OnPopupGone(const Choice& choice, LPARAM nKind);

    CMainWindowHost& m_host;
    int m_nCurrentColour = 1; // for painting the bar; follows the slot and every colour choice
    int m_nCurrentLevel = 8;  // the slot's brightness level, for the keyboard picture
    CLightingPreview m_preview;
    bool m_bBackdropLoaded = false;
    QImage m_imgBackdrop; // the page picture's part under the keyboard picture
};
