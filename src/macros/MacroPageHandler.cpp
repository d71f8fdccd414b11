#include "macros/MacroPageHandler.h"

#include <QFileDialog>
#include <QLineEdit>

#include <algorithm>

#include "device/EditSession.h"
#include "keyboardhook/KeyboardHook.h"
#include "macros/MacroKeyTransfer.h"
#include "mainwindow/MainWindowHost.h"
#include "mainwindow/MainWindowIds.h"
#include "model/Macro.h"
#include "model/Profile.h"
#include "skin/AttentionDlg.h"
#include "skin/EditEscape.h"
#include "skin/ListControls.h"
#include "storage/MacroKeyFile.h"

using namespace MainWindow;

namespace
{
// First row of a list of nRows rows showing nVisible at a time, brought into range.
int ClampFirstRow(int nFirst, int nRows, int nVisible)
{
    return std::clamp(nFirst, 0, std::max(0, nRows - nVisible));
}

int ActionCount(const MacroKey* pKey)
{
    return pKey ? static_cast<int>(std::min(pKey->m_nActionCount, MacroActionSlots)) : 0;
}
} // namespace

CMacroPageHandler::CMacroPageHandler(CMainWindowHost& host, std::unique_ptr<CKeyHook> pHook)
    : m_host(host), m_pHook(pHook ? std::move(pHook) : std::make_unique<CKeyboardHook>())
{
}

CMacroPageHandler::~CMacroPageHandler() = default;

bool CMacroPageHandler::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // The page's buttons act on their click; their press says nothing.
    static constexpr struct
    {
        UINT nId;
        void (CMacroPageHandler::*pfnOnClick)();
    } ClickCommands[] = {
        {IDC_NEW_MACRO, &CMacroPageHandler::OnNewMacro},
        {IDC_DELETE_MACRO, &CMacroPageHandler::OnDelete},
        {IDC_IMPORT_MACRO, &CMacroPageHandler::OnImport},
        {IDC_EXPORT_MACRO, &CMacroPageHandler::OnExport},
        {IDC_LOOP_ENABLE, &CMacroPageHandler::OnLoopEnableClicked},
        {IDC_RECORD, &CMacroPageHandler::OnRecordClicked},
    };
    for (const auto& command : ClickCommands)
        if (nMsg == command.nId)
        {
            if (lParam == NOTIFY_CLICK)
                (this->*command.pfnOnClick)();
            return true;
        }
    switch (nMsg)
    {
    case IDC_MACRO_LIST: OnListNotification(lParam); return true;
    case IDC_ACTION_LIST:
    case IDC_RECORD_DELAYS: return true; // read when needed
    case IDC_MACRO_LIST_SCROLL:
    case IDC_ACTION_LIST_SCROLL: OnScrollBar(nMsg, wParam, lParam); return true;
    case UM_HOOK_KEY:
        // The number is also a popup's closing notice; only a recording takes it.
        if (!m_bRecording)
            return false;
        OnHookKey(wParam, lParam);
        return true;
    case WM_KEYDOWN:
        // Enter takes a new name typed under the list instead of acting on the window.
        if (wParam != VK_RETURN || !IsPageShown() || !MacroList() || !MacroList()->HasEditBox())
            return false;
        CommitNewName();
        return true;
    case WM_LBUTTONDOWN: m_bSwallowRelease = OnWindowPress(LParamX(lParam), LParamY(lParam)); return m_bSwallowRelease;
    case WM_LBUTTONUP:
        // The release of a press used up here must not click the control it ends on.
        if (!m_bSwallowRelease)
            return false;
        m_bSwallowRelease = false;
        return true;
    case WM_MOUSEWHEEL:
        if (!IsPageShown())
            return false;
        OnMouseWheel(wParam, lParam);
        return true;
    default: return false;
    }
}

void CMacroPageHandler::Initialise()
{
    OnSelectionChanged();
}

void CMacroPageHandler::OnLoopCountEditCreated()
{
    if (QLineEdit* pEdit = m_host.LoopCountEdit())
    {
        QObject::connect(pEdit, &QLineEdit::textEdited, pEdit,
                         [this](const QString& strText) { OnLoopCountEdited(strText); });
        // Each digit typed is taken at once; Escape takes back what was typed since the box got
        // the focus (or since it showed this macro).
        CancelEditOnEscape(
            *pEdit, [this] { NoteLoopCountBeforeEdit(); }, [this] { OnLoopCountEscape(); });
    }
    ShowRepeatSettings();
}

void CMacroPageHandler::Refresh(const ProfileRecord&)
{
    // The keyboard's macros may have entered the library since: the lists follow it.
    UpdateLists();
    ShowRepeatSettings();
}

// ---- Controls and model ----

CEditShowList* CMacroPageHandler::MacroList() const
{
    return dynamic_cast<CEditShowList*>(m_host.FindControl(IDC_MACRO_LIST));
}

CImageShowList* CMacroPageHandler::ActionList() const
{
    return dynamic_cast<CImageShowList*>(m_host.FindControl(IDC_ACTION_LIST));
}

CVScrollBar* CMacroPageHandler::ScrollBar(UINT nId) const
{
    return dynamic_cast<CVScrollBar*>(m_host.FindControl(nId));
}

MacroSet* CMacroPageHandler::ListedSet() const
{
    const CEditShowList* pList = MacroList();
    if (!pList || pList->GetCurrentSet() < 0)
        return nullptr;
    return m_host.Library().FindSet(static_cast<size_t>(pList->GetCurrentSet()));
}

MacroKey* CMacroPageHandler::CurrentKey() const
{
    MacroSet* pSet = ListedSet();
    return pSet && m_nCurrentKey >= 0 ? pSet->FindKey(static_cast<size_t>(m_nCurrentKey)) : nullptr;
}

MacroKey* CMacroPageHandler::SelectedKey() const
{
    MacroSet* pSet = ListedSet();
    const CEditShowList* pList = MacroList();
    if (!pSet || !pList || pList->GetSelectedRow() < 0)
        return nullptr;
    return pSet->FindKey(static_cast<size_t>(pList->GetSelectedRow()));
}

bool CMacroPageHandler::IsPageShown() const
{
    return m_host.SelectedPage() == MacroPage;
}

// ---- Selection and view ----

void CMacroPageHandler::OnSelectionChanged()
{
    const MacroKey* pSelected = SelectedKey();
    const int nSelected = pSelected ? MacroList()->GetSelectedRow() : -1;
    if (nSelected != m_nCurrentKey)
    {
        m_nCurrentKey = nSelected;
        if (CImageShowList* pActions = ActionList())
        {
            pActions->SetFirstVisibleRow(0);
            pActions->SetSelectedRow(-1);
        }
    }
    UpdateLists();
    ShowRepeatSettings();
}

void CMacroPageHandler::UpdateLists()
{
    MacroKey* pKey = CurrentKey();
    if (!pKey)
        m_nCurrentKey = -1;
    if (CImageShowList* pActions = ActionList())
    {
        // Found again at every use: a macro added to the library moves the others in memory.
        if (pKey)
            pActions->ShowLibraryKey(&m_host.Library(), static_cast<size_t>(MacroList()->GetCurrentSet()),
                                     static_cast<size_t>(m_nCurrentKey));
        else
            pActions->SetMacroKey(nullptr);
        const int nRows = ActionCount(pKey);
        pActions->SetFirstVisibleRow(ClampFirstRow(pActions->GetFirstVisibleRow(), nRows, pActions->GetVisibleRows()));
        if (CVScrollBar* pBar = ScrollBar(IDC_ACTION_LIST_SCROLL))
            pBar->SetScrollState(pActions->GetFirstVisibleRow(), pActions->GetVisibleRows(), nRows);
        m_host.RepaintControl(*pActions);
    }
    if (CEditShowList* pList = MacroList())
    {
        const MacroSet* pSet = ListedSet();
        // The row of a name being typed counts too; the list scrolled to show it.
        const int nRows = (pSet ? static_cast<int>(pSet->m_vecKeys.size()) : 0) + (pList->HasEditBox() ? 1 : 0);
        pList->SetFirstVisibleRow(ClampFirstRow(pList->GetFirstVisibleRow(), nRows, pList->GetVisibleRows()));
        if (CVScrollBar* pBar = ScrollBar(IDC_MACRO_LIST_SCROLL))
            pBar->SetScrollState(pList->GetFirstVisibleRow(), pList->GetVisibleRows(), nRows);
        m_host.RepaintControl(*pList);
    }
    for (UINT nBar : {IDC_MACRO_LIST_SCROLL, IDC_ACTION_LIST_SCROLL})
        if (const CVScrollBar* pBar = ScrollBar(nBar))
            m_host.RepaintControl(*pBar);
}

void CMacroPageHandler::ShowRepeatSettings()
{
    const MacroKey* pKey = CurrentKey();
    if (!pKey)
        return;
    if (QLineEdit* pEdit = m_host.LoopCountEdit())
        pEdit->setText(QString::number(pKey->LoopNum));
    NoteLoopCountBeforeEdit();
    if (auto* pCheck = dynamic_cast<CCheckButton*>(m_host.FindControl(IDC_LOOP_ENABLE)))
    {
        pCheck->SetChecked(pKey->LoopEnable != 0);
        m_host.RepaintControl(*pCheck);
    }
}

// ---- New names, delete ----

void CMacroPageHandler::OnNewMacro()
{
    CEditShowList* pList = MacroList();
    if (!pList)
        return;
    if (!ListedSet())
    {
        m_host.ShowAttention(kAttentionTitle, AttentionText::kConfigError);
        return;
    }
    pList->BeginNewName();
    UpdateLists();
}

bool CMacroPageHandler::CommitNewName()
{
    CEditShowList* pList = MacroList();
    if (!pList || !pList->HasEditBox())
        return true;
    const std::string strName = pList->GetEditText();
    MacroSet* pSet = ListedSet();
    if (!strName.empty() && pSet)
    {
        const char* pszRefusal = nullptr;
        if (pSet->FindKeyByName(strName))
            pszRefusal = AttentionText::kNewNameExists;
        else if (strName.size() > CEditShowList::kMaxNameBytes)
            pszRefusal = AttentionText::kNewNameTooLong;
        if (pszRefusal)
        {
            m_host.ShowAttention(kAttentionTitle, pszRefusal);
            if (QLineEdit* pEdit = pList->GetEditBox())
                pEdit->setFocus();
            return false;
        }
    }
    // An empty name abandons the new row.
    pList->DestroyEditBox();
    if (!strName.empty() && pSet)
        m_host.Session().AddMacro(*pSet, strName);
    UpdateLists();
    m_host.DialogParent()->setFocus();
    return true;
}

bool CMacroPageHandler::OnWindowPress(int x, int y)
{
    CEditShowList* pList = MacroList();
    if (!IsPageShown() || !pList || !pList->HasEditBox() || pList->GetRect().PtInRect(x, y))
        return false; // a press in the list checks the name there
    const CControlBase* pDelete = m_host.FindControl(IDC_DELETE_MACRO);
    if (pDelete && pDelete->IsVisible() && pDelete->GetRect().PtInRect(x, y))
    {
        // Delete throws the new name away; it does not also delete the selected macro.
        pList->DestroyEditBox();
        UpdateLists();
        return true;
    }
    // A refused name keeps the editor, and the press does nothing else.
    return !CommitNewName();
}

void CMacroPageHandler::OnListNotification(LPARAM nCode)
{
    switch (nCode)
    {
    case NOTIFY_CLICK: OnSelectionChanged(); break;
    case NOTIFY_NAME_ADDED:
        m_host.Session().MacroAddedByList();
        UpdateLists();
        break;
    case NOTIFY_NAME_EXISTS: m_host.ShowAttention(kAttentionTitle, AttentionText::kListNameExists); break;
    case NOTIFY_NAME_TOO_LONG: m_host.ShowAttention(kAttentionTitle, AttentionText::kListNameTooLong); break;
    default: break;
    }
}

void CMacroPageHandler::OnDelete()
{
    MacroSet* pSet = ListedSet();
    if (!SelectedKey())
        m_host.ShowAttention(kAttentionTitle, AttentionText::kSelectToDelete);
    else if (m_host.Session().DeleteMacro(*pSet, static_cast<size_t>(MacroList()->GetSelectedRow())) ==
             CEditSession::EDeleteResult::InUse)
        m_host.ShowAttention(kAttentionTitle, AttentionText::kMacroInUse);
    else
        MacroList()->SetSelectedRow(-1);
    OnSelectionChanged();
}

// ---- Repeat ----

void CMacroPageHandler::OnLoopCountEdited(const QString& strText)
{
    long nCount = ParseDecimal(strText.toStdString());
    if (nCount < 1 || nCount > 255)
    {
        m_host.ShowAttention(kAttentionTitle, AttentionText::kLoopRange);
        nCount = 1;
        if (QLineEdit* pEdit = m_host.LoopCountEdit())
            pEdit->setText(QStringLiteral("1"));
    }
    MacroKey* pKey = CurrentKey();
    if (!pKey)
        return;
    m_host.Session().SetLoopCount(*pKey, static_cast<uint8_t>(nCount));
}

void CMacroPageHandler::NoteLoopCountBeforeEdit()
{
    const MacroKey* pKey = CurrentKey();
    m_nLoopNumBeforeEdit = pKey ? pKey->LoopNum : -1;
}

void CMacroPageHandler::OnLoopCountEscape()
{
    QLineEdit* pEdit = m_host.LoopCountEdit();
    const MacroKey* pKey = CurrentKey();
    if (!pEdit || !pKey || m_nLoopNumBeforeEdit < 0)
        return;
    if (pKey->LoopNum != m_nLoopNumBeforeEdit)
    {
        // Back the way the typing went, so the count is kept and sent like any other.
        pEdit->setText(QString::number(m_nLoopNumBeforeEdit));
        OnLoopCountEdited(pEdit->text());
    }
    else
        pEdit->setText(QString::number(pKey->LoopNum));
    m_host.DialogParent()->setFocus();
}

void CMacroPageHandler::OnLoopEnableClicked()
{
    const auto* pCheck = dynamic_cast<const CCheckButton*>(m_host.FindControl(IDC_LOOP_ENABLE));
    MacroKey* pKey = CurrentKey();
    if (!pCheck || !pKey)
        return;
    m_host.Session().SetLoopEnabled(*pKey, pCheck->GetChecked());
}

// ---- Recording ----

void CMacroPageHandler::OnRecordClicked()
{
    auto* pRecord = dynamic_cast<CCheckButton*>(m_host.FindControl(IDC_RECORD));
    if (!pRecord)
        return;
    if (!pRecord->GetChecked())
    {
        if (m_bRecording)
            StopRecording();
        return;
    }
    if (m_bRecording)
        return;
    if (!CurrentKey())
    {
        pRecord->SetChecked(false);
        m_host.RepaintControl(*pRecord);
        m_host.ShowAttention(kAttentionTitle, AttentionText::kSelectToRecord);
        return;
    }
    StartRecording();
}

void CMacroPageHandler::StartRecording()
{
    m_pHook->StartHook(m_host.DialogParent());
    m_recorder.Begin(*CurrentKey());
    m_bRecording = true;
    m_host.Session().BeginRecording(*CurrentKey());
    if (CImageShowList* pActions = ActionList())
    {
        pActions->SetFirstVisibleRow(0);
        pActions->SetSelectedRow(-1);
    }
    SetControlsDisabledForRecording(true);
    UpdateLists();
    m_host.RepaintWindow();
}

void CMacroPageHandler::StopRecording()
{
    // The hook goes first, so a message shown after a full recording gets its keys.
    m_pHook->StopHook();
    m_bRecording = false;
    SetControlsDisabledForRecording(false);
    if (auto* pRecord = dynamic_cast<CCheckButton*>(m_host.FindControl(IDC_RECORD)))
        pRecord->SetChecked(false);
    if (const MacroKey* pKey = CurrentKey())
        m_host.Session().EndRecording(*pKey);
    m_host.RepaintWindow();
}

void CMacroPageHandler::OnHookKey(WPARAM wParam, LPARAM lParam)
{
    MacroKey* pKey = CurrentKey();
    if (!pKey)
        return;
    const auto* pDelays = dynamic_cast<const CCheckButton*>(m_host.FindControl(IDC_RECORD_DELAYS));
    const bool bWithDelays = pDelays && pDelays->GetChecked();
    switch (m_recorder.OnKey(*pKey, static_cast<std::uint8_t>(wParam & 0xFF), IsHookRelease(lParam), HookStamp(lParam),
                             bWithDelays))
    {
    case CMacroRecorder::EResult::Ignored: return;
    case CMacroRecorder::EResult::Recorded:
        // The newest action stays in view.
        if (CImageShowList* pActions = ActionList())
            pActions->SetFirstVisibleRow(ActionCount(pKey) - pActions->GetVisibleRows());
        UpdateLists();
        m_host.Session().StepRecorded();
        return;
    case CMacroRecorder::EResult::Full:
        StopRecording();
        m_host.ShowAttention(kAttentionTitle, AttentionText::kActionsFull);
        return;
    }
}

void CMacroPageHandler::SetControlsDisabledForRecording(bool bDisabled)
{
    for (int nList : {CommonList, MacroPageList})
        for (CControlBase* pControl : m_host.ControlsOf(nList))
            if (pControl->GetId() != IDC_RECORD && pControl->GetId() != IDC_RECORD_DELAYS)
                pControl->SetDisabled(bDisabled);
    if (QLineEdit* pEdit = m_host.LoopCountEdit())
        pEdit->setEnabled(!bDisabled);
}

// ---- Scrolling ----

void CMacroPageHandler::OnScrollBar(UINT nBarId, WPARAM nPart, LPARAM nCode)
{
    const UINT nListId = nBarId == IDC_MACRO_LIST_SCROLL ? IDC_MACRO_LIST : IDC_ACTION_LIST;
    const CEditShowList* pMacros = MacroList();
    const CImageShowList* pActions = ActionList();
    if (!pMacros || !pActions)
        return;
    const int nFirst = nListId == IDC_MACRO_LIST ? pMacros->GetFirstVisibleRow() : pActions->GetFirstVisibleRow();
    const int nPage = nListId == IDC_MACRO_LIST ? pMacros->GetVisibleRows() : pActions->GetVisibleRows();
    if (nCode == NOTIFY_SCROLL)
    {
        if (const CVScrollBar* pBar = ScrollBar(nBarId))
            ScrollListTo(nListId, pBar->GetPosition());
        return;
    }
    if (nCode != NOTIFY_PRESS)
        return;
    switch (nPart)
    {
    case SB_PART_UP: ScrollListTo(nListId, nFirst - 1); break;
    case SB_PART_DOWN: ScrollListTo(nListId, nFirst + 1); break;
    case SB_PART_PAGE_UP: ScrollListTo(nListId, nFirst - nPage); break;
    case SB_PART_PAGE_DOWN: ScrollListTo(nListId, nFirst + nPage); break;
    default: break; // the thumb moves with the drag
    }
}

void CMacroPageHandler::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    m_nWheelRest += WheelDeltaOf(wParam);
    const int nNotches = m_nWheelRest / WHEEL_DELTA;
    m_nWheelRest -= nNotches * WHEEL_DELTA;
    if (nNotches == 0)
        return;
    const int x = LParamX(lParam);
    const int y = LParamY(lParam);
    // Turning the wheel away from the user goes towards the start of the list.
    if (const CEditShowList* pMacros = MacroList(); pMacros && pMacros->GetRect().PtInRect(x, y))
        ScrollListTo(IDC_MACRO_LIST, pMacros->GetFirstVisibleRow() - nNotches);
    else if (const CImageShowList* pActions = ActionList(); pActions && pActions->GetRect().PtInRect(x, y))
        ScrollListTo(IDC_ACTION_LIST, pActions->GetFirstVisibleRow() - nNotches);
}

void CMacroPageHandler::ScrollListTo(UINT nListId, int nFirstRow)
{
    if (nListId == IDC_MACRO_LIST)
    {
        if (CEditShowList* pMacros = MacroList())
            pMacros->SetFirstVisibleRow(nFirstRow);
    }
    else if (CImageShowList* pActions = ActionList())
        pActions->SetFirstVisibleRow(nFirstRow);
    UpdateLists(); // brings the row into range and moves the thumb
}

// ---- Files ----

MacroKey* CMacroPageHandler::AskForMacroKeyFile(MacroKeyTransfer::EDirection eDirection, std::string& strPath)
{
    MacroKey* pKey = SelectedKey();
    if (!pKey)
    {
        m_host.ShowAttention(kAttentionTitle, eDirection == MacroKeyTransfer::EDirection::Export
                                                  ? AttentionText::kSelectToExport
                                                  : AttentionText::kSelectToImport);
        return nullptr;
    }
    QFileDialog dlg(m_host.DialogParent());
    MacroKeyTransfer::ConfigureDialog(dlg, eDirection);
    return m_host.RunFileDialog(dlg, strPath) ? pKey : nullptr;
}

void CMacroPageHandler::OnExport()
{
    std::string strPath;
    if (const MacroKey* pKey = AskForMacroKeyFile(MacroKeyTransfer::EDirection::Export, strPath))
        WriteMacroKeyFile(strPath, *pKey);
}

void CMacroPageHandler::OnImport()
{
    std::string strPath;
    MacroKey* pKey = AskForMacroKeyFile(MacroKeyTransfer::EDirection::Import, strPath);
    if (!pKey)
        return;
    if (MacroKeyTransfer::Import(strPath, *pKey))
        m_host.Session().MacroImported(*pKey);
    else
        m_host.ShowAttention(kAttentionTitle, AttentionText::kImportError);
    // What the page shows follows what the macro now holds, after a broken file too.
    UpdateLists();
    ShowRepeatSettings();
}
