#pragma once
// The file that remembers which applied edits still wait for the keyboard (it was unplugged, or a
// write failed), so that they reach it at the next connection even after a restart. It lives
// beside the data files and is a format of the program's own; the data files stay as they are.
//
//   [PendingEdits]
//   ActiveProfile=Pending
//   Profile1=Lighting KeyTable G2 G5
//
// The first line is there when the keyboard has not been told the active profile; one line per
// slot that has something waiting (slot 0 is "Profile1"); G1..G5 are the macros of
// the programmable keys. Unknown words and lines are ignored, so a damaged file loses at most
// what it cannot say.

#include <string>

#include "model/PendingChanges.h"

constexpr const char* PendingEditsFileName = "PendingEdits.ini";

std::string FormatPendingEditsFile(const AwaitingEdits& awaiting);
AwaitingEdits ParsePendingEditsFile(const std::string& strContent);

// An empty set removes the file; otherwise it is written atomically. False when that failed.
bool WritePendingEditsFile(const std::string& strPath, const AwaitingEdits& awaiting);
// Nothing waiting when the file is missing or unreadable.
AwaitingEdits ReadPendingEditsFile(const std::string& strPath);
