// The gallery's control pages: every skinned control in each of its states, the lists and the
// popups, placed on a board of their own.

#include "Gallery.h"

#include "skin/Buttons.h"
#include "skin/DlgBase.h"
#include "skin/ListControls.h"
#include "skin/Popups.h"
#include "skin/SkinDraw.h"

#include <QCoreApplication>
#include <QPainter>
#include <functional>

namespace
{
// A plain dialog that lets the gallery place any controls on a dark board with captions.
class CGalleryDlg : public CDlgBase
{
public:
    CGalleryDlg(int nWidth, int nHeight, std::function<void(CGalleryDlg&)> fnBuild)
        : CDlgBase(0, nullptr), m_fnBuild(std::move(fnBuild))
    {
        SetWindowSize(nWidth, nHeight);
        m_crBackground = 0x3A2A1E;
    }
    void CreateControls(int, int, int, int) override { m_fnBuild(*this); }
    void DrawBackground(QPainter* pDC, const CRect& rc) override { DrawStandardBackground(pDC, rc); }
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg >= 1025 && nMsg != WM_NCLBUTTONDOWN)
            return 0; // notifications are not acted on here
        return CDlgBase::WindowProc(nMsg, wParam, lParam);
    }
    void Caption(int x, int y, int w, const std::string& strText)
    {
        auto* pLabel = new CStaticText(this, 1, CRect(x, y, x + w, y + 16), "", true, false, 0xFFFFFF, DT_LEFT);
        pLabel->SetDisplayText(strText);
        AddControl(4, pLabel);
    }

private:
    std::function<void(CGalleryDlg&)> m_fnBuild;
};

// Puts a control into a mouse state through its own handlers: 0 normal, 1 hover, 2 pressed.
void SetState(CControlBase* pControl, int nState)
{
    const CRect rc = pControl->GetRect();
    const int x = rc.left + rc.Width() / 2;
    const int y = rc.top + rc.Height() / 2;
    if (nState >= 1)
        pControl->OnMouseMove(0, x, y);
    if (nState >= 2)
        pControl->OnLButtonDown(MK_LBUTTON, x, y);
}

} // namespace

MacroLibrary SampleLibrary(int nKeys)
{
    MacroLibrary library;
    MacroSet& set = library.AppendSet(DefaultMacroSetName);
    for (int i = 0; i < nKeys; ++i)
    {
        MacroKey& key = set.AppendKey("Macro " + std::to_string(i + 1));
        key.InsertAction(0, MacroAction::Key(0x41, false));
        key.InsertAction(1, MacroAction::Delay(500));
        key.InsertAction(2, MacroAction::Key(0x41, true));
    }
    if (nKeys > 2)
        set.m_vecKeys[2].m_strName = "A very long macro name";
    return library;
}

void RenderButtons()
{
    CGalleryDlg dlg(
        820, 560,
        [](CGalleryDlg& d)
        {
            int y = 10;
            // Image buttons of the main window, three states each.
            const struct
            {
                unsigned nPng;
                int w, h;
                const char* pszName;
            } kImageButtons[] = {
                {135, 22, 22, "close 135"},     {136, 21, 21, "minimise 136"}, {166, 30, 28, "OK 166"},
                {167, 30, 20, "Apply 167"},     {168, 30, 23, "hide 168"},     {164, 88, 25, "reset 164"},
                {257, 86, 25, "reset all 257"}, {267, 86, 23, "new 267"},      {268, 86, 23, "delete 268"},
                {269, 86, 23, "import 269"},    {270, 86, 23, "export 270"},
            };
            d.Caption(10, y, 300, "CImageButton: normal / hover / pressed");
            y += 20;
            int x = 10;
            for (const auto& entry : kImageButtons)
            {
                if (x + 3 * (entry.w + 6) > 800)
                {
                    x = 10;
                    y += 34;
                }
                for (int s = 0; s < 3; ++s)
                {
                    auto* p = new CImageButton(&d, 3000, CRect(x, y, x + entry.w, y + entry.h), "", true, false);
                    p->LoadImage(entry.nPng);
                    SetState(p, s);
                    d.AddControl(0, p);
                    x += entry.w + 6;
                }
                x += 14;
            }
            y += 44;
            // Keyboard buttons: the three states and a re-assigned key.
            d.Caption(10, y, 500,
                      "CKeyboardButton (Esc 271, Backspace 309, Space 370): normal / hover / pressed / changed");
            y += 20;
            x = 10;
            const struct
            {
                unsigned nPng;
                int w, h;
            } kKeys[] = {{271, 21, 22}, {309, 46, 22}, {370, 142, 22}};
            for (const auto& entry : kKeys)
            {
                for (int s = 0; s < 4; ++s)
                {
                    auto* p = new CKeyboardButton(&d, 2200, CRect(x, y, x + entry.w, y + entry.h), "", true, false);
                    p->LoadImage(entry.nPng);
                    p->SetKeyAssignment("key", 0x29, s == 3 ? 0x05 : 0x29);
                    if (s < 3)
                        SetState(p, s);
                    d.AddControl(1, p);
                    x += entry.w + 6;
                }
                x += 14;
            }
            y += 36;
            // Tabs: page tabs and profile tabs; the selected one shows its third frame.
            d.Caption(10, y, 500,
                      "CTabControl: page tabs (2003 selected, 2004 hover), profile tabs (2049 selected, 2050 pressed)");
            y += 20;
            x = 10;
            static int s_nPage = 0;
            static int s_nProfile = 0;
            const struct
            {
                UINT nId;
                unsigned nPng;
                int w, h;
                int nState;
                int* pSel;
                int nValue;
            } kTabs[] = {
                {2003, 137, 65, 26, 0, &s_nPage, 0},    {2004, 262, 47, 26, 1, &s_nPage, 1},
                {2005, 263, 53, 26, 0, &s_nPage, 2},    {2077, 264, 53, 26, 0, &s_nPage, 3},
                {2049, 171, 68, 21, 0, &s_nProfile, 0}, {2050, 170, 71, 21, 2, &s_nProfile, 1},
                {2051, 169, 71, 21, 0, &s_nProfile, 2},
            };
            for (const auto& entry : kTabs)
            {
                auto* p = new CTabControl(&d, entry.nId, CRect(x, y, x + entry.w, y + entry.h), "", true, false,
                                          {entry.pSel, entry.nValue});
                p->LoadImage(entry.nPng);
                SetState(p, entry.nState);
                d.AddControl(0, p);
                x += entry.w + 10;
            }
            y += 40;
            // Check buttons: all seven frames.
            d.Caption(
                10, y, 700,
                "CCheckButton 156 and 189: normal, hover, pressed, checked, checked+hover, checked+pressed, disabled");
            y += 20;
            x = 10;
            for (int f = 0; f < 7; ++f)
            {
                auto* p = new CCheckButton(&d, 2111, CRect(x, y, x + 16, y + 16), "", true, f == 6);
                p->LoadImage(156);
                p->SetChecked(f >= 3 && f < 6);
                if (f < 6)
                    SetState(p, f % 3);
                d.AddControl(0, p);
                x += 26;
            }
            x += 10;
            for (int f = 0; f < 7; ++f)
            {
                const int nLeft = x + (f % 4) * 162;
                const int nTop = y + (f / 4) * 33;
                auto* p = new CCheckButton(&d, 2113, CRect(nLeft, nTop, nLeft + 157, nTop + 29), "", true, f == 6);
                p->LoadImage(189);
                p->SetChecked(f >= 3 && f < 6);
                if (f < 6)
                    SetState(p, f % 3);
                d.AddControl(0, p);
            }
            y += 74;
            // Combo buttons: normal, hover, pressed, popup open.
            d.Caption(10, y, 500, "CComboButton 265 and 266: normal / hover / pressed / popup open");
            y += 20;
            for (int s = 0; s < 4; ++s)
            {
                auto* p = new CComboButton(&d, 2078, CRect(10, y + s * 34, 239, y + s * 34 + 30), "", true, false, 1028,
                                           "Disable");
                p->LoadImage(265);
                p->SetCaption(s == 3 ? "Assign a Macro: Macro 1" : "CTRL+1");
                if (s < 3)
                    SetState(p, s);
                else
                    p->SetPopupOpen(true);
                d.AddControl(2, p);
                auto* q = new CComboButton(&d, 2090, CRect(260, y + s * 34, 426, y + s * 34 + 30), "", true, false,
                                           1060, "Disable");
                q->LoadImage(266);
                q->SetCaption(s % 2 ? "100%" : "Red");
                if (s < 3)
                    SetState(q, s);
                else
                    q->SetPopupOpen(true);
                d.AddControl(3, q);
            }
            // Bitmap buttons: radio 275 (2013 selected by the start value), close, OK, Cancel.
            d.Caption(450, y, 360, "CRadioButton 275 / CRegionButton 154, 162, 163");
            int yy = y + 20;
            static UINT s_nOptionWord = 0xAA;
            for (int s = 0; s < 3; ++s)
            {
                auto* p = new CRadioButton(&d, s == 0 ? 2013 : 2014, CRect(450 + s * 30, yy, 469 + s * 30, yy + 19), "",
                                           true, false, {&s_nOptionWord, s == 0 ? 0x080u : 0x100u, 0x180u});
                p->SetBitmap(275, 19, 19, 0, 0);
                SetState(p, s);
                d.AddControl(0, p);
            }
            yy += 28;
            const struct
            {
                unsigned nBmp;
                int w, h;
            } kRegion[] = {{154, 26, 24}, {162, 73, 29}, {163, 66, 29}};
            for (const auto& entry : kRegion)
            {
                int xx = 450;
                for (int s = 0; s < 3; ++s)
                {
                    auto* p = new CRegionButton(&d, 2010, CRect(xx, yy, xx + entry.w, yy + entry.h), "", true, false);
                    p->SetBitmap(entry.nBmp, entry.w, entry.h, 0, 0);
                    SetState(p, s);
                    d.AddControl(0, p);
                    xx += entry.w + 10;
                }
                yy += entry.h + 6;
            }
        });
    dlg.Create();
    Save(dlg.RenderClient(), QStringLiteral("controls_buttons_all_states"));
}

namespace
{

MacroKey SampleKey()
{
    MacroKey key;
    key.m_strName = "Sample";
    const unsigned char kVk[] = {0x11, 0x10, 0x41, 0x0D, 0x20, 0x70};
    unsigned n = 0;
    for (unsigned char vk : kVk)
    {
        key.InsertAction(n++, MacroAction::Key(vk, false));
        key.InsertAction(n++, MacroAction::Delay(vk == 0x41 ? 1500 : 35));
        key.InsertAction(n++, MacroAction::Key(vk, true));
    }
    return key;
}

} // namespace

void RenderTextAndLists()
{
    static MacroLibrary s_library = SampleLibrary(9);
    static MacroKey s_key = SampleKey();
    CGalleryDlg dlg(
        800, 330,
        [](CGalleryDlg& d)
        {
            // Labels: left, centred, with an ellipsis.
            const struct
            {
                COLORREF cr;
                UINT nFormat;
                const char* pszText;
            } kLabels[] = {
                {0xFE9252, DT_LEFT, "Attention!"},
                {0xFFFFFF, DT_CENTER, "Centred label text 中文"},
                {0xFFFFFF, DT_LEFT, "A label much too long for its rectangle gets a word ellipsis at the end"},
            };
            int y = 10;
            for (const auto& entry : kLabels)
            {
                auto* p =
                    new CStaticText(&d, 2012, CRect(10, y, 250, y + 20), "", true, false, entry.cr, entry.nFormat);
                p->SetDisplayText(entry.pszText);
                d.AddControl(0, p);
                y += 24;
            }
            // Scroll bars: normal, hover on the thumb, dragging, no range.
            d.Caption(270, 10, 170, "CVScrollBar: 5 states");
            // Normal, over the up arrow, over the thumb, thumb dragged, no range.
            for (int s = 0; s < 5; ++s)
            {
                const int x = 270 + s * 34;
                auto* p = new CVScrollBar(&d, 2115, CRect(x, 30, x + 21, 277), "", true, false);
                p->LoadImages();
                p->SetScrollState(s == 4 ? 0 : 4, 10, s == 4 ? 0 : 24);
                const CRect rcThumb = p->GetThumbRect();
                if (s == 1)
                    p->OnMouseMove(0, x + 10, 35);
                if (s == 2 || s == 3)
                    p->OnMouseMove(0, x + 10, rcThumb.top + 3);
                if (s == 3)
                {
                    p->OnLButtonDown(MK_LBUTTON, x + 10, rcThumb.top + 3);
                    p->OnMouseMove(MK_LBUTTON, x + 10, rcThumb.top + 60);
                }
                d.AddControl(1, p);
            }
            // The name list with a selection, scrolled, and with the edit box for a new name.
            d.Caption(450, 10, 340, "CEditShowList / CImageShowList");
            auto* pNames = new CEditShowList(&d, 2109, CRect(450, 30, 599, 278), "", true, false, &s_library);
            pNames->SelectSet(0);
            pNames->SetSelectedRow(2);
            pNames->BeginNewName();
            if (pNames->GetEditBox())
                pNames->GetEditBox()->setText(QStringLiteral("New macro"));
            d.AddControl(1, pNames);
            auto* pActions = new CImageShowList(&d, 2114, CRect(620, 30, 770, 278), "", true, false);
            pActions->LoadIcons();
            pActions->SetMacroKey(&s_key);
            pActions->SetSelectedRow(1);
            d.AddControl(1, pActions);
            auto* pEmpty = new CEditShowList(&d, 2109, CRect(10, 100, 159, 300), "", true, false, &s_library);
            pEmpty->SelectSet(5); // no such set: nothing but the fill
            d.AddControl(1, pEmpty);
            d.Caption(10, 80, 250, "CEditShowList without a set");
        });
    dlg.Create();
    // The edit box is a real child widget: grab shows it over the list.
    dlg.resize(800, 330);
    Save(dlg.grab().toImage(), QStringLiteral("controls_text_scroll_lists"));
}

namespace
{

void RenderPopup(CItemPopup* pPopup, const QString& strName, int nHotIndex, int nWidth = 160)
{
    CGalleryDlg parent(300, 300, [](CGalleryDlg&) {});
    parent.Create();
    parent.OpenPopup(1, CRect(0, 0, nWidth, 10), pPopup, 2078);
    Save(pPopup->GetRenderedImage(), strName);
    if (nHotIndex >= 0 && nHotIndex < static_cast<int>(pPopup->GetItems().size()))
    {
        const CRect rc = pPopup->GetItems()[static_cast<size_t>(nHotIndex)].m_rect;
        pPopup->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(rc.left + 5, rc.top + 5));
        Save(pPopup->GetRenderedImage(), strName + QStringLiteral("_hot_item%1").arg(nHotIndex));
    }
    parent.ClosePopup(1);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void RenderPopups()
{
    static MacroLibrary s_library = SampleLibrary(3);
    static MacroLibrary s_empty;
    RenderPopup(new CComboPopup, QStringLiteral("popup_function_menu"), 1);
    RenderPopup(new CProfilePopup, QStringLiteral("popup_multimedia"), 3);
    RenderPopup(new CDPIPopup, QStringLiteral("popup_window_manage"), 9);
    RenderPopup(new CMultimediaPopup, QStringLiteral("popup_mouse_function"), 6, 140);
    RenderPopup(new CMacroLibraryPopup(&s_library), QStringLiteral("popup_macro_library"), 1);
    RenderPopup(new CMacroLibraryPopup(&s_empty), QStringLiteral("popup_macro_library_empty"), -1);
    RenderPopup(new CLightColorPopup, QStringLiteral("popup_light_colour"), 2);
    RenderPopup(new CLightBrightnessPopup, QStringLiteral("popup_light_brightness"), 0);
}
