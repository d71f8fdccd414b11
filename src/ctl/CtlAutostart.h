#pragma once
// corvanectl autostart: the XDG autostart entry that starts the window with the user's session,
// hidden in the tray ("corvane --tray"), so the on-screen notices and the keyboard's own events
// are followed from the start. Only that entry is touched: no data file, no keyboard, so it runs
// beside the window too.

#include <string>

struct CCtlServices;
struct CtlRequest;

// $XDG_CONFIG_HOME/autostart/ when XDG_CONFIG_HOME is an absolute path, else
// <home>/.config/autostart/; empty when neither is absolute. With a trailing '/'.
std::string AutostartFolder(const std::string& strXdgConfigHome, const std::string& strHome);

// The entry's whole text for the program at strProgram (a path or a bare name).
std::string AutostartEntryText(const std::string& strProgram);

// request.strSwitch is "on", "off" or "status".
int RunAutostart(const CtlRequest& request, const CCtlServices& services);
