#pragma once
// Where the program keeps its data files: the AppDirectory whose config/ folder holds them.
//
// A copy run from where it was built, or a portable copy unpacked into a folder of the user's,
// keeps its data beside the executable, as it always has. An installed copy cannot (the folder
// belongs to root, or to the package manager) and keeps it per user in the XDG config folder:
//
//   1. A program in /usr or below never writes there (not even when root runs it): per user.
//   2. An existing config/ folder beside the program that we may write wins: the program folder.
//   3. An installed program (its desktop entry at <folder>/../share/applications/) : per user.
//   4. A program folder we may write (the first run of a build or a portable copy): that folder.
//   5. Anything else (a read-only folder): per user.
//
// The per-user folder is $XDG_CONFIG_HOME/corvane/ when XDG_CONFIG_HOME is an absolute path,
// else ~/.config/corvane/. Both the window and corvanectl use this rule, so they always share
// one set of files.

#include <string>

// The program's desktop entry id (its .desktop file without the extension, also the icon's name).
const char* DesktopEntryId();

// "<XDG config home>/corvane/" for these environment values; strHome is the user's home folder.
// Empty when neither gives an absolute path.
std::string PerUserAppDirectory(const std::string& strXdgConfigHome, const std::string& strHome);

// The rule above for a program in strProgramFolder, with the per-user folder given. Looks at the
// file system only; creates nothing. Both folders are returned with a trailing '/'.
std::string ChooseAppDirectory(const std::string& strProgramFolder, const std::string& strPerUserFolder);

// The folder of the running executable (from /proc/self/exe), with a trailing '/'.
std::string RunningProgramFolder();

// The rule for this process: the environment and the user's home from the password database
// when HOME is unset. The per-user folder is created (mode 0700) when it is chosen and missing.
std::string ResolveAppDirectory(const std::string& strProgramFolder);
