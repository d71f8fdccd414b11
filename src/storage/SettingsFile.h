#pragma once
// config/config.ini: the active slot and the path of each slot's profile file.

#include <string>

#include "model/Profile.h"

class CTextFileLines;

// Reads the file into the store, pairs by position. False on a missing file, a wrong header, a
// line without "=" or with "=" first or last, or a line after the sixth pair; the store may then
// hold part of the file. A file that ends early leaves the pairs it does not reach unchanged.
bool ReadSettingsFile(const std::string& strPath, SettingsStore& settings);
// The same for text already in memory.
bool ParseSettingsLines(const CTextFileLines& lines, SettingsStore& settings);
bool WriteSettingsFile(const std::string& strPath, const SettingsStore& settings);
std::string FormatSettingsFile(const SettingsStore& settings);

// Start-up read: on any failure the store gets its defaults and the file is rewritten, after a
// copy of the damaged file was kept beside it (when that copy cannot be made the file is left as
// it is). Returns false when the defaults had to be used.
bool LoadSettingsFile(const std::string& strPath, const std::string& strAppDirectory, SettingsStore& settings);

// True when the path names a profile file (".psf", in any case). Only such a file is ever read
// or overwritten as a profile, so a slot path pointing at another file cannot destroy it.
bool IsProfileFilePath(const std::string& strPath);
// Gives every slot whose path is not a profile file its default path. True when one changed.
bool RepairSlotPaths(SettingsStore& settings, const std::string& strAppDirectory);
