#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace
{

class ButtonTest : public ::testing::Test
{
protected:
    int m_nPage = 0;
    int m_nProfile = 0;
    UINT m_nOptionWord = 0xAA; // bit 7 set: the first radio starts selected
    const CRect m_rc{10, 10, 50, 30};
    CRecordingWindow m_wnd;
};

} // namespace

TEST_F(ButtonTest, ClickInsideWalksTheStatesAndNotifies)
{
    CImageButton button(&m_wnd, 2046, m_rc, "", true, false);
    EXPECT_TRUE(button.OnMouseMove(0, 20, 20));
    EXPECT_EQ(button.GetMouseState(), MS_HOVER);
    EXPECT_FALSE(button.OnMouseMove(0, 21, 20)); // no change, no repaint
    EXPECT_TRUE(button.OnLButtonDown(MK_LBUTTON, 20, 20));
    EXPECT_EQ(button.GetMouseState(), MS_PRESSED);
    EXPECT_FALSE(button.OnMouseMove(MK_LBUTTON, 100, 100)); // pressed state holds
    EXPECT_TRUE(button.OnLButtonUp(0, 20, 20));
    EXPECT_EQ(button.GetMouseState(), MS_HOVER);
    EXPECT_TRUE(button.OnMouseMove(0, 100, 100));
    EXPECT_EQ(button.GetMouseState(), MS_NORMAL);
    const std::vector<RecordedMessage> expected = {{2046, 0, NOTIFY_PRESS}, {2046, 0, NOTIFY_CLICK}};
    EXPECT_EQ(m_wnd.m_vecMessages, expected);
}

TEST_F(ButtonTest, PressDragOffAndReleaseOutsideSendsNoClick)
{
    CImageButton button(&m_wnd, 2047, m_rc, "", true, false);
    button.OnMouseMove(0, 20, 20);
    button.OnLButtonDown(MK_LBUTTON, 20, 20);
    EXPECT_TRUE(button.OnLButtonUp(0, 200, 200));
    EXPECT_EQ(button.GetMouseState(), MS_NORMAL);
    const std::vector<RecordedMessage> expected = {{2047, 0, NOTIFY_PRESS}};
    EXPECT_EQ(m_wnd.m_vecMessages, expected);
    // A press outside changes nothing and says nothing.
    EXPECT_FALSE(button.OnLButtonDown(MK_LBUTTON, 5, 5));
    EXPECT_EQ(m_wnd.m_vecMessages.size(), 1u);
}

TEST_F(ButtonTest, DisabledControlsIgnoreTheMouse)
{
    CImageButton button(&m_wnd, 2001, m_rc, "", true, true);
    EXPECT_FALSE(button.OnMouseMove(0, 20, 20));
    EXPECT_FALSE(button.OnLButtonDown(MK_LBUTTON, 20, 20));
    EXPECT_FALSE(button.OnLButtonUp(0, 20, 20));
    EXPECT_EQ(button.GetMouseState(), MS_NORMAL);
    CCheckButton check(&m_wnd, 2111, m_rc, "", true, true);
    check.OnMouseMove(0, 20, 20);
    check.OnLButtonDown(MK_LBUTTON, 20, 20);
    check.OnLButtonUp(0, 20, 20);
    EXPECT_FALSE(check.GetChecked());
    EXPECT_EQ(check.GetDrawnFrame(), 6);
    check.SetChecked(true);
    EXPECT_EQ(check.GetDrawnFrame(), 6);
    EXPECT_TRUE(m_wnd.m_vecMessages.empty());
}

TEST_F(ButtonTest, KeyboardButtonClickCarriesItsIdAndChangedKeysLookPressed)
{
    CKeyboardButton key(&m_wnd, 2238, m_rc, "", true, false);
    key.SetKeyAssignment("Q", 0xEB, 0xEB);
    EXPECT_EQ(key.m_nKeyId, 2238u);
    EXPECT_FALSE(key.m_bKeyChanged);
    EXPECT_EQ(key.GetDrawnFrame(), 0); // like an image button
    key.OnMouseMove(0, 20, 20);
    EXPECT_EQ(key.GetDrawnFrame(), 1);
    key.OnLButtonDown(MK_LBUTTON, 20, 20);
    key.OnLButtonUp(0, 20, 20);
    const std::vector<RecordedMessage> expected = {{2238, 0, NOTIFY_PRESS}, {2238, 2238, NOTIFY_CLICK}};
    EXPECT_EQ(m_wnd.m_vecMessages, expected);

    key.SetKeyAssignment("Q", 0xEB, 0x04);
    EXPECT_TRUE(key.m_bKeyChanged);
    key.OnMouseMove(0, 200, 200);
    EXPECT_EQ(key.GetDrawnFrame(), 2); // a re-assigned key looks pressed at rest
    key.OnMouseMove(0, 20, 20);
    EXPECT_EQ(key.GetDrawnFrame(), 1); // but still shows hover
}

TEST_F(ButtonTest, CheckButtonTogglesBeforeItNotifies)
{
    struct CWatcher : CSkinWindow
    {
        CCheckButton* pCheck = nullptr;
        std::vector<bool> vecSeen;
        LRESULT WindowProc(UINT nMsg, WPARAM, LPARAM lParam) override
        {
            if (nMsg == 2112 && lParam == NOTIFY_CLICK)
                vecSeen.push_back(pCheck->GetChecked());
            return 0;
        }
    } watcher;
    CCheckButton check(&watcher, 2112, m_rc, "", true, false);
    watcher.pCheck = &check;
    for (int i = 0; i < 2; ++i)
    {
        check.OnMouseMove(0, 20, 20);
        check.OnLButtonDown(MK_LBUTTON, 20, 20);
        EXPECT_EQ(check.GetDrawnFrame(), i == 0 ? 2 : 5);
        check.OnLButtonUp(0, 20, 20);
    }
    EXPECT_EQ(watcher.vecSeen, (std::vector<bool>{true, false}));
    check.SetChecked(true);
    EXPECT_EQ(check.GetDrawnFrame(), 4); // checked + hover
}

TEST_F(ButtonTest, ComboButtonReportsThroughItsPopupMessageAndShowsOpenPopup)
{
    CComboButton combo(&m_wnd, 2079, m_rc, "", true, false, 1028, "Disable");
    EXPECT_EQ(combo.GetCaption(), "Disable");
    combo.OnMouseMove(0, 20, 20);
    combo.OnLButtonDown(MK_LBUTTON, 20, 20);
    combo.OnLButtonUp(0, 20, 20);
    const std::vector<RecordedMessage> expected = {{2079, 0, NOTIFY_PRESS}, {1028, 2079, NOTIFY_CLICK}};
    EXPECT_EQ(m_wnd.m_vecMessages, expected);
    combo.SetPopupOpen(true);
    for (auto [x, y] : {std::pair{200, 200}, std::pair{20, 20}})
    {
        combo.OnMouseMove(0, x, y);
        EXPECT_EQ(combo.GetDrawnFrame(), 1);
    }
    combo.OnLButtonDown(MK_LBUTTON, 20, 20);
    EXPECT_EQ(combo.GetDrawnFrame(), 1);
    combo.SetPopupOpen(false);
    EXPECT_EQ(combo.GetDrawnFrame(), MS_PRESSED);
}

TEST_F(ButtonTest, RadioButtonsShareOneOptionWord)
{
    CRadioButton first(&m_wnd, 2013, m_rc, "", true, false, {&m_nOptionWord, 0x080, 0x180});
    CRadioButton second(&m_wnd, 2014, CRect(60, 10, 80, 30), "", true, false, {&m_nOptionWord, 0x100, 0x180});
    EXPECT_TRUE(first.IsSelected());
    EXPECT_EQ(first.GetDrawnFrame(), 2);
    second.OnMouseMove(0, 70, 20);
    second.OnLButtonDown(MK_LBUTTON, 70, 20);
    second.OnLButtonUp(0, 70, 20);
    EXPECT_EQ(m_nOptionWord, 0x12Au);
    EXPECT_FALSE(first.IsSelected());
    EXPECT_EQ(first.GetDrawnFrame(), 0);
    first.OnMouseMove(0, 20, 20);
    first.OnLButtonDown(MK_LBUTTON, 20, 20);
    first.OnLButtonUp(0, 20, 20);
    EXPECT_EQ(m_nOptionWord, 0xAAu);
    // A radio without an option changes nothing.
    CRadioButton other(&m_wnd, 2020, m_rc, "", true, false, {});
    other.OnLButtonDown(MK_LBUTTON, 20, 20);
    other.OnLButtonUp(0, 20, 20);
    EXPECT_EQ(m_nOptionWord, 0xAAu);
    EXPECT_FALSE(other.IsSelected());
}

TEST_F(ButtonTest, TabsSelectPagesAndProfiles)
{
    CTabControl slot0(&m_wnd, 2049, m_rc, "", true, false, {&m_nProfile, 0});
    CTabControl slot2(&m_wnd, 2051, CRect(60, 10, 90, 30), "", true, false, {&m_nProfile, 2});
    CTabControl page3(&m_wnd, 2077, CRect(100, 10, 130, 30), "", true, false, {&m_nPage, 3});
    EXPECT_EQ(slot0.GetDrawnFrame(), 2);
    slot2.OnMouseMove(0, 70, 20);
    slot2.OnLButtonDown(MK_LBUTTON, 70, 20);
    slot2.OnLButtonUp(0, 70, 20);
    EXPECT_EQ(m_nProfile, 2);
    EXPECT_EQ(m_nPage, 0);
    EXPECT_EQ(slot0.GetDrawnFrame(), 0);
    EXPECT_EQ(slot2.GetDrawnFrame(), 2);
    page3.OnLButtonDown(MK_LBUTTON, 110, 20);
    page3.OnLButtonUp(0, 300, 300); // released outside: no selection
    EXPECT_EQ(m_nPage, 0);
    page3.OnLButtonDown(MK_LBUTTON, 110, 20);
    page3.OnLButtonUp(0, 110, 20);
    EXPECT_EQ(m_nPage, 3);
}
