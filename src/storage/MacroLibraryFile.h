#pragma once
// config/MacroLibraryFile.mlf: the whole macro library, every set and key with all 200 action
// slots.

#include <string>
#include <string_view>

#include "model/Macro.h"

class CTextFileLines;

// Reads into a cleared library. False on a missing file, a wrong header, a missing line or a
// malformed one (no "=", an empty value, an action line that is not 1600 digits); the library
// then holds what was read before. An action count above 200 is brought to 200; other numbers
// saturate at the range of their field.
bool ReadMacroLibraryFile(const std::string& strPath, MacroLibrary& library);
// The same for text already in memory.
bool ParseMacroLibraryLines(const CTextFileLines& lines, MacroLibrary& library);
bool WriteMacroLibraryFile(const std::string& strPath, const MacroLibrary& library);
std::string FormatMacroLibraryFile(const MacroLibrary& library);

// Start-up read: on failure the library becomes the single empty default set and the file is
// rewritten, after a copy of the damaged file was kept beside it (when that copy cannot be made
// the file is left as it is). Returns false when the default had to be used.
bool LoadMacroLibraryFile(const std::string& strPath, MacroLibrary& library);

// Shared by the library and the single-key file: all 200 slots as 1600 hexadecimal digits.
void AppendActionDigits(std::string& strOut, const MacroKey& key);
// A key's repeat settings, counts and actions, five lines as both files write them: each line
// starts with strIndent, the two repeat lines' names with strLoopPrefix ("MacroKey" or
// "MacroKey3"), and the action line with strActionIndent.
void AppendMacroKeyBody(std::string& strOut, const MacroKey& key, std::string_view strIndent,
                        std::string_view strLoopPrefix, std::string_view strActionIndent);
// Parses the 1600 digits after nStart into the key's slots; false when the value is not exactly
// 1600 characters long (nothing is stored then).
bool ParseActionDigits(std::string_view strLine, size_t nStart, MacroKey& key);
