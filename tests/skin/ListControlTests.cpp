#include "SkinTestSupport.h"

#include "model/KeyTables.h"
#include "model/Macro.h"
#include "skin/ListControls.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace
{

MacroLibrary LibraryWithKeys(int nKeys)
{
    MacroLibrary library;
    MacroSet& set = library.AppendSet(DefaultMacroSetName);
    for (int i = 0; i < nKeys; ++i)
        set.AppendKey("M" + std::to_string(i));
    return library;
}

class ScrollBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bar.LayOut(20); // arrows 20 pixels high
        m_bar.SetScrollState(0, 10, 40);
    }
    CRecordingWindow m_wnd;
    // 21 x 247 like the macro page's bars.
    CVScrollBar m_bar{&m_wnd, 2115, CRect(231, 194, 252, 441), "", true, false};
};

} // namespace

TEST_F(ScrollBarTest, LayoutAndThumbArithmetic)
{
    EXPECT_EQ(m_bar.GetUpArrowRect(), CRect(231, 194, 252, 213));
    EXPECT_EQ(m_bar.GetDownArrowRect(), CRect(231, 422, 252, 441));
    EXPECT_EQ(m_bar.GetTrackRect(), CRect(231, 214, 252, 422));
    // L = 422 - 214 + 1 = 209; length trunc(209 * 10 / 40 + 0.5) = 52.
    EXPECT_EQ(m_bar.GetThumbRect(), CRect(231, 214, 252, 265));
    m_bar.SetScrollState(30, 10, 40);
    // top = 214 + trunc(209 * 30 / 40 + 0.5) = 214 + 157; bottom = min(371 + 51, 422).
    EXPECT_EQ(m_bar.GetThumbRect(), CRect(231, 371, 252, 422));
    m_bar.SetScrollState(0, 80, 40); // page larger than range: the thumb is the whole track
    EXPECT_EQ(m_bar.GetThumbRect().top, 214);
    EXPECT_EQ(m_bar.GetThumbRect().bottom, 422);
    m_bar.SetScrollState(5, 5, 0); // no range: whole track, values kept
    EXPECT_EQ(m_bar.GetThumbRect(), m_bar.GetTrackRect());
    EXPECT_EQ(m_bar.GetRange(), 40);
}

TEST_F(ScrollBarTest, ABarWithNothingToScrollTakesTheListFillAndComesBackWhenThereIsMore)
{
    const auto pixelAt = [this](int y)
    {
        QImage img(300, 500, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter painter(&img);
        m_bar.Draw(&painter, m_bar.GetRect());
        painter.end();
        return img.pixel(241, y) & 0xFFFFFF;
    };
    const QRgb rgbListFill = ColorRefToQRgb(SkinColour::kListFill) & 0xFFFFFF;
    m_bar.SetScrollState(0, 10, 8); // eight rows in a list of ten
    EXPECT_EQ(pixelAt(200), rgbListFill) << "no arrow";
    EXPECT_EQ(pixelAt(400), rgbListFill) << "no track or thumb";
    m_bar.SetScrollState(0, 10, 0);
    EXPECT_EQ(pixelAt(400), rgbListFill);
    m_bar.SetScrollState(0, 10, 40);
    EXPECT_EQ(pixelAt(400), ColorRefToQRgb(SkinColour::kScrollTrack) & 0xFFFFFF);
}

TEST_F(ScrollBarTest, PressReportsThePart)
{
    const int x = 240;
    m_bar.SetScrollState(10, 10, 40); // thumb at 266..317
    const std::pair<int, WPARAM> kPoints[] = {
        {200, SB_PART_UP}, {430, SB_PART_DOWN}, {280, SB_PART_THUMB}, {220, SB_PART_PAGE_UP}, {400, SB_PART_PAGE_DOWN}};
    for (auto [y, nPart] : kPoints)
    {
        m_wnd.m_vecMessages.clear();
        m_bar.OnMouseMove(0, x, y);
        m_bar.OnLButtonDown(MK_LBUTTON, x, y);
        ASSERT_EQ(m_wnd.m_vecMessages.size(), 1u) << y;
        EXPECT_EQ(m_wnd.m_vecMessages[0], (RecordedMessage{2115, nPart, NOTIFY_PRESS})) << y;
        m_bar.OnLButtonUp(0, x, y);
    }
}

TEST_F(ScrollBarTest, DraggingToTheBottomAndReleaseSnaps)
{
    const int x = 240;
    m_bar.OnMouseMove(0, x, 220);
    EXPECT_TRUE(m_bar.IsOverThumb());
    m_bar.OnLButtonDown(MK_LBUTTON, x, 220);
    ASSERT_TRUE(m_bar.IsDragging());
    m_bar.OnMouseMove(MK_LBUTTON, x, 260);
    // Thumb top 214 + 40 = 254: position trunc(40 * 40 / 209) = 7.
    EXPECT_EQ(m_bar.GetDragRect().top, 254);
    EXPECT_EQ(m_bar.GetPosition(), 7);
    m_bar.OnMouseMove(MK_LBUTTON, x, 436); // far below the track end
    EXPECT_EQ(m_bar.GetDragRect().bottom, 422);
    // At the bottom: trunc((L - thumb length) * range / L) = trunc(157 * 40 / 209) = 30.
    EXPECT_EQ(m_bar.GetPosition(), 30);
    int nScrolls = 0;
    for (const auto& m : m_wnd.m_vecMessages)
        nScrolls += m.lParam == NOTIFY_SCROLL;
    EXPECT_EQ(nScrolls, 2);
    m_bar.OnMouseMove(MK_LBUTTON, x, 436); // no movement possible: no more notifications
    m_bar.OnLButtonUp(0, x, 436);
    EXPECT_FALSE(m_bar.IsDragging());
    // Snapped: top = 214 + trunc(209 * 30 / 40 + 0.5) = 371.
    EXPECT_EQ(m_bar.GetThumbRect().top, 371);
    EXPECT_EQ(m_wnd.m_vecMessages.back(), (RecordedMessage{2115, 0, NOTIFY_CLICK}));
}

TEST_F(ScrollBarTest, DraggingUpStopsAtTheTrackTopAndReleaseOutsideEndsTheDrag)
{
    m_bar.SetScrollState(20, 10, 40);
    const CRect rcThumb = m_bar.GetThumbRect();
    m_bar.OnMouseMove(0, 240, rcThumb.top + 2);
    m_bar.OnLButtonDown(MK_LBUTTON, 240, rcThumb.top + 2);
    m_bar.OnMouseMove(MK_LBUTTON, 240, 196);
    EXPECT_EQ(m_bar.GetDragRect().top, 214);
    EXPECT_EQ(m_bar.GetPosition(), 0);
    m_bar.OnLButtonUp(0, 500, 500);
    EXPECT_FALSE(m_bar.IsDragging());
    EXPECT_EQ(m_bar.GetMouseState(), MS_NORMAL);
    EXPECT_EQ(m_bar.GetThumbRect().top, 214);
}

TEST(EditShowList, VisibleRowsFromHeight)
{
    CRecordingWindow wnd;
    CEditShowList list200(&wnd, 2109, CRect(0, 0, 100, 200), "", true, false, nullptr);
    CEditShowList list195(&wnd, 2109, CRect(0, 0, 100, 195), "", true, false, nullptr);
    CEditShowList list248(&wnd, 2109, CRect(81, 194, 230, 442), "", true, false, nullptr);
    EXPECT_EQ(list200.GetVisibleRows(), 10);
    EXPECT_EQ(list195.GetVisibleRows(), 10);
    EXPECT_EQ(list248.GetVisibleRows(), 12);
}

TEST(EditShowList, SelectSetAndRowClicks)
{
    CRecordingWindow wnd;
    MacroLibrary library = LibraryWithKeys(3);
    library.AppendSet("empty");
    CEditShowList list(&wnd, 2109, CRect(0, 0, 100, 200), "", true, false, &library);
    list.SelectSet(0);
    EXPECT_EQ(list.GetSelectedRow(), 0);
    list.OnMouseMove(0, 10, 45);
    list.OnLButtonDown(MK_LBUTTON, 10, 45);
    EXPECT_EQ(list.GetSelectedRow(), 2);
    list.OnLButtonDown(MK_LBUTTON, 10, 65); // below the last key: selection stays
    EXPECT_EQ(list.GetSelectedRow(), 2);
    list.OnLButtonUp(0, 10, 65);
    const std::vector<RecordedMessage> expected = {{2109, 0, NOTIFY_CLICK}}; // nothing on press
    EXPECT_EQ(wnd.m_vecMessages, expected);
    list.SelectSet(1);
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.SelectSet(7);
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.ScrollToEnd();
    EXPECT_EQ(list.GetFirstVisibleRow(), 0);
}

TEST(EditShowList, NewNameScrollsAndPlacesTheEditBoxOnTheLastRow)
{
    CTestDlg dlg;
    dlg.Create();
    MacroLibrary library = LibraryWithKeys(12);
    CEditShowList list(&dlg, 2109, CRect(10, 20, 110, 220), "", true, false, &library);
    list.SelectSet(0);
    ASSERT_TRUE(list.BeginNewName());
    EXPECT_EQ(list.GetFirstVisibleRow(), 3);
    ASSERT_TRUE(list.HasEditBox());
    EXPECT_EQ(list.GetEditBox()->geometry(), QRect(12, 20 + 9 * 20 + 2, 96, 18));
    EXPECT_EQ(list.GetEditBox()->parentWidget(), &dlg);
    EXPECT_FALSE(list.BeginNewName()); // one box at a time
    list.ScrollToEnd();
    EXPECT_EQ(list.GetFirstVisibleRow(), 2);

    CEditShowList noSet(&dlg, 2109, CRect(10, 20, 110, 220), "", true, false, &library);
    noSet.SelectSet(4);
    EXPECT_TRUE(noSet.BeginNewName());
    EXPECT_FALSE(noSet.HasEditBox());
}

TEST(EditShowList, NameValidationCodes)
{
    CTestDlg dlg;
    dlg.Create();
    MacroLibrary library = LibraryWithKeys(2);
    CEditShowList list(&dlg, 2109, CRect(0, 0, 100, 200), "", true, false, &library);
    list.SelectSet(0);
    auto press = [&]
    {
        list.OnLButtonDown(MK_LBUTTON, 10, 10);
        list.OnLButtonUp(0, 10, 10);
    };

    ASSERT_TRUE(list.BeginNewName());
    list.GetEditBox()->setText(QStringLiteral("ABCDEFGHIJKLM")); // 13 bytes
    press();
    EXPECT_TRUE(list.HasEditBox());
    EXPECT_EQ(dlg.m_vecMessages.at(0), (RecordedMessage{2109, 0, NOTIFY_NAME_TOO_LONG}));

    dlg.m_vecMessages.clear();
    list.GetEditBox()->setText(QStringLiteral("M1"));
    press();
    EXPECT_TRUE(list.HasEditBox());
    EXPECT_EQ(dlg.m_vecMessages.at(0), (RecordedMessage{2109, 0, NOTIFY_NAME_EXISTS}));

    dlg.m_vecMessages.clear();
    list.GetEditBox()->setText(QStringLiteral("m1")); // names compare case-sensitively
    press();
    EXPECT_FALSE(list.HasEditBox());
    EXPECT_EQ(dlg.m_vecMessages.at(0), (RecordedMessage{2109, 0, NOTIFY_NAME_ADDED}));
    ASSERT_EQ(library.FirstSet()->m_vecKeys.size(), 3u);
    EXPECT_EQ(library.FirstSet()->m_vecKeys[2].m_strName, "m1");

    dlg.m_vecMessages.clear();
    ASSERT_TRUE(list.BeginNewName());
    list.GetEditBox()->setText(QStringLiteral("中文名字五")); // 15 bytes
    press();
    EXPECT_EQ(dlg.m_vecMessages.at(0), (RecordedMessage{2109, 0, NOTIFY_NAME_TOO_LONG}));
    list.GetEditBox()->setText(QStringLiteral("中文名字")); // 12 bytes
    press();
    EXPECT_EQ(library.FirstSet()->m_vecKeys.back().m_strName, "中文名字");

    dlg.m_vecMessages.clear();
    ASSERT_TRUE(list.BeginNewName());
    press(); // empty: abandoned without a message
    EXPECT_FALSE(list.HasEditBox());
    EXPECT_EQ(dlg.m_vecMessages, (std::vector<RecordedMessage>{{2109, 0, NOTIFY_CLICK}}));
    EXPECT_EQ(library.FirstSet()->m_vecKeys.size(), 4u);
}

TEST(ImageShowList, ActionTexts)
{
    int nIcon = -1;
    const unsigned char delay[4] = {0x03, 0x00, 0x01, 0xF4};
    EXPECT_EQ(CImageShowList::ActionText(delay, &nIcon), "500ms");
    EXPECT_EQ(nIcon, 2);
    const unsigned char release[4] = {0x41, 0x80, 0x00, 0x00};
    EXPECT_EQ(CImageShowList::ActionText(release, &nIcon), std::string(VkNameTable[0x41]) + " Release");
    EXPECT_EQ(nIcon, 0);
    const unsigned char press[4] = {0x0D, 0x00, 0x00, 0x00};
    EXPECT_EQ(CImageShowList::ActionText(press, &nIcon), std::string(VkNameTable[0x0D]) + " Press");
    EXPECT_EQ(nIcon, 1);
    const unsigned char longDelay[4] = {0x00, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(CImageShowList::ActionText(longDelay, nullptr), "16777215ms");
}

TEST(ImageShowList, RowSelectionStaysWithinTheActions)
{
    CRecordingWindow wnd;
    MacroKey key;
    for (unsigned i = 0; i < 4; ++i)
        key.InsertAction(i, MacroAction::Key(0x41, (i % 2) != 0));
    CImageShowList list(&wnd, 2114, CRect(0, 0, 150, 248), "", true, false);
    list.OnLButtonDown(MK_LBUTTON, 20, 10); // nothing shown: no selection
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.SetMacroKey(&key);
    list.SetFirstVisibleRow(1);
    list.OnLButtonDown(MK_LBUTTON, 20, 45);
    EXPECT_EQ(list.GetSelectedRow(), 3);
    list.OnLButtonDown(MK_LBUTTON, 20, 65);
    EXPECT_EQ(list.GetSelectedRow(), 3);
    list.OnLButtonUp(0, 20, 65);
    EXPECT_EQ(wnd.m_vecMessages, (std::vector<RecordedMessage>{{2114, 0, NOTIFY_CLICK}}));
}

TEST(ListDrawing, RowsHighlightSelectionAndClipAtTheEnd)
{
    CTestDlg dlg;
    dlg.Create();
    MacroLibrary library = LibraryWithKeys(2);
    auto* pList = new CEditShowList(&dlg, 2109, CRect(10, 10, 110, 110), "", true, false, &library);
    pList->SelectSet(0);
    pList->SetSelectedRow(1);
    dlg.AddControl(1, pList);
    const QImage img = dlg.RenderClient();
    EXPECT_EQ(img.pixel(11, 50), ColorRefToQRgb(SkinColour::kListFill));  // list edge
    EXPECT_EQ(img.pixel(13, 31), ColorRefToQRgb(SkinColour::kHighlight)); // selected row 1
    EXPECT_EQ(img.pixel(13, 11), ColorRefToQRgb(SkinColour::kListFill));  // row 0 not selected
    EXPECT_EQ(img.pixel(13, 60), ColorRefToQRgb(SkinColour::kListFill));  // no row 2
}

TEST(ListDrawing, ScrollingBeforeTheFirstRowStopsAtTheFirstRow)
{
    CTestDlg dlg;
    dlg.Create();
    MacroLibrary library = LibraryWithKeys(3);
    auto* pNames = new CEditShowList(&dlg, 2109, CRect(10, 10, 110, 110), "", true, false, &library);
    pNames->SelectSet(0);
    pNames->SetFirstVisibleRow(-2);
    ASSERT_EQ(pNames->GetFirstVisibleRow(), 0);
    dlg.AddControl(1, pNames);
    MacroKey key;
    key.InsertAction(0, MacroAction::Key(0x41, false));
    auto* pActions = new CImageShowList(&dlg, 2114, CRect(150, 10, 250, 110), "", true, false);
    pActions->SetMacroKey(&key);
    pActions->SetFirstVisibleRow(-1);
    ASSERT_EQ(pActions->GetFirstVisibleRow(), 0);
    pActions->SetSelectedRow(0);
    dlg.AddControl(1, pActions);
    const QImage img = dlg.RenderClient();
    EXPECT_EQ(img.pixel(13, 11), ColorRefToQRgb(SkinColour::kHighlight));  // key 0 selected, on row 0
    EXPECT_EQ(img.pixel(168, 11), ColorRefToQRgb(SkinColour::kHighlight)); // action 0 on row 0
    pNames->OnLButtonDown(MK_LBUTTON, 20, 35);
    EXPECT_EQ(pNames->GetSelectedRow(), 1);
}

TEST(StaticText, ClickableLabelNotifies)
{
    CRecordingWindow wnd;
    CStaticText label(&wnd, 2013, CRect(2, 127, 400, 147), "", true, false, 0xFFFFFF, DT_CENTER);
    label.SetDisplayText("hello");
    EXPECT_EQ(label.GetText(), "");
    label.OnMouseMove(0, 10, 130);
    label.OnLButtonDown(MK_LBUTTON, 10, 130);
    label.OnLButtonUp(0, 10, 130);
    EXPECT_EQ(wnd.m_vecMessages, (std::vector<RecordedMessage>{{2013, 0, NOTIFY_PRESS}, {2013, 0, NOTIFY_CLICK}}));
}

TEST(ScrollBarShort, BarWithoutRoomForATrackStaysCalm)
{
    CRecordingWindow wnd;
    CVScrollBar bar(&wnd, 2116, CRect(0, 0, 21, 30), "", true, false);
    bar.LayOut(20); // arrows overlap: no track at all
    bar.SetScrollState(3, 5, 10);
    bar.OnMouseMove(0, 10, 10);
    bar.OnLButtonDown(MK_LBUTTON, 10, 10);
    bar.OnMouseMove(MK_LBUTTON, 10, 25);
    bar.OnLButtonUp(0, 10, 25);
    EXPECT_EQ(bar.GetPosition(), 3);
}
