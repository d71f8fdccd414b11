// The main window's controls: where each sits on the skin, its image and first text, and the
// control list (page) it belongs to. Created once, in this order, which is also their paint and
// hit-test order.

#include <span>
#include <utility>

#include <QLineEdit>
#include <QPalette>
#include <QRegularExpressionValidator>

#include "KeyButtonLayout.h"
#include "app/CorvaneDlg.h"
#include "skin/Buttons.h"
#include "skin/ListControls.h"

using namespace MainWindow;

namespace
{
enum class EKind
{
    ImageButton,
    PageTab,
    SlotTab,
    CheckButton,
};

struct ControlPlace
{
    UINT nId;
    EKind eKind;
    int x, y, w, h;
    unsigned nImage;
    int nSelects; // the page or slot a tab selects
};

constexpr ControlPlace CommonControls[] = {
    {IDC_HIDE, EKind::ImageButton, 741, 66, 22, 22, 135, 0},
    {IDC_MINIMISE, EKind::ImageButton, 675, 57, 21, 21, 136, 0},
    {IDC_TAB_KEY_PAGE, EKind::PageTab, 174, 531, 65, 26, 137, KeyPage},
    {IDC_TAB_MACRO_PAGE, EKind::PageTab, 276, 531, 47, 26, 262, MacroPage},
    {IDC_TAB_PROGRAMMABLE_KEY_PAGE, EKind::PageTab, 468, 531, 53, 26, 263, ProgrammableKeyPage},
    {IDC_TAB_LIGHTING_PAGE, EKind::PageTab, 558, 531, 53, 26, 264, LightingPage},
    {IDC_OK, EKind::ImageButton, 511, 101, 30, 28, 166, 0},
    {IDC_APPLY, EKind::ImageButton, 605, 109, 30, 20, 167, 0},
    {IDC_HIDE_WITHOUT_APPLY, EKind::ImageButton, 559, 106, 30, 23, 168, 0},
    {IDC_SLOT_TAB_FIRST, EKind::SlotTab, 264, 562, 68, 21, 171, 0},
    {IDC_SLOT_TAB_FIRST + 1, EKind::SlotTab, 364, 562, 71, 21, 170, 1},
    {IDC_SLOT_TAB_FIRST + 2, EKind::SlotTab, 466, 562, 71, 21, 169, 2},
    {IDC_RESET_SLOT, EKind::ImageButton, 49, 529, 88, 25, 164, 0},
    {IDC_RESET_ALL_SLOTS, EKind::ImageButton, 665, 529, 86, 25, 257, 0},
};

// The macro page's buttons; its lists and scroll bars follow them.
constexpr ControlPlace MacroPageButtons[] = {
    {IDC_NEW_MACRO, EKind::ImageButton, 78, 460, 86, 23, 267, 0},
    {IDC_DELETE_MACRO, EKind::ImageButton, 169, 460, 86, 23, 268, 0},
    {IDC_IMPORT_MACRO, EKind::ImageButton, 293, 460, 86, 23, 269, 0},
    {IDC_EXPORT_MACRO, EKind::ImageButton, 384, 460, 86, 23, 270, 0},
    {IDC_LOOP_ENABLE, EKind::CheckButton, 521, 379, 16, 16, 156, 0},
    {IDC_RECORD_DELAYS, EKind::CheckButton, 520, 239, 16, 16, 156, 0},
    {IDC_RECORD, EKind::CheckButton, 517, 202, 157, 29, 189, 0},
};

struct ComboPlace
{
    UINT nId;
    int x, y, w, h;
    unsigned nImage;
    UINT nMessage;
    const char* pszText;
};

constexpr ComboPlace ProgrammableKeyButtons[] = {
    {IDC_PROGRAMMABLE_KEY_FIRST, 93, 247, 229, 30, 265, UM_OPEN_FUNCTION_MENU, "CTRL+1"},
    {IDC_PROGRAMMABLE_KEY_FIRST + 1, 93, 288, 229, 30, 265, UM_OPEN_FUNCTION_MENU, "CTRL+2"},
    {IDC_PROGRAMMABLE_KEY_FIRST + 2, 93, 330, 229, 30, 265, UM_OPEN_FUNCTION_MENU, "CTRL+3"},
    {IDC_PROGRAMMABLE_KEY_FIRST + 3, 93, 370, 229, 30, 265, UM_OPEN_FUNCTION_MENU, "CTRL+4"},
    {IDC_PROGRAMMABLE_KEY_FIRST + 4, 93, 412, 229, 30, 265, UM_OPEN_FUNCTION_MENU, "CTRL+5"},
};

constexpr ComboPlace LightingButtons[] = {
    {IDC_LIGHT_COLOR, 61, 273, 166, 30, 266, UM_OPEN_LIGHT_COLOR, "Red"},
    {IDC_LIGHT_BRIGHTNESS, 61, 365, 166, 30, 266, UM_OPEN_LIGHT_BRIGHTNESS, "100%"},
};

// A combo button's caption before the layout gives it its first text.
constexpr const char* ComboStartCaption = "Disable";

CRect PlaceAt(int nLeft, int nTop, int x, int y, int w, int h)
{
    return CRect(nLeft + x, nTop + y, nLeft + x + w, nTop + y + h);
}

// pSelection: what a tab selects (the window's page or slot selection); unused by buttons.
void AddPlaced(CDlgBase& dlg, int nList, const ControlPlace& place, int nLeft, int nTop, int* pSelection)
{
    const CRect rc = PlaceAt(nLeft, nTop, place.x, place.y, place.w, place.h);
    switch (place.eKind)
    {
    case EKind::ImageButton:
    {
        auto* pButton = new CImageButton(&dlg, place.nId, rc, "", true, false);
        pButton->LoadImage(place.nImage);
        dlg.AddControl(nList, pButton);
        break;
    }
    case EKind::PageTab:
    case EKind::SlotTab:
    {
        auto* pTab = new CTabControl(&dlg, place.nId, rc, "", true, false, {pSelection, place.nSelects});
        pTab->LoadImage(place.nImage);
        dlg.AddControl(nList, pTab);
        break;
    }
    case EKind::CheckButton:
    {
        auto* pCheck = new CCheckButton(&dlg, place.nId, rc, "", true, false);
        pCheck->LoadImage(place.nImage);
        dlg.AddControl(nList, pCheck);
        break;
    }
    }
}

void AddComboButtons(CDlgBase& dlg, int nList, std::span<const ComboPlace> places, int nLeft, int nTop)
{
    for (const ComboPlace& place : places)
    {
        auto* pButton = new CComboButton(&dlg, place.nId, PlaceAt(nLeft, nTop, place.x, place.y, place.w, place.h), "",
                                         true, false, place.nMessage, ComboStartCaption);
        pButton->LoadImage(place.nImage);
        pButton->SetCaption(place.pszText);
        dlg.AddControl(nList, pButton);
    }
}
} // namespace

void CCorvaneDlg::CreateControls(int nLeft, int nTop, int, int)
{
    CreateCommonControls(nLeft, nTop);
    CreateKeyButtons(nLeft, nTop);
    CreateMacroPageControls(nLeft, nTop);
    CreateProgrammableKeyControls(nLeft, nTop);
    CreateLightingControls(nLeft, nTop);
    // The repeat-count box is made after the first frame (AfterFirstFrame).
    m_rcLoopCountEdit = PlaceAt(nLeft, nTop, 521, 404, 93, 22);
    // The window opens on the key page.
    for (int nPage = 0; nPage < PageCount; ++nPage)
        CDlgBase::ShowControlList(ListOfPage(nPage), nPage == KeyPage);
}

void CCorvaneDlg::CreateCommonControls(int nLeft, int nTop)
{
    for (const ControlPlace& place : CommonControls)
        AddPlaced(*this, CommonList, place, nLeft, nTop,
                  place.eKind == EKind::PageTab ? &m_nSelectedPage : &m_nSelectedSlotTab);
}

void CCorvaneDlg::CreateKeyButtons(int nLeft, int nTop)
{
    // One button per key, in id order, at the places the skin leaves for them. Each starts on its
    // factory code; RefreshProfileView shows the active slot's codes.
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
    {
        const CRect rc = PlaceAt(nLeft, nTop, key.m_nLeft, key.m_nTop, key.m_nWidth, key.m_nHeight);
        auto* pButton = new CKeyboardButton(this, static_cast<UINT>(key.m_nId), rc, key.m_pszCaption, true, false);
        pButton->LoadImage(static_cast<unsigned>(key.m_nImageId));
        const DeviceKeyCode nFactory = FactoryCodeOfButton(key.m_nId);
        pButton->SetKeyAssignment(key.m_pszCaption, nFactory, nFactory);
        AddControl(KeyPageList, pButton);
    }
}

void CCorvaneDlg::CreateMacroPageControls(int nLeft, int nTop)
{
    for (const ControlPlace& place : MacroPageButtons)
        AddPlaced(*this, MacroPageList, place, nLeft, nTop, nullptr);

    auto* pActions =
        new CImageShowList(this, IDC_ACTION_LIST, PlaceAt(nLeft, nTop, 294, 194, 150, 248), "", true, false);
    pActions->LoadIcons();
    AddControl(MacroPageList, pActions);
    // The action list starts on the first macro of the first set, when there is one.
    pActions->ShowLibraryKey(&m_MacroLibrary, 0, 0);

    auto* pMacros = new CEditShowList(this, IDC_MACRO_LIST, PlaceAt(nLeft, nTop, 81, 194, 149, 248), "", true, false,
                                      &m_MacroLibrary);
    pMacros->SelectSet(0);
    AddControl(MacroPageList, pMacros);

    for (const auto& [nId, x] : {std::pair{IDC_MACRO_LIST_SCROLL, 231}, std::pair{IDC_ACTION_LIST_SCROLL, 445}})
    {
        auto* pScroll = new CVScrollBar(this, nId, PlaceAt(nLeft, nTop, x, 194, 21, 247), "", true, false);
        pScroll->LoadImages();
        AddControl(MacroPageList, pScroll);
    }
}

void CCorvaneDlg::CreateProgrammableKeyControls(int nLeft, int nTop)
{
    AddComboButtons(*this, ProgrammableKeyPageList, ProgrammableKeyButtons, nLeft, nTop);
}

void CCorvaneDlg::CreateLightingControls(int nLeft, int nTop)
{
    AddComboButtons(*this, LightingPageList, LightingButtons, nLeft, nTop);
}

void CCorvaneDlg::CreateLoopCountEdit()
{
    // A real edit box over the skin: digits only, shown with the macro page alone.
    m_pLoopCountEdit = new QLineEdit(this);
    m_pLoopCountEdit->setObjectName(QString::number(IDC_LOOP_COUNT));
    m_pLoopCountEdit->setGeometry(m_rcLoopCountEdit.ToQRect());
    m_pLoopCountEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pLoopCountEdit));
    // Dark like the lists beside it, so it reads as part of the page.
    QPalette palette = m_pLoopCountEdit->palette();
    palette.setColor(QPalette::Base, QColor(ColorRefToQRgb(SkinColour::kListFill)));
    palette.setColor(QPalette::Text, Qt::white);
    m_pLoopCountEdit->setPalette(palette);
    m_pLoopCountEdit->setVisible(m_nSelectedPage == MacroPage);
}
