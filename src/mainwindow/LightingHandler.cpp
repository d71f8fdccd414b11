#include "mainwindow/LightingHandler.h"

#include <QPainter>

#include "device/EditSession.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/PageHandler.h"
#include "model/Profile.h"
#include "skin/Buttons.h"
#include "skin/Popups.h"
#include "skin/SkinDraw.h"

using namespace MainWindow;

namespace
{
template <typename TPopup>
std::unique_ptr<CWndPopup> MakePopup()
{
    return std::make_unique<TPopup>();
}
} // namespace

const CLightingHandler::Choice CLightingHandler::ColourChoice{IDC_LIGHT_COLOR, PopupSlotLightColor, LightColorPopupKind,
                                                              MakePopup<CLightColorPopup>};
const CLightingHandler::Choice CLightingHandler::BrightnessChoice{
    IDC_LIGHT_BRIGHTNESS, PopupSlotLightBrightness, LightBrightnessPopupKind, MakePopup<CLightBrightnessPopup>};

CLightingHandler::CLightingHandler(CMainWindowHost& host) : m_host(host) {}

COLORREF CLightingHandler::BarColour(int nColour)
{
    return CLightColorPopup::ColourOf(nColour);
}

bool CLightingHandler::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg)
    {
    case UM_OPEN_LIGHT_COLOR: OpenChoicePopup(ColourChoice, lParam); return true;
    case UM_LIGHT_COLOR_RESULT: StoreChoice(ColourChoice, wParam, lParam); return true;
    case UM_LIGHT_COLOR_GONE: OnPopupGone(ColourChoice, lParam); return true;
    case UM_OPEN_LIGHT_BRIGHTNESS: OpenChoicePopup(BrightnessChoice, lParam); return true;
    case UM_LIGHT_BRIGHTNESS_RESULT: StoreChoice(BrightnessChoice, wParam, lParam); return true;
    case UM_LIGHT_BRIGHTNESS_GONE: OnPopupGone(BrightnessChoice, lParam); return true;
    default: return false;
    }
}

CComboButton* CLightingHandler::Button(const Choice& choice) const
{
    return dynamic_cast<CComboButton*>(m_host.FindControl(choice.nButtonId));
}

void CLightingHandler::OpenChoicePopup(const Choice& choice, LPARAM nEvent)
{
    CComboButton* pButton = Button(choice);
    if (nEvent != NOTIFY_CLICK || !pButton)
        return;
    pButton->SetPopupOpen(true);
    m_host.ClosePopup(choice.nPopupSlot);
    // The popup hangs below the button; it sizes itself inside this box.
    const CRect rcButton = pButton->GetRect();
    const CRect rcBox(rcButton.left, rcButton.bottom, rcButton.left + 300, rcButton.bottom + 300);
    // The host takes the popup over.
    m_host.OpenPopup(choice.nPopupSlot, rcBox, choice.fnMakePopup().release(), choice.nButtonId);
}

void CLightingHandler::StoreChoice(const Choice& choice, WPARAM wParam, LPARAM lParam)
{
    // A press inside the popup announces itself with no result (wParam 0, lParam 0); only the
    // release carries the choice.
    const auto* pResult = reinterpret_cast<const PopupResult*>(lParam);
    CComboButton* pButton = Button(choice);
    if (!pButton || !pResult || wParam != choice.nButtonId)
        return;
    const int nValue = pResult->m_keyValue.m_nKind;
    pButton->SetCaption(pResult->m_strName);
    pButton->SetPopupOpen(false);
    if (choice.nButtonId == IDC_LIGHT_COLOR)
        m_nCurrentColour = nValue;
    m_host.ClosePopup(choice.nPopupSlot);

    const int nSlot = m_host.ActiveSlot();
    if (choice.nButtonId == IDC_LIGHT_COLOR)
        m_host.Session().SetColour(nSlot, nValue);
    else
        m_host.Session().SetBrightness(nSlot, nValue);
    m_host.RefreshProfileView();
}

void CLightingHandler::OnPopupGone(const Choice& choice, LPARAM nKind)
{
    if (nKind != choice.nPopupKind)
        return;
    if (CComboButton* pButton = Button(choice))
    {
        pButton->SetPopupOpen(false);
        m_host.RepaintControl(*pButton);
    }
    m_host.ClosePopup(choice.nPopupSlot);
}

void CLightingHandler::Refresh(const ProfileRecord& record)
{
    // A value from a hand-edited file that names no colour or band leaves the text as it was.
    m_nCurrentColour = record.GetColour();
    m_nCurrentLevel = record.GetBrightness();
    if (const char* pszColour = LightColourName(m_nCurrentColour))
        if (CComboButton* pButton = Button(ColourChoice))
            pButton->SetCaption(pszColour);
    if (const char* pszBand = BrightnessBandName(record.GetBrightness()))
        if (CComboButton* pButton = Button(BrightnessChoice))
            pButton->SetCaption(pszBand);
}

void CLightingHandler::DrawOnPage(QPainter* pDC, int nPage)
{
    if (nPage != LightingPage)
        return;
    const QColor light(ColorRefToQRgb(BarColour(m_nCurrentColour)));
    pDC->fillRect(ColourBarRect.ToQRect(), light);
    if (!m_bBackdropLoaded)
    {
        // What the page picture shows where the keyboard goes: the keyboard is drawn onto it once.
        m_bBackdropLoaded = true;
        std::unique_ptr<LoadedImage> pPage;
        if (LoadPngResource(CPageHandler::PagePictureId(LightingPage), pPage) && pPage)
            m_imgBackdrop =
                pPage->m_image.copy(QRect(CLightingPreview::Origin - CPageHandler::PagePictureRect.ToQRect().topLeft(),
                                          QSize(CLightingPreview::Width, CLightingPreview::Height)));
    }
    const QImage& imgPreview = m_preview.Picture(light, m_nCurrentLevel, m_imgBackdrop);
    DrawImageInBands(pDC, CLightingPreview::Origin, imgPreview, imgPreview.rect());
    if (CLightingPreview::IsBreathing(m_nCurrentLevel))
    {
        pDC->save();
        pDC->setPen(QColor(ColorRefToQRgb(SkinColour::kText)));
        pDC->setFont(SkinFont(12, 0, 700));
        const QPoint pt = CLightingPreview::Origin;
        DrawSkinText(pDC, QString::fromLatin1(CLightingPreview::BreathingText),
                     CRect(pt.x(), pt.y() + 182, pt.x() + CLightingPreview::Width, pt.y() + 199),
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        pDC->restore();
    }
}
