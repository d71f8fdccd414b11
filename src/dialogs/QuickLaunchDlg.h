#pragma once
// Picks the program (or any file) that a programmable key starts.
//
// Use: CQuickLaunchDlg dlg(pMainWindow); dlg.DoModal();
// On OK with a chosen file, the parent receives UM_QUICK_LAUNCH_RESULT (DialogMessages.h):
// wParam = const std::string* with the full path (the key's URL), lParam = const PopupResult*
// with the file name, extension included (the key's name) and KeyValue 07 00 00. Close, Cancel
// and an OK without a file send nothing. The dialog always ends as IDCANCEL; every run starts
// with an empty path.
//
// The browse dialog lists programs (files the user may execute) and, through its second filter,
// every file; only existing files can be chosen. The file is started or opened later, when the
// key is pressed on the keyboard (platform/SpawnLauncher.h).

#include "dialogs/AssignmentDlg.h"
#include "skin/Popups.h"

#include <QSortFilterProxyModel>

class QFileDialog;

class CQuickLaunchDlg : public CAssignmentDlg
{
public:
    static constexpr unsigned kBackgroundBitmap = 176; // also the window's shape
    static constexpr UINT kBrowseId = 2012;
    static constexpr UINT kPathId = 2013;
    static constexpr const char* kBrowseTitle = "Open";
    static constexpr const char* kProgramsFilter = "Programs (*)";
    static constexpr const char* kAllFilesFilter = "All files (*)";

    explicit CQuickLaunchDlg(CSkinWindow* pParent = nullptr);

    void CreateControls(int nLeft, int nTop, int nRight, int nBottom) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

    const std::string& GetPath() const { return m_strPath; }
    const PopupResult& GetResult() const { return m_result; }

    // Sets up an open-file dialog as the browse button shows it: the two filters, existing
    // files only, starting in the current folder.
    static void ConfigureBrowseDialog(QFileDialog& dlg);

protected:
    // Asks the user for a file; false when the user cancels. Tests replace it.
    virtual bool ChooseFile(std::string& strPath);

private:
    void OnBrowse();

    PopupResult m_result;
    std::string m_strPath;
};

// The browse dialog's file list under the programs filter: folders and the files the user may
// execute; under any other filter, everything the dialog's own model lists.
class CProgramFilterModel : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetProgramsOnly(bool bProgramsOnly);
    bool IsProgramsOnly() const { return m_bProgramsOnly; }

protected:
    bool filterAcceptsRow(int nSourceRow, const QModelIndex& parent) const override;

private:
    bool m_bProgramsOnly = true;
};
