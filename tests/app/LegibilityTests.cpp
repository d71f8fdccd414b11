// Every text the skin draws can be read: the generator's pictures and the running window, each
// rendered with and without its texts, checked on the pixels (LegibilityCheck.h).

#include "LegibilityCheck.h"
#include "MainWindowTestSupport.h"

#include "Artwork.h"
#include "KeyButtonLayout.h"
#include "SkinPaint.h"

#include "dialogs/FirmwareResetDlg.h"
#include "dialogs/KeyMapSettingDlg.h"
#include "dialogs/QuickLaunchDlg.h"
#include "dialogs/ShortcutDlg.h"
#include "mainwindow/MainWindowIds.h"
#include "skin/AttentionDlg.h"
#include "skin/Popups.h"
#include "skin/SkinDraw.h"

#include <QPainter>

#include <functional>
#include <map>

using namespace MainWindow;

namespace
{
// Pairs that the toolkit's fixed colours make and that no drawing of ours can change.
const std::vector<ContrastException> kExceptions = {
    {QColor(255, 255, 255), QColor(53, 160, 222),
     "white item text on the highlight of the hot popup item and the selected list row; both colours are the "
     "toolkit's fixed ones"},
};

std::string Report(const LegibilityReport& report)
{
    std::string str;
    for (const std::string& strLine : report.vecFailures)
        str += "  " + strLine + "\n";
    return str;
}

void PrintExceptions(const LegibilityReport& report)
{
    for (const std::string& strLine : report.vecExceptions)
        std::printf("exception: %s\n", strLine.c_str());
    std::printf("%d texts checked\n", report.nChecked);
}

// ---- The generator's pictures ----

// The main window's controls that show a generated strip with words on it.
const std::map<int, UINT> kStripControls = {
    {137, 2003}, {262, 2004}, {263, 2005}, {264, 2077}, {171, 2049}, {170, 2050}, {169, 2051}, {166, 2046}, {167, 2047},
    {168, 2048}, {164, 2045}, {257, 2076}, {267, 2100}, {268, 2101}, {269, 2102}, {270, 2103}, {189, 2113}};

struct ArtText
{
    size_t nResource; // the picture drawn next when the text was drawn
    ArtTextLine line;
};

std::vector<GeneratedResource> DrawAllArtwork()
{
    std::vector<GeneratedResource> vec;
    AddWindowArtwork(vec);
    AddDialogArtwork(vec);
    AddControlArtwork(vec);
    return vec;
}

// Transparent pixels are seen over the window's navy.
QImage OverNavy(const QImage& img)
{
    QImage out(img.size(), QImage::Format_RGB32);
    out.fill(QColor(10, 25, 56));
    QPainter painter(&out);
    painter.drawImage(0, 0, img);
    return out;
}

std::string PictureName(const GeneratedResource& res, int nFrame)
{
    std::string str = (res.m_eKind == EResourceKind::Bitmap ? "bitmap " : "PNG ") + std::to_string(res.m_nId) + " (" +
                      res.m_strNote.toStdString() + ")";
    UINT nControl = 0;
    if (const auto it = kStripControls.find(res.m_nId); it != kStripControls.end())
        nControl = it->second;
    for (const KeyButtonLayout& key : KeyButtonLayoutTable)
        if (key.m_nImageId == res.m_nId)
            nControl = static_cast<UINT>(key.m_nId);
    if (nControl != 0)
        str = "control " + std::to_string(nControl) + " " + str;
    if (res.m_nFrames > 1)
        str += " frame " + std::to_string(nFrame);
    return str;
}
} // namespace

TEST(Legibility, EveryTextOfTheGeneratedPicturesIsLegible)
{
    std::vector<ArtText> vecTexts;
    std::vector<GeneratedResource> vecWith;
    SetArtTextWatcher(
        [&](const ArtTextLine& line)
        {
            // Shadows under a text are part of its background.
            if (line.m_colour.alpha() == 255)
                vecTexts.push_back({vecWith.size(), line});
            return true;
        });
    AddWindowArtwork(vecWith);
    AddDialogArtwork(vecWith);
    AddControlArtwork(vecWith);
    SetArtTextWatcher([](const ArtTextLine&) { return false; });
    const std::vector<GeneratedResource> vecWithout = DrawAllArtwork();
    SetArtTextWatcher(nullptr);
    ASSERT_EQ(vecWith.size(), vecWithout.size());

    std::vector<QImage> vecImgWith, vecImgWithout;
    for (size_t i = 0; i < vecWith.size(); ++i)
    {
        vecImgWith.push_back(OverNavy(vecWith[i].m_image));
        vecImgWithout.push_back(OverNavy(vecWithout[i].m_image));
    }
    LegibilityReport report;
    for (const ArtText& text : vecTexts)
    {
        const QRect rcText = text.line.m_rcDevice.toAlignedRect();
        // The picture that holds the text: the next one drawn, or one built from it soon after.
        for (size_t i = text.nResource; i < std::min(vecWith.size(), text.nResource + 4); ++i)
        {
            const QImage& imgWith = vecImgWith[i];
            const QRect rcArea = rcText & imgWith.rect();
            bool bInk = false;
            for (int y = rcArea.top(); y <= rcArea.bottom() && !bInk; ++y)
                for (int x = rcArea.left(); x <= rcArea.right() && !bInk; ++x)
                    bInk = imgWith.pixel(x, y) != vecImgWithout[i].pixel(x, y);
            if (!bInk)
                continue;
            const GeneratedResource& res = vecWith[i];
            const int nFrameWidth = res.m_image.width() / res.m_nFrames;
            const int nFrame = nFrameWidth > 0 ? rcText.center().x() / nFrameWidth : 0;
            DrawnText drawn;
            drawn.strWhere = PictureName(res, nFrame);
            drawn.strText = text.line.m_strText;
            drawn.rcText = rcText;
            if (res.m_eKind == EResourceKind::Png && res.m_nFrames > 1)
                drawn.rcControl = QRect(nFrame * nFrameWidth, 0, nFrameWidth, res.m_image.height());
            drawn.bLegend = res.m_strNote.startsWith("keycap ");
            drawn.font = text.line.m_font;
            CheckText(imgWith, vecImgWithout[i], drawn, kExceptions, report);
            break;
        }
    }
    PrintExceptions(report);
    EXPECT_GT(report.nChecked, 150);
    EXPECT_TRUE(report.vecFailures.empty()) << report.vecFailures.size() << " texts fail:\n" << Report(report);
}

// ---- The running window ----

namespace
{
struct SkinTextLog
{
    bool bDraw = true;
    std::vector<SkinTextDraw> vecTexts;
};

bool LogSkinText(void* pContext, const SkinTextDraw& text)
{
    auto* pLog = static_cast<SkinTextLog*>(pContext);
    if (pLog->bDraw)
        pLog->vecTexts.push_back(text);
    return pLog->bDraw;
}

// The control under a text: its id and rectangle, or none.
using ControlFinder = std::function<std::pair<std::string, QRect>(const QRect& rcText)>;

ControlFinder ControlsOf(const CDlgBase& dlg)
{
    return [&dlg](const QRect& rcText) -> std::pair<std::string, QRect>
    {
        for (int nList = 0; nList < 5; ++nList)
            for (const CControlBase* pControl : dlg.GetControlList(nList))
                if (pControl->IsVisible() && pControl->GetRect().ToQRect().contains(rcText.center()))
                    return {"control " + std::to_string(pControl->GetId()), pControl->GetRect().ToQRect()};
        return {"background", QRect()};
    };
}

ControlFinder ItemsOf(const CWndPopup* pPopup, const std::string& strPopup)
{
    return [pPopup, strPopup](const QRect& rcText) -> std::pair<std::string, QRect>
    {
        if (const auto* pItems = dynamic_cast<const CItemPopup*>(pPopup))
            for (const PopupItem& item : pItems->GetItems())
                if (item.m_rect.ToQRect().contains(rcText.center()))
                    return {strPopup + " item " + std::to_string(item.m_nCode), item.m_rect.ToQRect()};
        return {strPopup, QRect()};
    };
}

class LegibilityWindowTest : public MainWindowTest
{
protected:
    LegibilityWindowTest() { SetSkinTextWatcher(LogSkinText, &m_log); }
    ~LegibilityWindowTest() override { SetSkinTextWatcher(nullptr, nullptr); }

    void Check(const std::string& strView, const std::function<QImage()>& fnRender, const ControlFinder& fnFind)
    {
        m_log.bDraw = true;
        m_log.vecTexts.clear();
        const QImage imgWith = fnRender().convertToFormat(QImage::Format_RGB32);
        const std::vector<SkinTextDraw> vecTexts = m_log.vecTexts;
        m_log.bDraw = false;
        const QImage imgWithout = fnRender().convertToFormat(QImage::Format_RGB32);
        m_log.bDraw = true;
        for (const SkinTextDraw& text : vecTexts)
        {
            const auto [strControl, rcControl] = fnFind(text.m_rcDevice);
            DrawnText drawn;
            drawn.strWhere = strView + ", " + strControl;
            drawn.strText = text.m_strShown;
            drawn.rcText = text.m_rcDevice;
            drawn.rcControl = rcControl;
            CheckText(imgWith, imgWithout, drawn, kExceptions, m_report);
        }
    }
    void CheckDialog(const std::string& strView, CDlgBase& dlg)
    {
        Check(
            strView, [&dlg] { return dlg.RenderClient(); }, ControlsOf(dlg));
    }
    void CheckPopup(const std::string& strView, int nSlot)
    {
        CWndPopup* pPopup = Dlg().GetPopup(nSlot);
        ASSERT_NE(pPopup, nullptr) << strView;
        Check(
            strView,
            [pPopup]
            {
                pPopup->RenderLayered();
                return pPopup->GetRenderedImage();
            },
            ItemsOf(pPopup, strView));
    }

    SkinTextLog m_log;
    LegibilityReport m_report;
};
} // namespace

TEST_F(LegibilityWindowTest, EveryTextOfTheRunningWindowAndItsDialogsIsLegible)
{
    Open();
    for (const char* pszName : {"Greeting", "Copy and paste", "A rather long macro name"})
        Dlg().m_MacroLibrary.FirstSet()->AppendKey(pszName).InsertAction(0, MacroAction::Key(0x41, false));
    Dlg().RefreshProfileView();
    const auto render = [this] { return Dlg().RenderClient(); };
    const char* kPages[] = {"key page", "macro page", "programmable-key page", "lighting page"};
    for (int nPage = 0; nPage < PageCount; ++nPage)
    {
        Click(PageTabIds[nPage]);
        Check(std::string("main window, ") + kPages[nPage], render, ControlsOf(Dlg()));
    }

    Click(IDC_TAB_PROGRAMMABLE_KEY_PAGE);
    Click(IDC_PROGRAMMABLE_KEY_FIRST);
    const struct
    {
        const char* pszItem;
        int nSlot;
        const char* pszName;
    } kSubmenus[] = {
        {"Assign a Macro", PopupSlotMacroLibrary, "macro submenu"},
        {"Multimedia", PopupSlotMultimedia, "multimedia submenu"},
        {"Window Manage", PopupSlotWindowManage, "window manage submenu"},
        {"Mouse Function", PopupSlotMouseFunction, "mouse function submenu"},
    };
    for (const auto& submenu : kSubmenus)
    {
        HoverPopupItem(PopupSlotFunctionMenu, submenu.pszItem);
        CheckPopup("function menu", PopupSlotFunctionMenu);
        CheckPopup(submenu.pszName, submenu.nSlot);
    }
    HoverPopupItem(PopupSlotFunctionMenu, "No Function");
    Dlg().ClosePopup(PopupSlotFunctionMenu);
    PumpPosted();

    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_COLOR);
    HoverPopupItem(PopupSlotLightColor, "Cyan");
    CheckPopup("colour popup", PopupSlotLightColor);
    Dlg().ClosePopup(PopupSlotLightColor);
    Click(IDC_LIGHT_BRIGHTNESS);
    CheckPopup("brightness popup", PopupSlotLightBrightness);
    ChoosePopupItem(PopupSlotLightBrightness, "Breath");
    Check("main window, lighting page breathing", render, ControlsOf(Dlg()));
    PumpPosted();

    {
        CAttentionDlg dlg(kAttentionTitle, AttentionText::kDisconnected);
        dlg.Create();
        CheckDialog("attention dialog", dlg);
    }
    {
        CShortcutDlg dlg;
        dlg.Create();
        dlg.WindowProc(UM_HOOK_KEY, 0x41, HookKeyLParam(false, 0));
        CheckDialog("shortcut dialog", dlg);
    }
    {
        CQuickLaunchDlg dlg;
        dlg.Create();
        CheckDialog("quick launch dialog", dlg);
    }
    {
        CKeyMapSettingDlg dlg(nullptr, 2200, "Esc", 0x29, 0x29);
        dlg.Create();
        dlg.WindowProc(UM_HOOK_KEY, 0x51, HookKeyLParam(false, 0));
        CheckDialog("key map dialog", dlg);
    }
    for (unsigned nBitmap : {CFirmwareResetDlg::kResetCurrentBitmap, CFirmwareResetDlg::kResetAllBitmap})
    {
        CFirmwareResetDlg dlg;
        dlg.SetBackgroundBitmap(nBitmap);
        dlg.Create();
        CheckDialog("reset dialog " + std::to_string(nBitmap), dlg);
    }
    PrintExceptions(m_report);
    EXPECT_GT(m_report.nChecked, 40);
    EXPECT_TRUE(m_report.vecFailures.empty()) << m_report.vecFailures.size() << " texts fail:\n" << Report(m_report);
}
