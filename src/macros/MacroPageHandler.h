#pragma once
// The macro page: the list of the macros of the first macro set, with a new name typed under its
// last row; the actions of the selected macro; delete, import and export; the repeat count and
// its switch; and recording from the keyboard through the main window's keyboard hook, with or
// without the pauses between the keys.
//
// The library file is written at once when a macro is added, deleted or imported and when a
// recording ends; the repeat settings only mark the library as changed (the next Apply writes
// it). An edit of a macro that a programmable key of slot 0..2 holds also marks that key's macro
// to be sent again at the next Apply.
//
// While recording, every control of the page and of the window's header, tabs and slots is
// disabled except the record button and the delays box, so neither the page nor the macro can
// change; the hook keeps the recorded keys (Escape included) from acting on the window.

#include <memory>
#include <string>

#include "macros/MacroKeyTransfer.h"
#include "macros/MacroRecorder.h"
#include "mainwindow/MainWindowHandler.h"

class CEditShowList;
class CImageShowList;
class CKeyHook;
class CMainWindowHost;
class CVScrollBar;
class QString;
struct MacroKey;
struct MacroSet;

class CMacroPageHandler : public CMainWindowHandler
{
public:
    // pHook: the keyboard hook recordings use; null for the program's own (CKeyboardHook).
    explicit CMacroPageHandler(CMainWindowHost& host, std::unique_ptr<CKeyHook> pHook = nullptr);
    ~CMacroPageHandler() override;

    bool HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void Refresh(const ProfileRecord& record) override;
    void Initialise() override;
    // The repeat-count box exists from now on: the window makes it once its first frame is
    // shown, as the key page it opens on has no use for it.
    void OnLoopCountEditCreated();

    bool IsRecording() const { return m_bRecording; }
    // The macro the page shows and records into; null when none is selected.
    MacroKey* CurrentKey() const;

private:
    CEditShowList* MacroList() const;
    CImageShowList* ActionList() const;
    CVScrollBar* ScrollBar(UINT nId) const;
    MacroSet* ListedSet() const;
    // The key selected in the list (what delete, import and export act on); null when none.
    MacroKey* SelectedKey() const;
    bool IsPageShown() const;

    // ---- Selection and view ----
    void OnSelectionChanged();
    // Points the action list at the current key again (the library may have moved its keys),
    // keeps both lists' first rows in range and sets the scroll bars from them.
    void UpdateLists();
    void ShowRepeatSettings();

    // ---- New names, delete ----
    void OnNewMacro();
    // Takes the typed name: true when it was added or there was nothing to add, false when it
    // was refused with a message (the editor stays for correction).
    bool CommitNewName();
    // A left press in the window while a name is being typed; true when the press is used up.
    bool OnWindowPress(int x, int y);
    void OnListNotification(LPARAM nCode);
    void OnDelete();

    // ---- Repeat ----
    void OnLoopCountEdited(const QString& strText);
    void NoteLoopCountBeforeEdit();
    void OnLoopCountEscape();
    void OnLoopEnableClicked();

    // ---- Recording ----
    void OnRecordClicked();
    void StartRecording();
    void StopRecording();
    void OnHookKey(WPARAM wParam, LPARAM lParam);
    void SetControlsDisabledForRecording(bool bDisabled);

    // ---- Scrolling ----
    void OnScrollBar(UINT nBarId, WPARAM nPart, LPARAM nCode);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void ScrollListTo(UINT nListId, int nFirstRow);

    // ---- Files ----
    // The selected macro and the file the user chose for it; null (after the message when no
    // macro is selected) when there is nothing to do.
    MacroKey* AskForMacroKeyFile(MacroKeyTransfer::EDirection eDirection, std::string& strPath);
    void OnExport();
    void OnImport();

    CMainWindowHost& m_host;
    std::unique_ptr<CKeyHook> m_pHook;
    CMacroRecorder m_recorder;
    int m_nCurrentKey = -1;        // index in the first set; -1 for none
    int m_nLoopNumBeforeEdit = -1; // the count an Escape in the repeat box goes back to
    bool m_bRecording = false;
    int m_nWheelRest = 0;           // wheel turn short of a whole notch
    bool m_bSwallowRelease = false; // the last press was used up by a name being typed
};
