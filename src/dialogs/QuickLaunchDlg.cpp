#include "dialogs/QuickLaunchDlg.h"

#include "dialogs/DialogMessages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>

CQuickLaunchDlg::CQuickLaunchDlg(CSkinWindow* pParent)
    : CAssignmentDlg(pParent, kBackgroundBitmap, EWindowShape::FromBackground, nullptr)
{
    SetWindowSize(305, 245);
}

void CQuickLaunchDlg::CreateControls(int nLeft, int nTop, int, int)
{
    AddBitmapButtons(nLeft, nTop,
                     {{IDC_DLG_CLOSE, 276, 4, 23, 21, 383},
                      {IDC_DLG_OK, 71, 200, 73, 29, 162},
                      {IDC_DLG_CANCEL, 173, 200, 66, 29, 163}});
    // A long path keeps its file name in view and loses folders in the middle.
    AddLabel(kPathId, CRect(nLeft + 26, nTop + 87, nLeft + 256, nTop + 105), DT_LEFT | DT_VCENTER | DT_PATH_ELLIPSIS,
             m_strPath);
    auto* pBrowse =
        new CImageButton(this, kBrowseId, CRect(nLeft + 258, nTop + 87, nLeft + 280, nTop + 105), "", true, false);
    pBrowse->LoadImage(177);
    AddControl(0, pBrowse);
}

void CQuickLaunchDlg::ConfigureBrowseDialog(QFileDialog& dlg)
{
    dlg.setWindowTitle(QString::fromUtf8(kBrowseTitle));
    // The platform's own dialogs ignore a filter model; Qt's dialog applies it.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setDirectory(QDir::currentPath());
    dlg.setNameFilters({QString::fromUtf8(kProgramsFilter), QString::fromUtf8(kAllFilesFilter)});
    dlg.selectNameFilter(QString::fromUtf8(kProgramsFilter));
    auto* pFilter = new CProgramFilterModel(&dlg);
    dlg.setProxyModel(pFilter);
    QObject::connect(&dlg, &QFileDialog::filterSelected, pFilter,
                     [pFilter](const QString& strFilter)
                     { pFilter->SetProgramsOnly(strFilter == QString::fromUtf8(kProgramsFilter)); });
}

bool CQuickLaunchDlg::ChooseFile(std::string& strPath)
{
    QFileDialog dlg(this);
    ConfigureBrowseDialog(dlg);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    strPath = dlg.selectedFiles().constFirst().toStdString();
    return !strPath.empty();
}

void CQuickLaunchDlg::OnBrowse()
{
    std::string strPath;
    if (!ChooseFile(strPath))
        return; // a cancelled browse keeps the earlier choice
    m_strPath = strPath;
    m_result.m_strName = QFileInfo(QString::fromStdString(strPath)).fileName().toStdString();
    if (auto* pPath = dynamic_cast<CStaticText*>(FindControl(kPathId)))
    {
        pPath->SetDisplayText(m_strPath);
        const CRect rc = pPath->GetRect();
        InvalidateRect(&rc, true);
    }
}

void CQuickLaunchDlg::OnOK()
{
    // The opener takes the result from the message, not from the dialog's return value.
    EndDialog(IDCANCEL);
    if (GetResultWindow() && !m_strPath.empty())
    {
        m_result.m_keyValue = KeyValue{0x07, 0, 0};
        SendResult(UM_QUICK_LAUNCH_RESULT, reinterpret_cast<WPARAM>(&m_strPath), reinterpret_cast<LPARAM>(&m_result));
    }
}

LRESULT CQuickLaunchDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (HandleOkCancelButtons(nMsg, lParam))
        return 0;
    if (nMsg == kBrowseId)
    {
        if (lParam == NOTIFY_CLICK)
            OnBrowse();
        return 0;
    }
    return CAssignmentDlg::WindowProc(nMsg, wParam, lParam);
}

// ---- CProgramFilterModel ----

void CProgramFilterModel::SetProgramsOnly(bool bProgramsOnly)
{
    if (m_bProgramsOnly == bProgramsOnly)
        return;
    m_bProgramsOnly = bProgramsOnly;
    invalidateFilter();
}

bool CProgramFilterModel::filterAcceptsRow(int nSourceRow, const QModelIndex& parent) const
{
    if (!m_bProgramsOnly)
        return true;
    const auto* pFiles = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!pFiles)
        return true;
    const QFileInfo info = pFiles->fileInfo(pFiles->index(nSourceRow, 0, parent));
    return info.isDir() || info.isExecutable();
}
