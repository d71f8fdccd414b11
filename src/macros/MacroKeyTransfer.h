#pragma once
// Export and import of one macro key as a macro key file (.mkf): the file dialogs as the macro
// page shows them, and the import's rule for a broken file.

#include <string>

class QFileDialog;
struct MacroKey;

namespace MacroKeyTransfer
{
inline constexpr const char* ExportTitle = "Save Macro Key as...";
inline constexpr const char* ImportTitle = "Load Macro Key from...";
inline constexpr const char* Filter = "mkf file(*.mkf)";
inline constexpr const char* Suffix = "mkf";

enum class EDirection
{
    Export,
    Import
};

// Titles, filter, default suffix, the current folder, and for an import existing files only.
void ConfigureDialog(QFileDialog& dlg, EDirection eDirection);

// Reads a macro key file into the key, which keeps its name. A broken file (missing, wrong header,
// a missing or malformed line) answers false; the repeat settings on the lines before the break
// are kept as read, but the counts go in only together with the actions they count, so a broken
// file never leaves a macro whose count does not match its actions.
bool Import(const std::string& strPath, MacroKey& key);
} // namespace MacroKeyTransfer
