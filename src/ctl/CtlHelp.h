#pragma once
// corvanectl's commands as one table, and the two texts made from it: the --help text and the
// man page. Whatever the help says, the man page says too, since both come from here.

#include <string>
#include <vector>

enum class ECtlCommand
{
    Status,
    Profile,
    Lighting,
    Apply,
    Reset,
    Macros,
    ExportMacro,
    ImportMacro,
    Backup,
    Restore,
    Autostart,
};

struct CtlCommandInfo
{
    ECtlCommand m_eCommand;
    const char* m_pszName;
    const char* m_pszArguments; // as written after the name in a synopsis
    int m_nMinArguments;        // positional arguments (options not counted)
    int m_nMaxArguments;
    const char* m_pszSummary; // one line of --help
    const char* m_pszDetail;  // the man page's paragraph
};

const std::vector<CtlCommandInfo>& CtlCommands();
// The command of that name; null when there is none.
const CtlCommandInfo* FindCtlCommand(const std::string& strName);

std::string CtlHelpText();
std::string CtlManPage(const std::string& strVersion);
