#pragma once
// A macro key file (.mkf): one macro key's repeat settings and all 200 action slots, for export
// and import. The name is not stored; an import keeps the target's name.

#include <string>

#include "model/Macro.h"

class CTextFileLines;

bool WriteMacroKeyFile(const std::string& strPath, const MacroKey& key);
std::string FormatMacroKeyFile(const MacroKey& key);

// Reads a file into the key. The target changes only when the whole file is valid: a broken
// import never leaves a half-imported macro (counts from the file with the old actions).
// False on a missing file, a wrong header, a missing or malformed line.
bool ReadMacroKeyFile(const std::string& strPath, MacroKey& key);
// The same for text already in memory.
bool ParseMacroKeyLines(const CTextFileLines& lines, MacroKey& key);
