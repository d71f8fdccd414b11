#include "DialogTestSupport.h"

#include "dialogs/KeyMapSettingDlg.h"
#include "dialogs/QuickLaunchDlg.h"
#include "dialogs/ShortcutDlg.h"
#include "skin/ListControls.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace
{

// A quick launch dialog whose browse dialog answers from a script (nullopt: cancelled).
class CScriptedQuickLaunchDlg : public CQuickLaunchDlg
{
public:
    using CQuickLaunchDlg::CQuickLaunchDlg;
    std::deque<std::optional<std::string>> m_queAnswers;

protected:
    bool ChooseFile(std::string& strPath) override
    {
        if (m_queAnswers.empty())
            return false;
        const std::optional<std::string> answer = m_queAnswers.front();
        m_queAnswers.pop_front();
        if (!answer)
            return false;
        strPath = *answer;
        return true;
    }
};

// Names the browse dialog lists in a folder once its model has read it.
QStringList ListedNames(QFileDialog& dlg, const QString& strFolder)
{
    auto* pProxy = dynamic_cast<QSortFilterProxyModel*>(dlg.proxyModel());
    auto* pFiles = pProxy ? qobject_cast<QFileSystemModel*>(pProxy->sourceModel()) : nullptr;
    if (!pFiles)
        return {QStringLiteral("<no model>")};
    const QModelIndex folder = pFiles->index(strFolder);
    QElapsedTimer timer;
    timer.start();
    while (pFiles->rowCount(folder) < 3 && timer.elapsed() < 5000)
    {
        pFiles->fetchMore(folder);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QStringList names;
    const QModelIndex proxyFolder = pProxy->mapFromSource(folder);
    for (int nRow = 0; nRow < pProxy->rowCount(proxyFolder); ++nRow)
        names << pProxy->index(nRow, 0, proxyFolder).data().toString();
    names.sort();
    return names;
}

} // namespace

// ---- Quick launch ----

TEST(QuickLaunchDialog, TheKeyGetsTheFullPathAndTheBareFileName)
{
    CResultWindow parent;
    CScriptedQuickLaunchDlg dlg(&parent);
    dlg.Create();
    dlg.m_queAnswers = {std::string("/opt/first/tool"), std::string("/home/me/My Programs/run me (1).sh"),
                        std::nullopt};
    Click(dlg, CQuickLaunchDlg::kBrowseId);
    Click(dlg, CQuickLaunchDlg::kBrowseId); // the second choice replaces the first
    Click(dlg, CQuickLaunchDlg::kBrowseId); // a cancelled browse keeps it
    const auto* pPath = dynamic_cast<const CStaticText*>(dlg.FindControl(CQuickLaunchDlg::kPathId));
    ASSERT_NE(pPath, nullptr);
    EXPECT_EQ(pPath->GetDisplayText(), "/home/me/My Programs/run me (1).sh");
    Click(dlg, IDC_DLG_OK);
    ASSERT_EQ(parent.m_vecResults.size(), 1u);
    const DialogResult& sent = parent.m_vecResults[0];
    EXPECT_EQ(sent.nMsg, UM_QUICK_LAUNCH_RESULT);
    EXPECT_EQ(sent.strPath, "/home/me/My Programs/run me (1).sh");
    EXPECT_EQ(sent.result.m_strName, "run me (1).sh");
    EXPECT_EQ(sent.result.m_keyValue, (KeyValue{0x07, 0x00, 0x00}));
}

TEST(QuickLaunchDialog, BrowseListsProgramsFirstAndEveryFileThroughTheSecondFilter)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString strTool = folder.filePath(QStringLiteral("tool"));
    const QString strNotes = folder.filePath(QStringLiteral("notes.txt"));
    for (const QString& strFile : {strTool, strNotes})
    {
        QFile file(strFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(strTool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));

    QFileDialog dlg;
    CQuickLaunchDlg::ConfigureBrowseDialog(dlg);
    EXPECT_EQ(dlg.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dlg.nameFilters(), (QStringList{QStringLiteral("Programs (*)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(dlg.directory().absolutePath(), QDir::currentPath());
    dlg.setDirectory(folder.path());
    EXPECT_EQ(ListedNames(dlg, folder.path()), (QStringList{QStringLiteral("sub"), QStringLiteral("tool")}));
    emit dlg.filterSelected(QStringLiteral("All files (*)"));
    EXPECT_EQ(ListedNames(dlg, folder.path()),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("sub"), QStringLiteral("tool")}));
}

// ---- Nothing chosen ----

TEST(AssignmentDialogs, CloseCancelAndAnEmptyOkSendNothing)
{
    CResultWindow parent;
    for (UINT nButton : {IDC_DLG_CLOSE, IDC_DLG_CANCEL, IDC_DLG_OK})
    {
        {
            CShortcutDlg dlg(&parent);
            dlg.Create();
            QueueClick(dlg, nButton);
            EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        }
        {
            CScriptedQuickLaunchDlg dlg(&parent);
            dlg.Create();
            QueueClick(dlg, nButton);
            EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        }
        if (nButton != IDC_DLG_OK)
        {
            CKeyMapSettingDlg dlg(&parent, 2200, "Esc", 0x29, 0x29);
            dlg.Create();
            QueueKey(&dlg, kEvQ);
            QueueClick(dlg, nButton);
            EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        }
    }
    EXPECT_TRUE(parent.m_vecResults.empty());
    EXPECT_TRUE(parent.m_vecKeys.empty());
}
