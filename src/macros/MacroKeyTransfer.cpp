#include "macros/MacroKeyTransfer.h"

#include <QDir>
#include <QFileDialog>

#include <vector>

#include "model/Macro.h"
#include "model/Profile.h"
#include "storage/MacroKeyFile.h"
#include "storage/TextFile.h"

namespace MacroKeyTransfer
{
void ConfigureDialog(QFileDialog& dlg, EDirection eDirection)
{
    const bool bExport = eDirection == EDirection::Export;
    dlg.setWindowTitle(QString::fromUtf8(bExport ? ExportTitle : ImportTitle));
    // Qt's own dialog looks and behaves the same on every desktop (and under a test display).
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(bExport ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(bExport ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(QString::fromUtf8(Filter));
    dlg.setDefaultSuffix(QString::fromUtf8(Suffix));
    dlg.setDirectory(QDir::currentPath());
}

bool Import(const std::string& strPath, MacroKey& key)
{
    if (ReadMacroKeyFile(strPath, key))
        return true;
    // Lines 2 and 3 hold LoopEnable and LoopNum; each is taken as soon as it is read, brought into
    // its field's range as the whole-file read does (300 repeats is 255, not 44).
    std::vector<std::string> vecLines;
    if (!ReadTextLines(strPath, vecLines) || vecLines.empty() || vecLines[0] != "[MacroKey]")
        return false;
    for (size_t nLine = 1; nLine <= 2 && nLine < vecLines.size(); ++nLine)
    {
        const std::string& strLine = vecLines[nLine];
        const size_t nEq = strLine.find('=');
        if (nEq == std::string::npos || nEq + 1 == strLine.size())
            break;
        const std::string_view value = std::string_view(strLine).substr(nEq + 1);
        if (nLine == 1)
            key.LoopEnable = ParseDecimalAs<unsigned>(value);
        else
            key.LoopNum = ParseDecimalAs<uint8_t>(value);
    }
    return false;
}
} // namespace MacroKeyTransfer
