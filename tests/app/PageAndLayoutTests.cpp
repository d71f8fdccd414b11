// The main window's controls where the layout puts them, and the four pages.

#include "MainWindowTestSupport.h"

#include <QLineEdit>
#include <QValidator>

#include "mainwindow/LightingHandler.h"
#include "mainwindow/PageHandler.h"
#include "skin/Buttons.h"
#include "skin/ListControls.h"
#include "storage/DataFiles.h"

using namespace MainWindow;

namespace
{
std::vector<UINT> IdsOf(const std::vector<CControlBase*>& vecControls)
{
    std::vector<UINT> vecIds;
    for (const CControlBase* pControl : vecControls)
        vecIds.push_back(pControl->GetId());
    return vecIds;
}

QRgb PixelAt(CDlgBase& dlg, int x, int y)
{
    return dlg.RenderClient().pixel(x, y) & 0xFFFFFF;
}
} // namespace

// ---- Layout ----

TEST_F(MainWindowTest, ControlsAreCreatedInTheLayoutOrderIntoTheirPages)
{
    Open();
    EXPECT_EQ(IdsOf(Dlg().GetControlList(CommonList)),
              (std::vector<UINT>{2001, 2002, 2003, 2004, 2005, 2077, 2046, 2047, 2048, 2049, 2050, 2051, 2045, 2076}));
    std::vector<UINT> vecKeys;
    for (UINT nId = 2200; nId <= 2302; ++nId)
        vecKeys.push_back(nId);
    EXPECT_EQ(IdsOf(Dlg().GetControlList(KeyPageList)), vecKeys);
    EXPECT_EQ(IdsOf(Dlg().GetControlList(MacroPageList)),
              (std::vector<UINT>{2100, 2101, 2102, 2103, 2111, 2112, 2113, 2114, 2109, 2115, 2116}));
    EXPECT_EQ(IdsOf(Dlg().GetControlList(ProgrammableKeyPageList)), (std::vector<UINT>{2078, 2079, 2080, 2081, 2082}));
    EXPECT_EQ(IdsOf(Dlg().GetControlList(LightingPageList)), (std::vector<UINT>{2090, 2091}));

    // A few places and contracts the rest of the program relies on.
    EXPECT_EQ(Dlg().FindControl(2250)->GetRect(), CRect(426, 325, 448, 347));
    auto* pPlus = dynamic_cast<CKeyboardButton*>(Dlg().FindControl(2228));
    ASSERT_NE(pPlus, nullptr);
    EXPECT_EQ(pPlus->m_strKeyCaption, "+");
    EXPECT_EQ(pPlus->m_nDefaultCode, 0xE9);
    EXPECT_EQ(Dlg().FindControl(2270)->GetRect(), CRect(450, 302, 478, 347));
    EXPECT_EQ(Dlg().FindControl(2082)->GetRect(), CRect(93, 412, 322, 442));
    auto* pKey = dynamic_cast<CComboButton*>(Dlg().FindControl(2080));
    auto* pColour = dynamic_cast<CComboButton*>(Dlg().FindControl(2090));
    auto* pBrightness = dynamic_cast<CComboButton*>(Dlg().FindControl(2091));
    ASSERT_TRUE(pKey && pColour && pBrightness);
    EXPECT_EQ(pKey->GetPopupMessage(), 1028u);
    EXPECT_EQ(pColour->GetPopupMessage(), 1060u);
    EXPECT_EQ(pBrightness->GetPopupMessage(), 1063u);
    EXPECT_EQ(Caption(2080), "CTRL+3");
    EXPECT_EQ(Caption(2090), "Red");
    EXPECT_EQ(Caption(2091), "100%");

    QLineEdit* pEdit = Dlg().LoopCountEdit();
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(pEdit->geometry(), QRect(521, 404, 93, 22));
    EXPECT_EQ(pEdit->parentWidget(), &Dlg());
    int nPos = 0;
    QString strTyped = QStringLiteral("12a");
    EXPECT_NE(pEdit->validator()->validate(strTyped, nPos), QValidator::Acceptable); // digits only
}

TEST_F(MainWindowTest, StartsOnTheKeyPageWithOnlyTheCommonControlsAndKeysVisible)
{
    Open();
    EXPECT_EQ(Dlg().SelectedPage(), KeyPage);
    for (int nList = 0; nList < CDlgBase::kControlLists; ++nList)
        for (CControlBase* pControl : Dlg().GetControlList(nList))
            EXPECT_EQ(pControl->IsVisible(), nList == CommonList || nList == KeyPageList) << pControl->GetId();
    EXPECT_FALSE(Dlg().LoopCountEdit()->isVisibleTo(&Dlg()));
}

TEST_F(MainWindowTest, TheActionListKeepsShowingTheFirstMacroWhenTheKeyboardAddsMacrosAtStartUp)
{
    // One macro in the library; the keyboard holds another, which the start-up read appends.
    CDataFiles files(m_strDir);
    files.EnsureConfigDirectory();
    MacroLibrary library;
    library.SetDefault();
    library.FirstSet()->AppendKey("One").InsertAction(0, MacroAction::Key(0x41, false));
    files.SaveMacroLibrary(library);
    m_kb.SetKeyValue(0, 0, KeyKindMacro, 0, 0);
    m_kb.SetMacro(0, 0, std::string("Other"), 1, {{0x04, 0x00}});
    Open();
    const MacroSet& set = *Dlg().m_MacroLibrary.FirstSet();
    ASSERT_EQ(set.m_vecKeys.size(), 2u);
    auto* pActions = dynamic_cast<CImageShowList*>(Dlg().FindControl(IDC_ACTION_LIST));
    ASSERT_NE(pActions, nullptr);
    EXPECT_EQ(pActions->GetMacroKey(), &set.m_vecKeys[0]);
    Click(IDC_TAB_MACRO_PAGE);
    Dlg().RenderClient(); // draws the list from the library as it is now
}

// ---- Pages ----

TEST_F(MainWindowTest, PageTabsShowTheirGroupAndTheEditBoxGoesWithTheMacroPageOnly)
{
    Open();
    QLineEdit* pEdit = Dlg().LoopCountEdit();

    Click(IDC_TAB_MACRO_PAGE);
    EXPECT_EQ(Dlg().SelectedPage(), MacroPage);
    EXPECT_TRUE(IsVisibleControl(IDC_MACRO_LIST));
    EXPECT_FALSE(IsVisibleControl(2200));
    EXPECT_TRUE(pEdit->isVisibleTo(&Dlg()));

    Click(IDC_TAB_LIGHTING_PAGE);
    EXPECT_TRUE(IsVisibleControl(IDC_LIGHT_COLOR));
    EXPECT_FALSE(IsVisibleControl(IDC_MACRO_LIST));
    EXPECT_FALSE(IsVisibleControl(IDC_PROGRAMMABLE_KEY_FIRST));
    EXPECT_FALSE(pEdit->isVisibleTo(&Dlg()));
    EXPECT_TRUE(IsVisibleControl(IDC_APPLY)); // the common controls stay

    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    EXPECT_TRUE(IsVisibleControl(IDC_PROGRAMMABLE_KEY_LAST));
    EXPECT_FALSE(IsVisibleControl(IDC_LIGHT_BRIGHTNESS));

    Click(IDC_TAB_KEY_PAGE);
    EXPECT_TRUE(IsVisibleControl(2302));
    EXPECT_FALSE(IsVisibleControl(IDC_PROGRAMMABLE_KEY_LAST));

    // A press on the macro tab that is released elsewhere switches nothing; the edit box follows
    // the page still shown.
    const CRect rc = Dlg().FindControl(IDC_TAB_MACRO_PAGE)->GetRect();
    Dlg().WindowProc(WM_MOUSEMOVE, 0, MakeLParam(rc.left + 5, rc.top + 5));
    Dlg().WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(rc.left + 5, rc.top + 5));
    Dlg().WindowProc(WM_LBUTTONUP, 0, MakeLParam(10, 10));
    EXPECT_EQ(Dlg().SelectedPage(), KeyPage);
    EXPECT_FALSE(pEdit->isVisibleTo(&Dlg()));
    EXPECT_TRUE(IsVisibleControl(2200));
}

TEST_F(MainWindowTest, EachPageIsPaintedOverTheSkinWithItsPictureAndTheLightingPageWithItsColourBar)
{
    Open();
    const QRect rcPage = CPageHandler::PagePictureRect.ToQRect();
    std::vector<QImage> vecPages{Dlg().RenderClient().copy(rcPage)};
    for (UINT nTab : {IDC_TAB_MACRO_PAGE, IDC_TAB_PROGRAMMABLE_KEY_PAGE, IDC_TAB_LIGHTING_PAGE})
    {
        Click(nTab);
        vecPages.push_back(Dlg().RenderClient().copy(rcPage));
    }
    for (size_t i = 0; i < vecPages.size(); ++i)
        for (size_t j = i + 1; j < vecPages.size(); ++j)
            EXPECT_NE(vecPages[i], vecPages[j]) << "pages " << i << " and " << j << " look the same";
    // The bar lies over the lighting page's picture, red for the factory colour.
    EXPECT_EQ(PixelAt(Dlg(), 75, 150), 0xFF0000u);
    EXPECT_EQ(PixelAt(Dlg(), 75 + 271, 150 + 14), 0xFF0000u);
    EXPECT_NE(PixelAt(Dlg(), 75 + 272, 150 + 7), 0xFF0000u);
    Click(IDC_TAB_KEY_PAGE);
    EXPECT_NE(PixelAt(Dlg(), 80, 155), 0xFF0000u);
}
