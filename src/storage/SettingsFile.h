#pragma once
// config/config.ini: the active slot and the path of each slot's profile file.

#include <string>

#include "model/Profile.h"

// Reads the file into the store, pairs by position. False on a missing file, a wrong header, a
// line without "=" or with "=" first or last, or a line after the sixth pair; the store may then
// hold part of the file. A file that ends early leaves the pairs it does not reach unchanged.
bool ReadSettingsFile(const std::string& strPath, SettingsStore& settings);
bool WriteSettingsFile(const std::string& strPath, const SettingsStore& settings);
std::string FormatSettingsFile(const SettingsStore& settings);

// Start-up read: on any failure the store gets its defaults and the file is rewritten.
// Returns false when the defaults had to be used.
bool LoadSettingsFile(const std::string& strPath, const std::string& strAppDirectory,
                      SettingsStore& settings);
