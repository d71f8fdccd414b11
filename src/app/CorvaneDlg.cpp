#include "app/CorvaneDlg.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include "KeyButtonLayout.h"
#include "device/HotplugDispatch.h"
#include "platform/Hotplug.h"
#include "skin/AttentionDlg.h"
#include "skin/Buttons.h"
#include "skin/SkinDraw.h"

namespace {
constexpr UINT MainTemplateId = 102;
constexpr LPARAM TrayDoubleClick = 0x0203; // left button double click
constexpr LPARAM TrayRightButtonUp = 0x0205;
constexpr UINT CommandExit = 2;            // the dialog's cancel command
constexpr UINT WM_COMMAND = 0x0111;
constexpr int KeyPageList = 1;
} // namespace

CCorvaneDlg::CCorvaneDlg(CPlatformServices& services)
    : CDlgBase(MainTemplateId, nullptr), m_services(services)
{
    setWindowFlag(Qt::FramelessWindowHint);
    SetWindowSize(800, 634);
}

CCorvaneDlg::~CCorvaneDlg()
{
    OnDestroy();
}

bool CCorvaneDlg::OnInitDialog()
{
    AppDirectory = m_services.m_strAppDirectory;
    m_pFiles = std::make_unique<CDataFiles>(AppDirectory);
    m_pFiles->LoadAll(m_MacroLibrary, m_SettingsStore, m_ProfileStore);

    CDlgBase::OnInitDialog();
    CreateRegionFromBitmap(MainWindowBitmap);
    AddTrayIcon();
    RefreshProfileView();

    m_pDeviceLink = std::make_unique<CDeviceLink>(m_ProfileStore, m_SettingsStore, m_MacroLibrary,
                                                  *m_pFiles, m_services.m_hid, m_services.m_clock,
                                                  m_services.m_launcher, static_cast<CDeviceLinkUi&>(*this));
    if (m_services.m_hotplug.Fd() >= 0) {
        m_pHotplugNotifier = std::make_unique<QSocketNotifier>(m_services.m_hotplug.Fd(), QSocketNotifier::Read);
        QObject::connect(m_pHotplugNotifier.get(), &QSocketNotifier::activated, this,
                         [this] { OnHotplugReadable(); });
    }
    m_pDeviceLink->ScanForKeyboard();
    m_pDeviceLink->SyncFromDevice();

    PrepareBackground(MainWindowBitmap);
    return true;
}

void CCorvaneDlg::OnOK()
{
}

void CCorvaneDlg::CreateControls(int, int, int, int)
{
    // The keyboard picture: one button per key, created in id order at the places the artwork
    // leaves for them. Each starts on its factory code; RefreshProfileView shows the active slot.
    for (const KeyButtonLayout& key : KeyButtonLayoutTable) {
        const CRect rc(key.m_nLeft, key.m_nTop, key.m_nLeft + key.m_nWidth, key.m_nTop + key.m_nHeight);
        auto* pButton = new CKeyboardButton(this, static_cast<UINT>(key.m_nId), rc, key.m_pszCaption, true, false);
        pButton->LoadImage(static_cast<unsigned>(key.m_nImageId));
        const DeviceKeyCode nFactory = FactoryCodeOfButton(key.m_nId);
        pButton->SetKeyAssignment(key.m_pszCaption, nFactory, nFactory);
        AddControl(KeyPageList, pButton);
    }
}

void CCorvaneDlg::DrawBackground(QPainter* pDC, const CRect& rcClient)
{
    DrawStandardBackground(pDC, rcClient);
}

LRESULT CCorvaneDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case UM_TRAYNOTIFY:
        OnTrayNotify(wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (wParam == IDC_CONFIG_KEYBOARD)
            OnConfigKeyboard();
        else if (wParam == CommandExit)
            OnCancel();
        return 0;
    case UM_SHOWOSD:
        RequestOsdText(static_cast<int>(wParam));
        return 0;
    default:
        return CDlgBase::WindowProc(nMsg, wParam, lParam);
    }
}

void CCorvaneDlg::RefreshProfileView()
{
    // A key whose code differs from its factory code shows as changed.
    const ProfileRecord& record = m_ProfileStore[m_SettingsStore.GetActiveSlot()];
    for (CControlBase* pControl : GetControlList(KeyPageList))
        if (auto* pKey = dynamic_cast<CKeyboardButton*>(pControl))
            pKey->SetKeyAssignment(pKey->m_strKeyCaption, pKey->m_nDefaultCode,
                                   record.GetRemapEntry(static_cast<int>(pKey->GetId())));
    InvalidateRect(nullptr);
}

void CCorvaneDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CDlgBase::keyPressEvent(pEvent);
}

void CCorvaneDlg::PostToUiThread(std::function<void()> fn)
{
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void CCorvaneDlg::ShowAttention(const std::string& strTitle, const std::string& strText)
{
    CAttentionDlg dlg(strTitle, strText, this);
    dlg.DoModal();
}

void CCorvaneDlg::RequestOsdText(int)
{
    // The on-screen display is not part of this window yet; the request is dropped.
}

void CCorvaneDlg::AddTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_pTrayMenu = std::make_unique<QMenu>();
    QAction* pConfig = m_pTrayMenu->addAction(QStringLiteral("Config Keyboard"));
    m_pTrayMenu->addSeparator();
    QAction* pExit = m_pTrayMenu->addAction(QStringLiteral("Exit"));
    QObject::connect(pConfig, &QAction::triggered, this,
                     [this] { SendMessage(this, WM_COMMAND, IDC_CONFIG_KEYBOARD, 0); });
    QObject::connect(pExit, &QAction::triggered, this,
                     [this] { SendMessage(this, WM_COMMAND, CommandExit, 0); });

    m_pTrayIcon = std::make_unique<QSystemTrayIcon>();
    m_pTrayIcon->setIcon(QIcon(QPixmap::fromImage(LoadIconResource(MainIconId))));
    m_pTrayIcon->setToolTip(QString::fromUtf8(TrayTip));
    m_pTrayIcon->setContextMenu(m_pTrayMenu.get());
    QObject::connect(m_pTrayIcon.get(), &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason eReason) {
                         if (eReason == QSystemTrayIcon::DoubleClick ||
                             eReason == QSystemTrayIcon::Trigger)
                             SendMessage(this, UM_TRAYNOTIFY, MainIconId, TrayDoubleClick);
                     });
    m_pTrayIcon->show();
}

void CCorvaneDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam != MainIconId)
        return;
    if (lParam == TrayDoubleClick)
        OnConfigKeyboard();
    else if (lParam == TrayRightButtonUp && m_pTrayMenu)
        m_pTrayMenu->popup(QCursor::pos());
}

void CCorvaneDlg::OnConfigKeyboard()
{
    showNormal();
    BringToFront();
}

void CCorvaneDlg::OnHotplugReadable()
{
    DispatchHotplugEvents(m_services.m_hotplug, *m_pDeviceLink);
}

void CCorvaneDlg::OnDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    m_pHotplugNotifier.reset();
    if (m_pDeviceLink)
        m_pDeviceLink->Shutdown(); // stop the listener, profile value 7, close the handle
    if (m_pTrayIcon)
        m_pTrayIcon->hide();
    m_pTrayIcon.reset();
}
