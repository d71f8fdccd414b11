#pragma once
// Line-oriented reading and crash-safe writing of the program's text data files.

#include <string>
#include <vector>

// Reads a whole file as lines. A line ends at LF; a CR just before the LF is dropped, so files
// with CR LF or LF line ends read alike. A last line without a line end still counts.
// False when the file cannot be opened or read.
bool ReadTextLines(const std::string& strPath, std::vector<std::string>& vecLines);

// Writes the content to a temporary file in the target's folder, flushes it to disk and renames
// it over the target, so a crash or a full disk never leaves a half-written file behind: on any
// failure the old file stays as it was and the result is false.
bool WriteTextFileAtomic(const std::string& strPath, const std::string& strContent);

// Hexadecimal value of up to nMaxDigits characters starting at nPos. Conversion stops at the first
// character that is not a hexadecimal digit; a group that starts with one (or lies beyond the
// text) gives 0.
unsigned ParseHexGroup(const std::string& strText, size_t nPos, size_t nMaxDigits);

// Appends a byte as two upper-case hexadecimal digits.
void AppendHexByte(std::string& strOut, unsigned char nByte);
