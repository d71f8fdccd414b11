#include "ctl/CtlHelp.h"

#include <sstream>

#include "ctl/CtlArguments.h"

namespace
{
const std::vector<CtlCommandInfo> Commands = {
    {ECtlCommand::Status, "status", "", 0, 0,
     "Show the keyboard, its active profile and each profile's lighting and keys.",
     "Reads the keyboard's settings, as the program does whenever it connects, and prints one "
     "\"name: value\" line each: keyboard (connected, not connected, or no access when it is "
     "plugged in but its device nodes cannot be opened), read from (keyboard or files), active "
     "profile, and for profiles 1 to 3 their name, colour, brightness and the programmable keys "
     "G1 to G5. Each key shows its function and its three value bytes in brackets. Without the "
     "keyboard the values are those of the data files. The names of these lines stay the same "
     "from one version to the next, so scripts may rely on them."},
    {ECtlCommand::Profile, "profile", "N", 1, 1, "Make profile N (1-3) active on the keyboard and in the settings.",
     "Reads the keyboard's settings, makes profile N (1, 2 or 3) the active one and applies: "
     "the keyboard switches to it and the settings and profile files are saved."},
    {ECtlCommand::Lighting, "lighting", "COLOUR BRIGHTNESS [--profile N]", 2, 2,
     "Set the lighting of the active profile, or of profile N.",
     "Reads the keyboard's settings, sets the colour and brightness of the active profile (or "
     "of profile N) and applies, as the Apply button does: the new lighting is sent and the "
     "files are saved. The active profile stays as it is."},
    {ECtlCommand::Apply, "apply", "", 0, 0, "Send the saved profiles 1-3 to the keyboard and select the active one.",
     "Sends what the data files hold for profiles 1 to 3 (lighting, key table, programmable "
     "keys and the macros they use) to the keyboard without reading the keyboard first, then "
     "selects the active profile and saves the files. This is how changes saved while the "
     "keyboard was not connected reach it. Fails when the keyboard is not connected."},
    {ECtlCommand::Reset, "reset", "N|all", 1, 1, "Restore the factory settings of profile N, or of all profiles.",
     "Reads the keyboard's settings, then restores the factory name, lighting, key table and "
     "programmable keys of profile N (which becomes the active profile), or of profiles 1 to 3 "
     "together with the default settings (profile 1 active). The profiles are saved and sent "
     "in the same order as the reset buttons of the program's window; there is no confirmation "
     "question. Profiles 4 and 5, which only the data files keep, are left alone."},
    {ECtlCommand::Macros, "macros", "", 0, 0, "List the macros.",
     "Prints one line per macro of the macro set the keyboard uses: its name, its number of "
     "actions, its repeat count, and the programmable keys of profiles 1 to 3 that play it. "
     "Prints nothing when there are no macros."},
    {ECtlCommand::ExportMacro, "export-macro", "NAME FILE.mkf", 2, 2, "Write macro NAME to a macro key file.",
     "Writes the actions and repeat settings of macro NAME to FILE in the program's macro key "
     "file format (.mkf), which the program's Import button reads. The name is not stored."},
    {ECtlCommand::ImportMacro, "import-macro", "FILE.mkf [NAME]", 1, 2,
     "Read a macro key file into macro NAME (default: the file's name).",
     "Reads FILE into macro NAME, or into a macro named like the file without its extension. "
     "An existing macro of that name gets the file's actions and repeat settings and keeps its "
     "name; otherwise a new macro is added. Names have 1 to 12 bytes. A file that cannot be "
     "read whole changes nothing. A macro in use by a programmable key reaches the keyboard "
     "with the next apply."},
    {ECtlCommand::Backup, "backup", "FILE", 1, 1, "Save all data files into one archive.",
     "Writes the settings file, the five profile files and the macro library into FILE, an "
     "archive described under BACKUP ARCHIVE. The keyboard is not read."},
    {ECtlCommand::Restore, "restore", "FILE", 1, 1,
     "Replace all data files with those of an archive and send them to the keyboard.",
     "Checks the whole archive first: every member present once, intact and readable. A "
     "damaged archive is refused and nothing changes. Then all files are replaced together: "
     "each is written beside its old self and only renamed over it once every new file is "
     "safely on disk. The profile files keep this computer's paths; the active profile comes "
     "from the archive. When the keyboard is connected, the restored profiles are sent to it "
     "as apply does."},
    {ECtlCommand::Autostart, "autostart", "on|off|status", 1, 1,
     "Start the program hidden in the tray at login, or not (off by default).",
     "on writes an XDG autostart entry in $XDG_CONFIG_HOME/autostart/ (by default "
     "~/.config/autostart/) that starts \"corvane --tray\" when the user logs in: "
     "the program reads the keyboard and waits in the tray (minimised where the desktop has no "
     "tray), so profile and lock key notices appear and the keyboard's own changes are followed "
     "from the start. off removes the entry; status tells whether it is there. Neither the data "
     "files nor the keyboard are touched, so this also works while the window runs."},
};

const char* const Description =
    "corvanectl configures the keyboard from a shell. It works on the same data files as the "
    "program's window and talks to the keyboard the same way, so whatever one saves the other "
    "reads. It does not run while the window runs (nor two at a time): it then stops with a "
    "message and changes nothing. Only autostart, which touches neither, runs beside it.";

const char* const KeyboardNote =
    "When the keyboard is not connected, profile, lighting and reset still save their change in "
    "the data files and say so; apply sends them once the keyboard is back. Any other command "
    "that talks to the keyboard first reads the keyboard's own settings, which then replace "
    "the saved ones, as they do when the window starts.";

const char* const FilesNote =
    "The data files are in the config folder of the data folder. A copy run from its build "
    "folder, or a portable copy in a folder its user may write, keeps them beside the program. "
    "An installed copy keeps them in $XDG_CONFIG_HOME/corvane/config/, by default "
    "~/.config/corvane/config/: config.ini (active profile, profile file paths), default0.psf "
    "to default4.psf (profiles 1 to 5) and MacroLibraryFile.mlf (macros).";

const char* const ArchiveNote =
    "A backup archive is a text file. Its first line is \"corvane-backup 1\". Each member "
    "follows as a line \"member NAME LENGTH CRC\" (LENGTH in bytes, CRC the CRC-32 of the "
    "content as eight upper-case hexadecimal digits, as zlib computes it), then exactly "
    "LENGTH bytes of content and a line feed. The members are config.ini, default0.psf to default4.psf (the "
    "profile files of slots 0 to 4, wherever the settings keep them) and MacroLibraryFile.mlf, "
    "each once. The last line is \"end 7\", the number of members.";

void AppendWrapped(std::ostringstream& out, const std::string& strText, size_t nIndent, size_t nWidth = 79)
{
    std::istringstream words(strText);
    std::string strWord;
    size_t nColumn = 0;
    while (words >> strWord)
    {
        if (nColumn > 0 && nColumn + 1 + strWord.size() > nWidth)
        {
            out << '\n';
            nColumn = 0;
        }
        if (nColumn == 0)
        {
            out << std::string(nIndent, ' ');
            nColumn = nIndent;
        }
        else
        {
            out << ' ';
            ++nColumn;
        }
        out << strWord;
        nColumn += strWord.size();
    }
    out << '\n';
}

std::string Synopsis(const CtlCommandInfo& command)
{
    std::string strText = command.m_pszName;
    if (*command.m_pszArguments)
        strText += std::string(" ") + command.m_pszArguments;
    return strText;
}

std::string ColourText()
{
    return "COLOUR is one of " + JoinNames(ColourNames()) + ", or its number 1 to 7 in that order.";
}

std::string BrightnessText()
{
    return "BRIGHTNESS is one of " + JoinNames(BrightnessNames()) +
           ", or its code 24, 8, 4, 2 or 1 in that order. Names may be written in any case.";
}

const char* const ExitNote = "0 when the command was done, 1 when it could not be (keyboard, files, archive, another "
                             "copy running), 2 when the command line was wrong (then nothing was touched).";

// Text for a roff paragraph: backslashes and hyphens escaped, no line starting with a control
// character.
std::string Roff(const std::string& strText)
{
    std::string strOut;
    for (char c : strText)
    {
        if (c == '\\')
            strOut += "\\e";
        else if (c == '-')
            strOut += "\\-";
        else
            strOut += c;
    }
    if (!strOut.empty() && (strOut[0] == '.' || strOut[0] == '\''))
        strOut.insert(0, "\\&");
    return strOut;
}
} // namespace

const std::vector<CtlCommandInfo>& CtlCommands()
{
    return Commands;
}

const CtlCommandInfo* FindCtlCommand(const std::string& strName)
{
    for (const CtlCommandInfo& command : Commands)
        if (strName == command.m_pszName)
            return &command;
    return nullptr;
}

std::string CtlHelpText()
{
    std::ostringstream out;
    out << "Usage: corvanectl COMMAND [ARGUMENTS]\n";
    AppendWrapped(out, Description, 0);
    out << "\nCommands:\n";
    for (const CtlCommandInfo& command : Commands)
    {
        out << "  " << Synopsis(command) << '\n';
        AppendWrapped(out, command.m_pszSummary, 6);
    }
    out << "\nProfiles are numbered 1 to 3, as on the keyboard.\n";
    AppendWrapped(out, ColourText(), 0);
    AppendWrapped(out, BrightnessText(), 0);
    out << '\n';
    AppendWrapped(out, KeyboardNote, 0);
    out << '\n';
    AppendWrapped(out, std::string("Exit status: ") + ExitNote, 0);
    out << "\nOptions: -h, --help  this text;  --version  the version.\n"
           "More in corvanectl(1).\n";
    return out.str();
}

std::string CtlManPage(const std::string& strVersion)
{
    std::ostringstream out;
    out << ".TH CORVANECTL 1 \"\" \"Corvane " << Roff(strVersion) << "\" \"User Commands\"\n"
        << ".SH NAME\ncorvanectl \\- configure the keyboard's profiles, lighting and macros from "
           "a shell\n"
        << ".SH SYNOPSIS\n";
    for (const CtlCommandInfo& command : Commands)
        out << ".B corvanectl\n" << Roff(Synopsis(command)) << "\n.br\n";
    out << ".B corvanectl\n\\-\\-help | \\-\\-version\n"
        << ".SH DESCRIPTION\n"
        << Roff(Description) << "\n.PP\n"
        << "Profiles are numbered 1 to 3, as on the keyboard.\n"
        << ".SH COMMANDS\n";
    for (const CtlCommandInfo& command : Commands)
        out << ".TP\n.B " << Roff(Synopsis(command)) << '\n' << Roff(command.m_pszDetail) << '\n';
    out << ".SH COLOURS AND BRIGHTNESS\n"
        << Roff(ColourText()) << "\n.PP\n"
        << Roff(BrightnessText()) << '\n'
        << ".SH WITHOUT THE KEYBOARD\n"
        << Roff(KeyboardNote) << '\n'
        << ".SH FILES\n"
        << Roff(FilesNote) << '\n'
        << ".SH BACKUP ARCHIVE\n"
        << Roff(ArchiveNote) << '\n'
        << ".SH EXIT STATUS\n"
        << Roff(ExitNote) << '\n'
        << ".SH OPTIONS\n.TP\n.B \\-h, \\-\\-help\nThe command summary.\n"
        << ".TP\n.B \\-\\-version\nThe version.\n";
    return out.str();
}
