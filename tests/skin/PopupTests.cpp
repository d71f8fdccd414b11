#include "SkinTestSupport.h"

#include "model/Macro.h"
#include "skin/Popups.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace
{

// Opens popups in a recording dialog and reads result records during the call.
class CPopupHostDlg : public CTestDlg
{
public:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        const bool bResult = nMsg == 1027 || nMsg == 1031 || nMsg == 1041 || nMsg == 1044 || nMsg == 1051 ||
                             nMsg == 1062 || nMsg == 1065;
        if (bResult && lParam != 0)
            m_vecResults.push_back(*reinterpret_cast<const PopupResult*>(lParam));
        return CTestDlg::WindowProc(nMsg, wParam, lParam);
    }
    std::vector<PopupResult> m_vecResults;
};

class PopupTest : public ::testing::Test
{
protected:
    void SetUp() override { m_host.Create(); }
    void TearDown() override
    {
        for (int nSlot : {1, 2, 3, 4, 5, 7, 8})
            m_host.ClosePopup(nSlot);
        ProcessPostedEvents();
    }
    template <typename T>
    T* Open(T* pPopup, int nSlot, WPARAM wContext, int nWidth = 200)
    {
        m_host.OpenPopup(nSlot, CRect(10, 10, 10 + nWidth, 40), pPopup, wContext);
        m_host.m_vecMessages.clear();
        return pPopup;
    }
    static QPoint Centre(const CItemPopup* pPopup, size_t nItem)
    {
        const CRect rc = pPopup->GetItems().at(nItem).m_rect;
        return QPoint(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    }
    static void Move(CWndPopup* p, QPoint pt) { p->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(pt.x(), pt.y())); }
    static void Click(CWndPopup* p, QPoint pt)
    {
        Move(p, pt);
        p->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
        p->WindowProc(WM_LBUTTONUP, 0, MakeLParam(pt.x(), pt.y()));
    }
    CPopupHostDlg m_host;
};

} // namespace

TEST_F(PopupTest, FunctionMenuLayout)
{
    auto* p = Open(new CComboPopup, 1, 2079);
    const auto& items = p->GetItems();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].m_rect, CRect(3, 3, 226, 19));
    EXPECT_EQ(items[7].m_rect, CRect(3, 115, 226, 131));
    EXPECT_TRUE(items[3].m_bArrow);
    EXPECT_FALSE(items[4].m_bArrow);
    EXPECT_EQ(p->size(), QSize(229, 134));
    EXPECT_EQ(p->GetPopupKind(), 0);
    EXPECT_EQ(p->GetResult().m_keyValue, (KeyValue{1, 0, 0}));
}

TEST_F(PopupTest, FunctionMenuHoverMessages)
{
    auto* p = Open(new CComboPopup, 1, 2079);
    Move(p, Centre(p, 0));
    Move(p, Centre(p, 1));
    Move(p, QPoint(Centre(p, 1).x() + 3, Centre(p, 1).y() + 1)); // same item: nothing more
    Move(p, Centre(p, 2));
    Move(p, Centre(p, 3));
    Move(p, Centre(p, 4));
    Move(p, Centre(p, 7));
    const std::vector<RecordedMessage> expected = {
        {UM_HOVER_MACRO, 2079, 1},          {UM_HOVER_MULTIMEDIA, 2079, 2}, {UM_HOVER_WINDOW_MANAGE, 2079, 3},
        {UM_HOVER_MOUSE_FUNCTION, 2079, 4}, {UM_HOVER_PLAIN, 2079, 5},      {UM_HOVER_PLAIN, 2079, 8}};
    EXPECT_EQ(m_host.m_vecMessages, expected);
    EXPECT_EQ(p->GetHotItem(), 7);
    Move(p, QPoint(1, 1)); // the border: no item
    EXPECT_EQ(p->GetHotItem(), -1);
}

TEST_F(PopupTest, FunctionMenuChoices)
{
    auto* p = Open(new CComboPopup, 1, 2079);
    Click(p, Centre(p, 2)); // a submenu entry: bring the submenus forward, then the unchanged record
    ASSERT_GE(m_host.m_vecMessages.size(), 3u);
    EXPECT_EQ(m_host.m_vecMessages[1], (RecordedMessage{1027, 0, 0}));
    EXPECT_EQ(m_host.m_vecMessages[2].nMsg, 1027u);
    EXPECT_EQ(m_host.m_vecMessages[2].wParam, 0u);
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{1, 0, 0}));

    Click(p, Centre(p, 4));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "默认功能");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{6, 1, 0}));
    EXPECT_EQ(m_host.m_vecMessages.back().wParam, 2079u);

    Click(p, Centre(p, 7));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "No Function");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{0, 0, 0}));

    Click(p, Centre(p, 5));
    EXPECT_EQ(m_host.m_vecMessages.back(), (RecordedMessage{UM_ASSIGN_SHORTCUT, 2079, 0}));
    Click(p, Centre(p, 6));
    EXPECT_EQ(m_host.m_vecMessages.back(), (RecordedMessage{UM_ASSIGN_QUICK_LAUNCH, 2079, 0}));
}

TEST_F(PopupTest, ReleaseAwayFromTheHotItemChoosesNothing)
{
    auto* p = Open(new CLightColorPopup, 7, 2090);
    const QPoint pt = Centre(p, 2);
    Move(p, pt);
    p->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pt.x(), pt.y()));
    EXPECT_EQ(m_host.m_vecMessages.back(), (RecordedMessage{1062, 0, 0})); // press inside the hot item
    // Moves with the button held do not change the hot item.
    Move(p, Centre(p, 4));
    EXPECT_EQ(p->GetHotItem(), 2);
    const QPoint ptAway = Centre(p, 4);
    p->WindowProc(WM_LBUTTONUP, 0, MakeLParam(ptAway.x(), ptAway.y()));
    EXPECT_EQ(p->GetHotItem(), -1);
    EXPECT_TRUE(m_host.m_vecResults.empty());
}

TEST_F(PopupTest, SubmenuResults)
{
    auto* pMedia = Open(new CProfilePopup, 2, 2080);
    EXPECT_EQ(pMedia->size(), QSize(158, 3 + 8 * 16 + 3));
    Click(pMedia, Centre(pMedia, 6));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "Play/Pause");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{2, 0xA6, 0}));
    EXPECT_EQ(m_host.m_vecMessages.back().nMsg, 1031u);
    EXPECT_EQ(m_host.m_vecMessages.back().wParam, 2080u);

    auto* pWeb = Open(new CDPIPopup, 3, 2080);
    Click(pWeb, Centre(pWeb, 9));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "Calculator");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{2, 0xB1, 0}));

    auto* pMouse = Open(new CMultimediaPopup, 4, 2080, 140);
    EXPECT_EQ(pMouse->width(), 140); // as wide as its rectangle
    Click(pMouse, Centre(pMouse, 6));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "Fire");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{5, 0, 0}));
    Click(pMouse, Centre(pMouse, 4));
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{3, 0x10, 0}));
    EXPECT_EQ(m_host.m_vecMessages.back().nMsg, 1044u);
}

TEST_F(PopupTest, LightingResultsCarryTheValueInTheKindByte)
{
    auto* pBright = Open(new CLightBrightnessPopup, 8, 2091);
    EXPECT_EQ(pBright->width(), 166);
    Click(pBright, Centre(pBright, 2));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "60%");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue.m_nKind, 4);
    EXPECT_EQ(m_host.m_vecMessages.back(), (RecordedMessage{1065, 2091, m_host.m_vecMessages.back().lParam}));
    Click(pBright, Centre(pBright, 0));
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue.m_nKind, 24);

    auto* pColour = Open(new CLightColorPopup, 7, 2090);
    Click(pColour, Centre(pColour, 6));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "White");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{7, 0, 0}));
}

TEST_F(PopupTest, MacroPopupListsTheFirstSet)
{
    MacroLibrary library;
    MacroSet& set = library.AppendSet(DefaultMacroSetName);
    for (const char* pszName : {"one", "two", "three"})
        set.AppendKey(pszName);
    auto* p = Open(new CMacroLibraryPopup(&library), 5, 2081);
    EXPECT_EQ(p->size(), QSize(158, 54));
    EXPECT_EQ(p->GetItems()[1].m_nCode, 2u);
    Click(p, Centre(p, 1));
    EXPECT_EQ(m_host.m_vecResults.back().m_strName, "two");
    EXPECT_EQ(m_host.m_vecResults.back().m_keyValue, (KeyValue{1, 0, 0}));
    EXPECT_EQ(m_host.m_vecMessages.back().nMsg, 1051u);
}

TEST_F(PopupTest, MacroPopupWithoutKeysSaysWhyInOneGreyedRowThatCannotBeChosen)
{
    MacroLibrary noSets;
    auto* p = Open(new CMacroLibraryPopup(&noSets), 5, 2081);
    ASSERT_EQ(p->GetItems().size(), 1u);
    EXPECT_EQ(p->GetItems()[0].m_strText, "No macros yet: record one on the Macro page");
    EXPECT_TRUE(p->GetItems()[0].m_bDisabled);
    EXPECT_EQ(p->size(), QSize(262, 22)); // a row, not a sliver
    Move(p, Centre(p, 0));
    Click(p, Centre(p, 0));
    EXPECT_TRUE(m_host.m_vecResults.empty());
    EXPECT_EQ(p->GetHotItem(), -1);
    // Greyed, and the whole sentence fits: no highlight behind it, text pixels to its end.
    const QImage& img = p->GetRenderedImage();
    EXPECT_EQ(img.pixel(5, 5), ColorRefToQRgb(SkinColour::kPopupFill));
    bool bGrey = false;
    for (int x = 5; x < img.width() - 5 && !bGrey; ++x)
        for (int y = 4; y < 18 && !bGrey; ++y)
            bGrey = img.pixel(x, y) == ColorRefToQRgb(CItemPopup::kDisabledTextColour);
    EXPECT_TRUE(bGrey);
}

TEST_F(PopupTest, EachColourRowShowsASwatchOfItsColourBeforeItsName)
{
    auto* p = Open(new CLightColorPopup, 7, 2090);
    const QImage& img = p->GetRenderedImage();
    for (int i = 0; i < 7; ++i)
    {
        const CRect& rc = p->GetItems()[static_cast<size_t>(i)].m_rect;
        EXPECT_EQ(img.pixel(rc.left + 10, rc.top + 8), ColorRefToQRgb(CLightColorPopup::ColourOf(i + 1))) << i;
        EXPECT_EQ(img.pixel(rc.left + 5, rc.top + 3), ColorRefToQRgb(SkinColour::kPopupBorder)) << i;
    }
}

TEST_F(PopupTest, DrawingHighlightsTheHotItemAndDrawsTheArrow)
{
    auto* p = Open(new CComboPopup, 1, 2079);
    Move(p, Centre(p, 1));
    const QImage& img = p->GetRenderedImage();
    ASSERT_EQ(img.size(), QSize(229, 134));
    EXPECT_EQ(img.pixel(0, 0), ColorRefToQRgb(SkinColour::kPopupBorder));
    EXPECT_EQ(img.pixel(1, 1), ColorRefToQRgb(SkinColour::kPopupFill));
    EXPECT_EQ(img.pixel(4, 20), ColorRefToQRgb(SkinColour::kHighlight)); // item 1 at y 19..34
    // Arrow of item 0: columns R-6..R-3 with R = 226, rows from T = 3.
    EXPECT_EQ(img.pixel(223, 9), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(220, 6), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(220, 12), qRgb(255, 255, 255));
    EXPECT_NE(img.pixel(222, 6), qRgb(255, 255, 255));
}

TEST_F(PopupTest, CloseNotifiesOnceAndDeletesThePopup)
{
    auto* p = Open(new CLightBrightnessPopup, 8, 2091);
    QPointer<CWndPopup> pWatch(p);
    p->WindowProc(WM_CLOSE, 0, 0);
    p->WindowProc(WM_NCACTIVATE, 0, 0); // hiding a closed popup reports nothing
    EXPECT_EQ(m_host.m_vecMessages, (std::vector<RecordedMessage>{{UM_POPUP_CLOSING, 0, 0}}));
    ProcessPostedEvents();
    EXPECT_TRUE(pWatch.isNull());
    EXPECT_EQ(m_host.GetPopup(8), nullptr); // the slot does not keep a dead popup
}

TEST(PopupWithoutParent, SendsNothing)
{
    auto* p = new CComboPopup;
    QPointer<CWndPopup> pWatch(p);
    p->CreatePopup(nullptr, CRect(0, 0, 100, 10), 1027, 5);
    p->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(20, 10));
    p->WindowProc(WM_NCACTIVATE, 0, 0);
    p->WindowProc(WM_CLOSE, 0, 0);
    ProcessPostedEvents();
    EXPECT_TRUE(pWatch.isNull());
}
