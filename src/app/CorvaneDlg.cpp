#include "app/CorvaneDlg.h"

#include <QCursor>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QSystemTrayIcon>

#include "app/OsdHandler.h"
#include "app/TrayIcon.h"
#include "device/HotplugDispatch.h"
#include "macros/MacroPageHandler.h"
#include "mainwindow/FunctionMenuHandler.h"
#include "mainwindow/HeaderHandler.h"
#include "mainwindow/KeyAssignmentHandler.h"
#include "mainwindow/LightingHandler.h"
#include "mainwindow/PageHandler.h"
#include "mainwindow/ProfileSlotHandler.h"
#include "mainwindow/StatusLineHandler.h"
#include "platform/Hotplug.h"
#include "skin/AttentionDlg.h"
#include "skin/FontWarmUp.h"
#include "skin/SkinDraw.h"
#include "storage/AtomicWrite.h"

using namespace MainWindow;

CCorvaneDlg::CCorvaneDlg(CPlatformServices& services) : CDlgBase(TemplateId, nullptr), m_services(services)
{
    SetWindowSize(800, 634);
    CMainWindowHost& host = *this;
    m_vecHandlers.push_back(std::make_unique<CPageHandler>(host));
    m_vecHandlers.push_back(std::make_unique<CHeaderHandler>(host));
    m_vecHandlers.push_back(std::make_unique<CProfileSlotHandler>(host, m_nSelectedSlotTab));
    m_vecHandlers.push_back(std::make_unique<CLightingHandler>(host));
    m_vecHandlers.push_back(std::make_unique<CKeyAssignmentHandler>(host));
    m_vecHandlers.push_back(std::make_unique<CFunctionMenuHandler>(host));
    auto pMacroPage = std::make_unique<CMacroPageHandler>(host);
    m_pMacroPage = pMacroPage.get();
    m_vecHandlers.push_back(std::move(pMacroPage));
    auto pStatusLine = std::make_unique<CStatusLineHandler>(host);
    m_pStatusLine = pStatusLine.get();
    m_vecHandlers.push_back(std::move(pStatusLine));
    auto pOsd = std::make_unique<COsdHandler>(*this);
    m_pOsd = pOsd.get();
    m_vecHandlers.push_back(std::move(pOsd));
}

CCorvaneDlg::~CCorvaneDlg()
{
    OnDestroy();
}

bool CCorvaneDlg::OnInitDialog()
{
    // The model exists before the controls are built, and the keyboard is read into it last.
    AppDirectory = m_services.m_strAppDirectory;
    m_pFiles = std::make_unique<CDataFiles>(AppDirectory);
    m_pStartFileSync = std::make_unique<CNewFileSyncBatch>();
    m_pFiles->LoadAll(m_MacroLibrary, m_SettingsStore, m_ProfileStore); // library, settings, slots 0..4

    CDlgBase::OnInitDialog(); // title, icons, size, controls, centring
    CreateRegionFromBitmap(MainWindowBitmap);
    for (auto& pHandler : m_vecHandlers)
        pHandler->Initialise();
    RefreshProfileView();

    m_pDeviceLink =
        std::make_unique<CDeviceLink>(m_ProfileStore, m_SettingsStore, m_MacroLibrary, *m_pFiles, m_services.m_hid,
                                      m_services.m_clock, m_services.m_launcher, static_cast<CDeviceLinkUi&>(*this));
    m_pSession =
        std::make_unique<CEditSession>(m_ProfileStore, m_SettingsStore, m_MacroLibrary, *m_pDeviceLink, *m_pFiles);
    // Edits an earlier run applied without the keyboard are sent when it is found.
    m_pDeviceLink->RestoreAwaitingEdits();
    if (m_services.m_hotplug.Fd() >= 0)
    {
        m_pHotplugNotifier = std::make_unique<QSocketNotifier>(m_services.m_hotplug.Fd(), QSocketNotifier::Read);
        QObject::connect(m_pHotplugNotifier.get(), &QSocketNotifier::activated, this, [this] { OnHotplugReadable(); });
    }
    m_pDeviceLink->ScanForKeyboard();
    m_pDeviceLink->SyncFromDevice();
    ShowKeyboardState();

    PrepareBackground(MainWindowBitmap);
    // A window that starts hidden has no first frame to wait for.
    QMetaObject::invokeMethod(
        this,
        [this]
        {
            if (!isVisible())
                AfterFirstFrame();
        },
        Qt::QueuedConnection);
    return true;
}

void CCorvaneDlg::paintEvent(QPaintEvent* pEvent)
{
    CDlgBase::paintEvent(pEvent);
    if (m_bFirstFramePainted)
        return;
    m_bFirstFramePainted = true;
    // Queued, so the frame reaches the screen first.
    QMetaObject::invokeMethod(
        this, [this] { AfterFirstFrame(); }, Qt::QueuedConnection);
}

void CCorvaneDlg::AfterFirstFrame()
{
    if (m_bAfterFirstFrameDone || m_bDestroyed)
        return;
    m_bAfterFirstFrameDone = true;
    // The files were written before the window was built, in start-up order; only their syncs
    // (two for each, on a first start) wait for the frame.
    m_pStartFileSync.reset();
    // Asking the desktop for its tray waits on the session bus; the icon appears a few
    // milliseconds after the window instead of before it.
    AddTrayIcon();
    WarmUpFonts();
    m_pStatusLine->ShowLine();
    // The hidden box is the only text widget of the start, and its first font match takes
    // longer than anything else the window does before its frame.
    CreateLoopCountEdit();
    m_pMacroPage->OnLoopCountEditCreated();
}

void CCorvaneDlg::OnOK() {}

void CCorvaneDlg::OnCancel()
{
    if (m_pSession && m_pSession->HasUnappliedEdits())
    {
        // Asked over the window, also when the end came from the tray while it was hidden.
        OnConfigKeyboard();
        CQuitQuestionDlg dlg(this);
        const int nAnswer = RunModalDialog(dlg);
        // What the keyboard does not take now waits for it, as after any Apply.
        if (nAnswer == IDOK)
            m_pSession->Apply();
        else if (nAnswer != CQuitQuestionDlg::kDiscard)
            return;
    }
    CDlgBase::OnCancel();
}

void CCorvaneDlg::DrawBackground(QPainter* pDC, const CRect& rcClient)
{
    DrawBackgroundPicture(pDC, rcClient);
    for (auto& pHandler : m_vecHandlers)
        pHandler->DrawOnPage(pDC, m_nSelectedPage);
    DrawControls(pDC, rcClient);
}

LRESULT CCorvaneDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg)
    {
    case UM_TRAYNOTIFY: OnTrayNotify(wParam, lParam); return 0;
    case WM_COMMAND: OnCommand(wParam); return 0;
    case WM_DESTROY:
        CDlgBase::WindowProc(nMsg, wParam, lParam);
        OnDestroy();
        return 0;
    default: break;
    }
    for (auto& pHandler : m_vecHandlers)
        if (pHandler->HandleMessage(nMsg, wParam, lParam))
            return 0;
    return CDlgBase::WindowProc(nMsg, wParam, lParam);
}

void CCorvaneDlg::RefreshProfileView()
{
    m_nActiveSlot = m_SettingsStore.GetActiveSlot();
    const ProfileRecord& record = m_ProfileStore[m_nActiveSlot];
    for (auto& pHandler : m_vecHandlers)
        pHandler->Refresh(record);
    ShowKeyboardState();
    InvalidateRect(nullptr);
}

// ---- Host services ----

void CCorvaneDlg::RepaintControl(const CControlBase& control)
{
    const CRect rc = control.GetRect();
    InvalidateRect(&rc);
}

void CCorvaneDlg::RepaintRect(const CRect& rcClient)
{
    InvalidateRect(&rcClient);
}

void CCorvaneDlg::ShowCommandOutcome(EProfileCommand eCommand, const ProfileCommandOutcome& outcome)
{
    m_pStatusLine->ShowOutcome(eCommand, outcome, m_pFiles->ConfigDirectory());
    // A state the command found out (the keyboard gone since the last look) shows after it.
    ShowKeyboardState();
}

void CCorvaneDlg::RepaintWindow()
{
    InvalidateRect(nullptr);
}

int CCorvaneDlg::RunModalDialog(CDlgBase& dlg)
{
    return m_fnModalRunner ? m_fnModalRunner(dlg) : dlg.DoModal();
}

bool CCorvaneDlg::RunFileDialog(QFileDialog& dlg, std::string& strPath)
{
    if (m_fnFileDialogRunner)
        return m_fnFileDialogRunner(dlg, strPath);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    strPath = dlg.selectedFiles().constFirst().toStdString();
    return !strPath.empty();
}

void CCorvaneDlg::ShowAttention(const std::string& strTitle, const std::string& strText)
{
    CAttentionDlg dlg(strTitle, strText, this);
    if (strText != DisconnectionText)
    {
        RunModalDialog(dlg);
        return;
    }
    // Device changes are still followed while it is open (OnHotplugReadable closes it).
    m_vecDisconnectionDlgs.push_back(&dlg);
    RunModalDialog(dlg);
    std::erase(m_vecDisconnectionDlgs, &dlg);
}

void CCorvaneDlg::PostToWindow(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    PostMessage(this, nMsg, wParam, lParam);
}

bool CCorvaneDlg::IsSystemTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CCorvaneDlg::HideWindow()
{
    // Without a tray nothing on the desktop would show that a hidden window is still there (only
    // a second start would bring it back), so there it goes to the task bar instead.
    if (m_pTray && IsSystemTrayAvailable())
        hide();
    else
        MinimiseWindow();
}

void CCorvaneDlg::MinimiseWindow()
{
    showMinimized();
}

void CCorvaneDlg::StartInTray()
{
    Create();
    // Hidden, there is no first frame to wait for: the tray icon (where the desktop has a tray)
    // and the rest of the start come now.
    AfterFirstFrame();
    if (m_pTray && IsSystemTrayAvailable())
        StayHiddenWhenModal();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

// ---- Device link ----

void CCorvaneDlg::PostToUiThread(std::function<void()> fn)
{
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void CCorvaneDlg::RequestOsdText(int nTextCode)
{
    // The same way as the listener's own request: handled after the event that caused it.
    PostMessage(this, UM_SHOWOSD, static_cast<WPARAM>(nTextCode), 0);
}

void CCorvaneDlg::OnHotplugReadable()
{
    DispatchHotplugEvents(m_services.m_hotplug, *m_pDeviceLink);
    ShowKeyboardState();
    CloseDisconnectionMessages();
}

void CCorvaneDlg::ShowKeyboardState()
{
    if (m_pDeviceLink)
        m_pStatusLine->SetKeyboardState(m_pDeviceLink->KeyboardState());
}

void CCorvaneDlg::CloseDisconnectionMessages()
{
    if (!m_pDeviceLink || !m_pDeviceLink->IsDeviceFound() || !m_pDeviceLink->HasCommandHandle())
        return;
    for (CDlgBase* pDlg : m_vecDisconnectionDlgs)
        pDlg->EndDialog(IDOK);
}

// ---- Tray and commands ----

void CCorvaneDlg::AddTrayIcon()
{
    if (!IsSystemTrayAvailable())
        return;
    m_pTray = std::make_unique<CTrayIcon>(*this);
    m_pTray->Add();
}

void CCorvaneDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam != CTrayIcon::IconId)
        return;
    if (lParam == CTrayIcon::DoubleClick)
        OnConfigKeyboard();
    else if (lParam == CTrayIcon::RightButtonUp && m_pTray)
        m_pTray->ShowMenuAt(QCursor::pos());
}

void CCorvaneDlg::OnCommand(WPARAM wParam)
{
    if (wParam == IDC_CONFIG_KEYBOARD)
        OnConfigKeyboard();
    else if (wParam == IDC_EXIT)
        OnCancel();
}

void CCorvaneDlg::OnConfigKeyboard()
{
    showNormal();
    BringToFront();
}

// ---- End ----

void CCorvaneDlg::OnDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    m_pStartFileSync.reset();
    m_pHotplugNotifier.reset();
    if (m_pDeviceLink)
        m_pDeviceLink->Shutdown(); // stop the listener, profile value 7, pause, close the handle
    if (m_pTray)
        m_pTray->Remove();
    m_pTray.reset();
    delete m_pLoopCountEdit;
    m_pLoopCountEdit = nullptr;
}
