#pragma once
// A profile file (.psf): one profile slot's name, lighting, remap table and programmable keys,
// in 20 lines.

#include <string>

#include "model/Profile.h"

class CTextFileLines;

// Reads into the record. False on any missing file, wrong header, short file or malformed line;
// the record then holds whatever was read before the bad line.
bool ReadProfileFile(const std::string& strPath, ProfileRecord& record);
// The same for text already in memory.
bool ParseProfileLines(const CTextFileLines& lines, ProfileRecord& record);
bool WriteProfileFile(const std::string& strPath, const ProfileRecord& record);
std::string FormatProfileFile(const ProfileRecord& record);

// Start-up read of slot n from its path in the settings: on failure the slot gets its factory
// defaults and its file is rewritten, after a copy of the damaged file was kept beside it. A path
// that does not name a profile file (".psf") is neither read nor written: the slot just gets its
// defaults. Returns false when the defaults had to be used.
bool LoadProfileSlot(int nSlot, ProfileStore& store, const SettingsStore& settings);
// Writes slot n to its path; false (nothing written) when the path is not a profile file.
bool SaveProfileSlot(int nSlot, const ProfileStore& store, const SettingsStore& settings);
