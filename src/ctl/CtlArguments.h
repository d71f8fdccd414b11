#pragma once
// corvanectl's command line: which command, with which checked values. Everything a user can
// get wrong in the words themselves is found here, before any file or the keyboard is touched.

#include <string>
#include <vector>

#include "ctl/CtlHelp.h"

struct CtlRequest
{
    enum class EKind
    {
        Command,
        Help,
        Version,
    };
    EKind eKind = EKind::Command;
    ECtlCommand eCommand = ECtlCommand::Status;
    int nSlot = -1;      // profile N as slot N-1; -1: the active profile (lighting) or all (reset)
    int nColour = 0;     // 1..7
    int nBrightness = 0; // 1, 2, 4, 8 or 24
    std::string strFile;
    std::string strMacroName;
    std::string strSwitch; // autostart: "on", "off" or "status"
};

// False with a message for the user when the arguments are not a valid command line.
bool ParseCtlArguments(const std::vector<std::string>& vecArgs, CtlRequest& request, std::string& strError);

// The program's colour names, "Red".."White" (colour 1..7).
std::vector<std::string> ColourNames();
// The program's brightness names in the order of its popup: "Breath", "100%", "60%", "30%", "0%".
std::vector<std::string> BrightnessNames();

// "a, b, c".
std::string JoinNames(const std::vector<std::string>& vecNames);

// A colour name (any case) or number 1..7; 0 when it is neither.
int ParseColour(const std::string& strText);
// A brightness name (any case) or code 24, 8, 4, 2, 1; 0 when it is neither.
int ParseBrightness(const std::string& strText);
// "1".."3" as slot 0..2; -1 otherwise.
int ParseProfileNumber(const std::string& strText);
// Empty when the name can be a macro's: 1 to 12 bytes, no control characters.
std::string CheckMacroName(const std::string& strName);
