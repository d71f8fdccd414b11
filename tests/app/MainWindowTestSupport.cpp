#include "MainWindowTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>

#include "dialogs/FirmwareResetDlg.h"
#include "dialogs/KeyMapSettingDlg.h"
#include "dialogs/QuickLaunchDlg.h"
#include "dialogs/ShortcutDlg.h"
#include "skin/AttentionDlg.h"
#include "skin/Buttons.h"
#include "skin/Popups.h"

void CPointerWatchingClock::SleepMs(unsigned nMs)
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
    {
        const QCursor* pCursor = QGuiApplication::overrideCursor();
        m_vecShapes.push_back(pCursor ? pCursor->shape() : Qt::ArrowCursor);
    }
    CManualClock::SleepMs(nMs);
}

MainWindowTest::MainWindowTest()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-window-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()) == nullptr)
        ADD_FAILURE() << "no temporary folder";
    m_strDir = strTemplate + "/";
    m_pServices = std::make_unique<CPlatformServices>(CPlatformServices{m_strDir, m_kb, m_kb, m_clock, m_launcher});
}

MainWindowTest::~MainWindowTest()
{
    m_pDlg.reset();
    PumpPosted();
    std::filesystem::remove_all(m_strDir);
}

void MainWindowTest::Open(bool bTray, EFirstFrame eFrame)
{
    m_pDlg = std::make_unique<CTestCorvaneDlg>(*m_pServices, bTray);
    m_pDlg->SetModalRunner(
        [this](CDlgBase& dlg)
        {
            ModalRun run;
            if (auto* pReset = dynamic_cast<CFirmwareResetDlg*>(&dlg))
            {
                run.strClass = "reset";
                run.nBitmap = pReset->GetBackgroundBitmap();
            }
            else if (auto* pAttention = dynamic_cast<CAttentionDlg*>(&dlg))
            {
                run.strClass = "attention";
                run.strText = pAttention->GetMessage();
            }
            else if (dynamic_cast<CShortcutDlg*>(&dlg))
                run.strClass = "shortcut";
            else if (dynamic_cast<CQuickLaunchDlg*>(&dlg))
                run.strClass = "quick launch";
            else if (dynamic_cast<CKeyMapSettingDlg*>(&dlg))
                run.strClass = "key map";
            else
                run.strClass = "other";
            if (run.strClass == "reset" || run.strClass == "attention")
            {
                const int nAnswer = m_deqAnswers.empty() ? IDCANCEL : m_deqAnswers.front();
                if (!m_deqAnswers.empty())
                    m_deqAnswers.pop_front();
                // The small dialogs' OK and Cancel buttons, clicked inside the dialog's own loop.
                const QPoint pt = nAnswer == IDOK                         ? QPoint(259, 244)
                                  : nAnswer == CQuitQuestionDlg::kDiscard ? QPoint(164, 244)
                                                                          : QPoint(358, 244);
                for (UINT nMsg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
                    CSkinWindow::PostMessage(&dlg, nMsg, nMsg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                                             MakeLParam(pt.x(), pt.y()));
            }
            else
            {
                dlg.Create(); // the controls exist, the dialog's hook runs
                if (m_deqDialogScripts.empty())
                    CSkinWindow::PostMessage(&dlg, WM_CLOSE, 0, 0);
                else
                {
                    const auto fnScript = m_deqDialogScripts.front();
                    m_deqDialogScripts.pop_front();
                    fnScript(dlg);
                    // A script that leaves the dialog open fails its test instead of hanging it.
                    QTimer::singleShot(5000, &dlg, [&dlg] { dlg.EndDialog(IDCANCEL); });
                }
            }
            run.nResult = dlg.DoModal();
            m_vecModalRuns.push_back(run);
            return run.nResult;
        });
    m_pDlg->SetFileDialogRunner(
        [this](QFileDialog& dlg, std::string& strPath)
        {
            m_vecFileDialogs.push_back({dlg.windowTitle().toStdString(), dlg.nameFilters().join(";").toStdString(),
                                        dlg.defaultSuffix().toStdString(),
                                        dlg.acceptMode() == QFileDialog::AcceptSave});
            strPath.clear();
            if (!m_deqFilePaths.empty())
            {
                strPath = m_deqFilePaths.front();
                m_deqFilePaths.pop_front();
            }
            return !strPath.empty();
        });
    ASSERT_TRUE(m_pDlg->Create());
    m_pDlg->show();
    if (eFrame == EFirstFrame::Painted)
    {
        m_pDlg->grab();
        PumpPosted();
    }
}

void MainWindowTest::ClickAt(int x, int y)
{
    Dlg().WindowProc(WM_MOUSEMOVE, 0, MakeLParam(x, y));
    Dlg().WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
    Dlg().WindowProc(WM_LBUTTONUP, 0, MakeLParam(x, y));
}

void MainWindowTest::Click(UINT nId)
{
    CControlBase* pControl = Dlg().FindControl(nId);
    ASSERT_NE(pControl, nullptr) << nId;
    ASSERT_TRUE(pControl->IsVisible()) << nId;
    const CRect rc = pControl->GetRect();
    ClickAt(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
}

void MainWindowTest::ChoosePopupItem(int nSlot, const std::string& strText)
{
    auto* pPopup = dynamic_cast<CItemPopup*>(Dlg().GetPopup(nSlot));
    ASSERT_NE(pPopup, nullptr) << "no popup in slot " << nSlot;
    for (const PopupItem& item : pPopup->GetItems())
    {
        if (item.m_strText != strText)
            continue;
        const LPARAM pt = MakeLParam(item.m_rect.left + 5, item.m_rect.top + 5);
        pPopup->WindowProc(WM_MOUSEMOVE, 0, pt);
        pPopup->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, pt);
        pPopup->WindowProc(WM_LBUTTONUP, 0, pt);
        return;
    }
    ADD_FAILURE() << "no item " << strText;
}

bool MainWindowTest::PumpUntil(const std::function<bool()>& fnDone, int nTimeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!fnDone())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void MainWindowTest::PumpPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string MainWindowTest::ReadFile(const std::string& strPath) const
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool MainWindowTest::IsVisibleControl(UINT nId)
{
    CControlBase* pControl = Dlg().FindControl(nId);
    return pControl && pControl->IsVisible();
}

std::string MainWindowTest::Caption(UINT nId)
{
    auto* pButton = dynamic_cast<CComboButton*>(Dlg().FindControl(nId));
    return pButton ? pButton->GetCaption() : "<none>";
}

void MainWindowTest::HoverPopupItem(int nSlot, const std::string& strText)
{
    auto* pPopup = dynamic_cast<CItemPopup*>(Dlg().GetPopup(nSlot));
    ASSERT_NE(pPopup, nullptr) << "no popup in slot " << nSlot;
    for (const PopupItem& item : pPopup->GetItems())
        if (item.m_strText == strText)
        {
            pPopup->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(item.m_rect.left + 5, item.m_rect.top + 5));
            return;
        }
    ADD_FAILURE() << "no item " << strText;
}

void MainWindowTest::SendKey(quint32 nEvdev, bool bRelease, std::uint32_t nStampMs, bool bAutoRepeat)
{
    QKeyEvent event(bRelease ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, nEvdev + 8, 0, 0,
                    QString(), bAutoRepeat);
    event.setTimestamp(nStampMs);
    QCoreApplication::sendEvent(&Dlg(), &event);
}

void MainWindowTest::QueueDialogClick(CDlgBase& dlg, UINT nId)
{
    const CControlBase* pControl = dlg.FindControl(nId);
    ASSERT_NE(pControl, nullptr) << nId;
    const CRect rc = pControl->GetRect();
    const LPARAM pt = MakeLParam(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    for (UINT nMsg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        CSkinWindow::PostMessage(&dlg, nMsg, nMsg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, pt);
}

void MainWindowTest::QueueDialogKey(CDlgBase& dlg, quint32 nEvdev)
{
    for (QEvent::Type eType : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(&dlg, new QKeyEvent(eType, Qt::Key_unknown, Qt::NoModifier, nEvdev + 8, 0, 0));
}

std::vector<std::string> MainWindowTest::AttentionTexts() const
{
    std::vector<std::string> vecTexts;
    for (const ModalRun& run : m_vecModalRuns)
        if (run.strClass == "attention")
            vecTexts.push_back(run.strText);
    return vecTexts;
}
