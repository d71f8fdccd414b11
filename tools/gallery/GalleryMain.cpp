// Renders the skinned toolkit into one PNG per window so its look can be checked
// without a display: controls in each state, popups with and without a hot item,
// and the dialogs.

#include "Gallery.h"

#include "app/CorvaneDlg.h"
#include "dialogs/FirmwareResetDlg.h"
#include "dialogs/KeyMapSettingDlg.h"
#include "dialogs/QuickLaunchDlg.h"
#include "dialogs/ShortcutDlg.h"
#include "keyboardhook/KeyHook.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/ProgramLauncher.h"
#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "model/Macro.h"
#include "skin/AttentionDlg.h"
#include "skin/Buttons.h"
#include "skin/DlgBase.h"
#include "skin/ListControls.h"
#include "skin/Popups.h"
#include "skin/QtLook.h"
#include "skin/SkinDraw.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace
{

QString g_strOutDir;
int g_nWritten = 0;
bool g_bFailed = false;

} // namespace

void Save(const QImage& img, const QString& strName)
{
    const QString strPath = QDir(g_strOutDir).filePath(strName + QStringLiteral(".png"));
    if (img.isNull() || !img.save(strPath, "PNG"))
    {
        std::fprintf(stderr, "could not write %s\n", qPrintable(strPath));
        g_bFailed = true;
        return;
    }
    ++g_nWritten;
}

namespace
{

void RenderDialogs()
{
    const struct
    {
        const char* pszFile;
        const char* pszText;
    } kMessages[] = {
        {"dialog_attention_disconnected", AttentionText::kDisconnected},
        {"dialog_attention_config_error", AttentionText::kConfigError},
        {"dialog_attention_name_too_long", AttentionText::kNewNameTooLong},
    };
    for (const auto& entry : kMessages)
    {
        CAttentionDlg dlg(kAttentionTitle, entry.pszText);
        dlg.Create();
        Save(dlg.RenderClient(), QString::fromLatin1(entry.pszFile));
    }
    {
        CAttentionDlg dlg(kAttentionTitle, AttentionText::kLoopRange);
        dlg.Create();
        // OK hovered, Cancel pressed.
        dlg.WindowProc(WM_MOUSEMOVE, 0, MakeLParam(250, 240));
        dlg.WindowProc(WM_MOUSEMOVE, 0, MakeLParam(350, 240));
        dlg.WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(350, 240));
        if (CControlBase* pOk = dlg.FindControl(2010))
            pOk->OnMouseMove(0, 250, 240);
        Save(dlg.RenderClient(), QStringLiteral("dialog_attention_ok_hover_cancel_pressed"));
    }
    {
        CQuitQuestionDlg dlg;
        dlg.Create();
        Save(dlg.RenderClient(), QStringLiteral("dialog_quit_question"));
    }
    const struct
    {
        unsigned nBitmap;
        const char* pszFile;
    } kResets[] = {
        {CFirmwareResetDlg::kResetCurrentBitmap, "dialog_reset_current_profile"},
        {CFirmwareResetDlg::kResetAllBitmap, "dialog_reset_all_profiles"},
    };
    for (const auto& entry : kResets)
    {
        CFirmwareResetDlg dlg;
        dlg.SetBackgroundBitmap(entry.nBitmap);
        dlg.Create();
        Save(dlg.RenderClient(), QString::fromLatin1(entry.pszFile));
    }
}

// Paints the pixels outside the window's shape (in logical pixels, as the mask) magenta.
void MarkOutside(QImage& img, const QRegion& rgn)
{
    const qreal dRatio = img.devicePixelRatio();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!rgn.contains(QPoint(static_cast<int>(x / dRatio), static_cast<int>(y / dRatio))))
                img.setPixel(x, y, qRgb(255, 0, 255));
}

// The client area with the outside of the window's shape in magenta.
QImage WithShape(CDlgBase& dlg)
{
    QImage img = dlg.RenderClient().convertToFormat(QImage::Format_RGB32);
    const QRegion rgn = dlg.GetWindowRegion();
    if (rgn.isEmpty())
        return img;
    MarkOutside(img, rgn);
    return img;
}

void ClickControl(CDlgBase& dlg, UINT nId)
{
    const CControlBase* pControl = dlg.FindControl(nId);
    if (!pControl)
        return;
    const CRect rc = pControl->GetRect();
    const LPARAM lPoint = MakeLParam(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    dlg.WindowProc(WM_MOUSEMOVE, 0, lPoint);
    dlg.WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    dlg.WindowProc(WM_LBUTTONUP, 0, lPoint);
}

void HoverControl(CDlgBase& dlg, UINT nId)
{
    if (const CControlBase* pControl = dlg.FindControl(nId))
    {
        const CRect rc = pControl->GetRect();
        dlg.WindowProc(WM_MOUSEMOVE, 0, MakeLParam(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2));
    }
}

// A quick launch dialog whose browse button picks a fixed file.
class CGalleryQuickLaunchDlg : public CQuickLaunchDlg
{
public:
    explicit CGalleryQuickLaunchDlg(std::string strPath) : m_strPick(std::move(strPath)) {}

protected:
    bool ChooseFile(std::string& strPath) override
    {
        strPath = m_strPick;
        return true;
    }

private:
    std::string m_strPick;
};

void RenderAssignmentDialogs()
{
    {
        CShortcutDlg dlg;
        dlg.Create();
        ClickControl(dlg, CShortcutDlg::kCtrlBoxId);
        ClickControl(dlg, CShortcutDlg::kAltBoxId);
        dlg.WindowProc(UM_HOOK_KEY, 0x41, HookKeyLParam(false, 0));
        HoverControl(dlg, IDC_DLG_OK);
        Save(WithShape(dlg), QStringLiteral("dialog_shortcut_ctrl_alt_a_ok_hover"));
    }
    {
        CShortcutDlg dlg;
        dlg.Create();
        ClickControl(dlg, CShortcutDlg::kShiftBoxId);
        ClickControl(dlg, CShortcutDlg::kSingleKeyBoxId);
        dlg.WindowProc(UM_HOOK_KEY, 0x0E, HookKeyLParam(false, 0));
        dlg.WindowProc(WM_MOUSELEAVE, 0, 0);
        Save(WithShape(dlg), QStringLiteral("dialog_shortcut_single_key_keypad_enter"));
    }
    {
        CGalleryQuickLaunchDlg dlg("");
        dlg.Create();
        Save(WithShape(dlg), QStringLiteral("dialog_quick_launch_empty"));
    }
    {
        CGalleryQuickLaunchDlg dlg(
            "/home/someone/Applications/Graphics and Photos/Image Editor 2.10/bin/image-editor.AppImage");
        dlg.Create();
        ClickControl(dlg, CQuickLaunchDlg::kBrowseId);
        Save(WithShape(dlg), QStringLiteral("dialog_quick_launch_long_path_browse_hover"));
    }
    {
        CKeyMapSettingDlg dlg(nullptr, 2200, "Esc", 0x29, 0x29);
        dlg.Create();
        dlg.WindowProc(UM_HOOK_KEY, 0x51, HookKeyLParam(false, 0));
        Save(dlg.RenderClient(), QStringLiteral("dialog_key_map_esc_keyboard_mode_q_pressed"));
    }
    {
        CKeyMapSettingDlg dlg(nullptr, 2232, "Fire", 0x4B, 0xD6);
        dlg.Create();
        ClickControl(dlg, CKeyMapSettingDlg::kMouseFunctionId); // popup open: the button stays lit
        QImage img = dlg.RenderClient();
        if (CWndPopup* pPopup = dlg.GetPopup(CKeyMapSettingDlg::kMousePopupSlot))
        {
            const CControlBase* pButton = dlg.FindControl(CKeyMapSettingDlg::kMouseFunctionId);
            QPainter painter(&img);
            painter.drawImage(pButton->GetRect().left, pButton->GetRect().bottom, pPopup->GetRenderedImage());
        }
        Save(img, QStringLiteral("dialog_key_map_fire_mouse_mode_popup_open"));
        dlg.ClosePopup(CKeyMapSettingDlg::kMousePopupSlot);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A dialog showing one background bitmap: faded into its average colour when the
// window is larger, and cut to the bitmap's shape when asked.
class CBackgroundDlg : public CDlgBase
{
public:
    CBackgroundDlg(int nWidth, int nHeight) : CDlgBase(0, nullptr) { SetWindowSize(nWidth, nHeight); }
    void CreateControls(int, int, int, int) override {}
    void DrawBackground(QPainter* pDC, const CRect& rc) override { DrawStandardBackground(pDC, rc); }
};

void RenderBackgrounds()
{
    {
        CBackgroundDlg dlg(560, 330); // larger than the 420 x 206 picture: edge fade
        dlg.Create();
        dlg.PrepareBackground(153);
        Save(dlg.RenderClient(), QStringLiteral("dialog_base_background_153_faded_into_average_colour"));
    }
    {
        CBackgroundDlg dlg(800, 634);
        dlg.Create();
        dlg.PrepareBackground(129);
        dlg.CreateRegionFromBitmap(129);
        // Outside the window shape shows as magenta.
        QImage img = dlg.RenderClient().convertToFormat(QImage::Format_RGB32);
        MarkOutside(img, dlg.GetWindowRegion());
        Save(img, QStringLiteral("dialog_base_main_background_129_with_window_shape"));
    }
}

// Runs fnUse on the main window over the keyboard simulator (set up first by fnPrepare), with a
// fresh data folder that holds the library.
void WithMainWindow(const MacroLibrary& library, const std::function<void(CSimulatedKeyboard&)>& fnPrepare,
                    const std::function<void(CCorvaneDlg&)>& fnUse)
{
    struct CNoLauncher : CProgramLauncher
    {
        bool Launch(const std::string&) override { return true; }
    } launcher;
    QTemporaryDir dir;
    if (!dir.isValid())
    {
        g_bFailed = true;
        return;
    }
    const std::string strDir = dir.path().toStdString() + "/";
    CDataFiles files(strDir);
    files.EnsureConfigDirectory();
    files.SaveMacroLibrary(library);
    CManualClock clock;
    CSimulatedKeyboard kb(clock);
    fnPrepare(kb);
    CPlatformServices services{strDir, kb, kb, clock, launcher};
    CCorvaneDlg dlg(services);
    dlg.Create();
    QCoreApplication::sendPostedEvents(); // what a window not shown does at once (the repeat box)
    fnUse(dlg);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A click in the middle of a control; then the pointer leaves it.
void ClickControl(CCorvaneDlg& dlg, UINT nId)
{
    const CRect rc = dlg.FindControl(nId)->GetRect();
    const LPARAM pt = MakeLParam(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    dlg.WindowProc(WM_MOUSEMOVE, 0, pt);
    dlg.WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, pt);
    dlg.WindowProc(WM_LBUTTONUP, 0, pt);
    dlg.WindowProc(WM_MOUSEMOVE, 0, MakeLParam(5, 5));
}

// The main window on each of its four pages, with a few macros and a cyan lighting.
void RenderMainWindow()
{
    WithMainWindow(
        SampleLibrary(4), [](CSimulatedKeyboard& kb) { kb.SetLighting(0, 4, 8); },
        [](CCorvaneDlg& dlg)
        {
            const struct
            {
                UINT nTab;
                const char* pszName;
            } kPages[] = {
                {MainWindow::IDC_TAB_KEY_PAGE, "main_window_page0_keys"},
                {MainWindow::IDC_TAB_MACRO_PAGE, "main_window_page1_macros"},
                {MainWindow::IDC_TAB_PROGRAMMABLE_KEY_PAGE, "main_window_page2_programmable_keys"},
                {MainWindow::IDC_TAB_LIGHTING_PAGE, "main_window_page3_lighting"},
            };
            for (const auto& page : kPages)
            {
                ClickControl(dlg, page.nTab);
                // The edit box is a real child widget: grab shows it over the skin.
                Save(dlg.grab().toImage(), QString::fromLatin1(page.pszName));
            }
        });
}

// The window drawn with its open popups over it, where the screen shows them.
QImage WithPopups(CCorvaneDlg& dlg, std::initializer_list<int> popupSlots)
{
    QImage img = dlg.grab().toImage();
    QPainter painter(&img);
    for (int nSlot : popupSlots)
        if (CWndPopup* pPopup = dlg.GetPopup(nSlot))
            painter.drawImage(dlg.mapFromGlobal(pPopup->pos()), pPopup->GetRenderedImage());
    return img;
}

void HoverItem(CWndPopup* pPopup, const std::string& strText)
{
    auto* pItems = dynamic_cast<CItemPopup*>(pPopup);
    if (!pItems)
        return;
    for (const PopupItem& item : pItems->GetItems())
        if (item.m_strText == strText)
            pItems->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(item.m_rect.left + 5, item.m_rect.top + 5));
}

// The main window in use: the function menu open with a submenu (the macro list marks a macro
// too long for the keyboard), and the macro page while recording and after it.
void RenderMainWindowInUse()
{
    MacroLibrary library = SampleLibrary(4);
    MacroKey& imported = library.FirstSet()->AppendKey("Imported");
    for (unsigned i = 0; i < 120; ++i)
        imported.InsertAction(i, MacroAction::Key(static_cast<uint8_t>(0x41 + i % 2), i % 4 >= 2));
    WithMainWindow(
        library, [](CSimulatedKeyboard&) {},
        [](CCorvaneDlg& dlg)
        {
            using namespace MainWindow;
            ClickControl(dlg, IDC_TAB_PROGRAMMABLE_KEY_PAGE);
            ClickControl(dlg, IDC_PROGRAMMABLE_KEY_FIRST + 1);
            HoverItem(dlg.GetPopup(PopupSlotFunctionMenu), "Assign a Macro");
            Save(WithPopups(dlg, {PopupSlotFunctionMenu, PopupSlotMacroLibrary}),
                 QStringLiteral("main_window_function_menu_macro_submenu"));
            HoverItem(dlg.GetPopup(PopupSlotFunctionMenu), "Window Manage");
            Save(WithPopups(dlg, {PopupSlotFunctionMenu, PopupSlotWindowManage}),
                 QStringLiteral("main_window_function_menu_window_manage_submenu"));
            HoverItem(dlg.GetPopup(PopupSlotFunctionMenu), "No Function");
            CSkinWindow::SendMessage(&dlg, UM_FUNCTION_GONE, IDC_PROGRAMMABLE_KEY_FIRST + 1, 0);

            ClickControl(dlg, IDC_TAB_MACRO_PAGE);
            ClickControl(dlg, IDC_RECORD_DELAYS);
            ClickControl(dlg, IDC_RECORD);
            // Ctrl+C, then V a little over a second later.
            const struct
            {
                std::uint8_t nVk;
                bool bRelease;
                std::uint32_t nStamp;
            } kKeys[] = {
                {0xA2, false, 1000}, {0x43, false, 1060}, {0x43, true, 1120},
                {0xA2, true, 1180},  {0x56, false, 2400}, {0x56, true, 2460},
            };
            for (const auto& key : kKeys)
                dlg.WindowProc(UM_HOOK_KEY, key.nVk, HookKeyLParam(key.bRelease, key.nStamp));
            Save(dlg.grab().toImage(), QStringLiteral("main_window_page1_recording"));
            ClickControl(dlg, IDC_RECORD);
            Save(dlg.grab().toImage(), QStringLiteral("main_window_page1_recorded_macro"));
        });
}

// The same pictures at 200 % in the folder 2x/: the gallery once more, with Qt's scale factor 2.
// A run of its own, as the scale factor is fixed when the application starts.
bool RenderAt200Percent()
{
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    run.start(QCoreApplication::applicationFilePath(), {QDir(g_strOutDir).filePath(QStringLiteral("2x"))});
    if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
    {
        std::fprintf(stderr, "the pictures at 200 %% were not all written\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: corvane-gallery <output folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ApplySkinLookToQt(); // the line edits on the windows as the program shows them
    g_strOutDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_strOutDir))
    {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    RenderButtons();
    RenderTextAndLists();
    RenderPopups();
    RenderDialogs();
    RenderAssignmentDialogs();
    RenderBackgrounds();
    RenderMainWindow();
    RenderMainWindowInUse();
    std::printf("%d pictures written to %s\n", g_nWritten, argv[1]);
    std::fflush(stdout);
    if (!g_bFailed && !qEnvironmentVariableIsSet("QT_SCALE_FACTOR") && !RenderAt200Percent())
        return 1;
    return g_bFailed ? 1 : 0;
}
