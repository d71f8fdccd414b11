// corvanectl run in-process, each command line as a separate run of the tool, against the
// keyboard simulator and the data files of a scratch folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/BackupArchive.h"
#include "ctl/CtlAutostart.h"
#include "ctl/CtlHelp.h"
#include "ctl/CtlServices.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramLauncher.h"
#include "platform/simulator/ManualClock.h"
#include "platform/simulator/SimulatedKeyboard.h"
#include "storage/DataFiles.h"
#include "storage/MacroKeyFile.h"

namespace
{
class CNoLauncher : public CProgramLauncher
{
public:
    bool Launch(const std::string&) override { return false; }
};

std::string ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& strPath, const std::string& strContent)
{
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strContent;
}

class CtlTest : public ::testing::Test
{
protected:
    CtlTest()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-ctl-XXXXXX").string();
        if (!::mkdtemp(strTemplate.data()))
            ADD_FAILURE() << "no temporary folder";
        m_strDir = strTemplate + "/";
        std::filesystem::create_directory(m_strDir + "run");
    }
    ~CtlTest() override { std::filesystem::remove_all(m_strDir); }

    // One run of the tool, as its own process would be: its own lock, fresh stores.
    int Run(const std::vector<std::string>& vecArgs)
    {
        std::ostringstream out, err;
        CInstanceLock lock(m_strDir + "run");
        const CCtlServices services{m_strDir, m_kb, m_clock, m_launcher, lock, out, err};
        const int nStatus = RunCorvaneCtl(vecArgs, services);
        m_strOut = out.str();
        m_strErr = err.str();
        return nStatus;
    }

    std::string Config(const std::string& strName) const { return m_strDir + "config/" + strName; }
    bool HasLine(const std::string& strLine) const
    {
        return ("\n" + m_strOut).find("\n" + strLine + "\n") != std::string::npos;
    }

    // Changes the data files as the window would save them.
    void EditFiles(const std::function<void(MacroLibrary&, SettingsStore&, ProfileStore&)>& fnEdit)
    {
        CDataFiles files(m_strDir);
        MacroLibrary library;
        SettingsStore settings;
        ProfileStore profiles;
        files.LoadAll(library, settings, profiles);
        fnEdit(library, settings, profiles);
        ASSERT_TRUE(files.SaveMacroLibrary(library));
        ASSERT_TRUE(files.SaveSettings(settings));
        ASSERT_TRUE(files.SaveAllProfiles(profiles, settings));
    }

    // Every entry of the config folder with its content: equal snapshots mean nothing changed,
    // not even a left-over temporary file.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_strDir + "config"))
            files[entry.path().filename().string()] =
                entry.is_regular_file() ? ReadFile(entry.path().string()) : "<folder>";
        return files;
    }

    std::string m_strDir;
    CManualClock m_clock;
    CSimulatedKeyboard m_kb{m_clock};
    CNoLauncher m_launcher;
    std::string m_strOut;
    std::string m_strErr;
};

MacroKey MakeMacro(const std::string& strName, uint8_t nLoop)
{
    MacroKey macro;
    macro.m_strName = strName;
    macro.InsertAction(0, MacroAction::Key(0x41, false));
    macro.InsertAction(1, MacroAction::Delay(50));
    macro.InsertAction(2, MacroAction::Key(0x41, true));
    macro.MacroCommandActionNum = 2;
    macro.LoopNum = nLoop;
    return macro;
}
} // namespace

// ---- Command line ----------------------------------------------------------------------------

TEST_F(CtlTest, UsageErrorsExitTwoOnStderrAndTouchNeitherFilesNorKeyboard)
{
    const std::vector<std::vector<std::string>> vecBad = {
        {},
        {"frobnicate"},
        {"status", "extra"},
        {"profile", "4"},
        {"profile", "+1"},
        {"lighting", "Pink", "100%"},
        {"lighting", "Red", "50%"},
        {"lighting", "Red", "100%", "--profile", "0"},
        {"lighting", "Red", "100%", "--bright"},
        {"reset", "everything"},
        {"import-macro", "x.mkf", "ThirteenChars"},
        {"import-macro", "x.mkf", "tab\there"},
        {"backup", ""},
        {"autostart", "yes"},
    };
    for (const std::vector<std::string>& vecArgs : vecBad)
    {
        SCOPED_TRACE(vecArgs.empty() ? "(none)" : vecArgs[0] + " ...");
        EXPECT_EQ(Run(vecArgs), CtlExitUsage);
        EXPECT_EQ(m_strOut, "");
        EXPECT_EQ(m_strErr.rfind("corvanectl: ", 0), 0u) << m_strErr;
    }
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "config"));
    EXPECT_TRUE(m_kb.Log().empty());
}

TEST_F(CtlTest, NamesAndNumbersOfColourAndBrightnessAreTheSame)
{
    ASSERT_EQ(Run({"lighting", "cyan", "breath"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(0), 4);
    EXPECT_EQ(m_kb.Brightness(0), 24);
    ASSERT_EQ(Run({"lighting", "7", "2"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(0), 7);
    EXPECT_EQ(m_kb.Brightness(0), 2);
    ASSERT_EQ(Run({"lighting", "--profile=3", "Purple", "0%"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(2), 2);
    EXPECT_EQ(m_kb.Brightness(2), 1);
}

TEST_F(CtlTest, HelpAndManPageShowEveryCommandFromOneTable)
{
    ASSERT_EQ(Run({"--help"}), CtlExitOk);
    const std::string strMan = CtlManPage("9.9");
    for (const CtlCommandInfo& command : CtlCommands())
    {
        EXPECT_NE(m_strOut.find(std::string("  ") + command.m_pszName), std::string::npos) << command.m_pszName;
        std::string strRoffName; // hyphens are escaped in a man page
        for (const char* p = command.m_pszName; *p; ++p)
            strRoffName += *p == '-' ? std::string("\\-") : std::string(1, *p);
        EXPECT_NE(strMan.find(".B " + strRoffName), std::string::npos) << command.m_pszName;
    }
    EXPECT_NE(strMan.find(".TH CORVANECTL 1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "config")); // help needs no data files
}

// ---- The program's single-instance lock ------------------------------------------------------

TEST_F(CtlTest, EveryCommandIsRefusedWhileTheProgramRunsAndChangesNothing)
{
    CInstanceLock program(m_strDir + "run");
    ASSERT_TRUE(program.Acquire());
    const std::vector<std::vector<std::string>> vecLines = {
        {"status"},       {"profile", "2"}, {"lighting", "Red", "100%"},    {"apply"},
        {"reset", "all"}, {"macros"},       {"export-macro", "M", "m.mkf"}, {"import-macro", "m.mkf"},
        {"backup", "b"},  {"restore", "b"}};
    // All but autostart, which touches neither the data files nor the keyboard.
    ASSERT_EQ(vecLines.size(), CtlCommands().size() - 1);
    for (const std::vector<std::string>& vecArgs : vecLines)
    {
        EXPECT_EQ(Run(vecArgs), CtlExitFailure) << vecArgs[0];
        EXPECT_NE(m_strErr.find("Corvane is running"), std::string::npos) << m_strErr;
    }
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "config"));
    EXPECT_TRUE(m_kb.Log().empty());
}

// ---- Autostart -------------------------------------------------------------------------------

TEST_F(CtlTest, AutostartWritesAndRemovesTheTrayStartEntryEvenWhileTheProgramRuns)
{
    const char* pXdg = std::getenv("XDG_CONFIG_HOME");
    const char* pHome = std::getenv("HOME");
    const bool bHadXdg = pXdg != nullptr;
    const std::string strOldXdg = pXdg ? pXdg : "", strOldHome = pHome ? pHome : "";
    setenv("XDG_CONFIG_HOME", (m_strDir + "xdg config").c_str(), 1);
    CInstanceLock program(m_strDir + "run");
    ASSERT_TRUE(program.Acquire());

    const std::string strEntry = m_strDir + "xdg config/autostart/org.corvane.Corvane.desktop";
    ASSERT_EQ(Run({"autostart", "status"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_strOut, "autostart: off\n"); // off by default
    ASSERT_EQ(Run({"autostart", "on"}), CtlExitOk) << m_strErr;
    const std::string strText = ReadFile(strEntry);
    EXPECT_EQ(strText.rfind("[Desktop Entry]\nType=Application\n", 0), 0u) << strText;
    const size_t nExec = strText.find("\nExec=");
    ASSERT_NE(nExec, std::string::npos);
    const std::string strExec = strText.substr(nExec + 6, strText.find('\n', nExec + 1) - nExec - 6);
    EXPECT_TRUE(strExec == "corvane --tray" || strExec.find("/corvane --tray") != std::string::npos) << strExec;
    ASSERT_EQ(Run({"autostart", "status"}), CtlExitOk);
    EXPECT_EQ(m_strOut, "autostart: on (" + strEntry + ")\n");
    ASSERT_EQ(Run({"autostart", "off"}), CtlExitOk);
    EXPECT_FALSE(std::filesystem::exists(strEntry));
    EXPECT_EQ(std::filesystem::directory_iterator(m_strDir + "xdg config/autostart"),
              std::filesystem::directory_iterator());
    ASSERT_EQ(Run({"autostart", "off"}), CtlExitOk); // already off
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "config"));
    EXPECT_TRUE(m_kb.Log().empty());

    // A relative XDG_CONFIG_HOME is not one: the home's .config is used.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", (m_strDir + "home").c_str(), 1);
    ASSERT_EQ(Run({"autostart", "on"}), CtlExitOk) << m_strErr;
    EXPECT_TRUE(std::filesystem::exists(m_strDir + "home/.config/autostart/org.corvane.Corvane.desktop"));

    // Program paths that need quoting in an entry's Exec line.
    EXPECT_NE(AutostartEntryText("/opt/my keys/corvane").find("\nExec=\"/opt/my keys/corvane\" --tray\n"),
              std::string::npos);
    EXPECT_NE(AutostartEntryText("/opt/100%$/corvane").find("\nExec=\"/opt/100%%\\\\$/corvane\" --tray\n"),
              std::string::npos);

    if (bHadXdg)
        setenv("XDG_CONFIG_HOME", strOldXdg.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", strOldHome.c_str(), 1);
}

// ---- Commands on the keyboard ----------------------------------------------------------------

TEST_F(CtlTest, StatusReadsTheKeyboardIntoStableLines)
{
    m_kb.SetActiveProfile(1);
    m_kb.SetLighting(2, 4, 24);
    m_kb.SetKeyValue(0, 1, KeyKindSpecial, 0xA0, 0);
    m_kb.SetKeyValue(0, 2, KeyKindMacro, 0, 0);
    m_kb.SetMacro(0, 2, std::string("Boom"), 1, {{0x04, 0x00}, {0x04, 0x80}});
    m_kb.SetKeyValue(1, 4, KeyKindMouse, 0x05, 0);

    ASSERT_EQ(Run({"status"}), CtlExitOk) << m_strErr;
    EXPECT_TRUE(HasLine("keyboard: connected")) << m_strOut;
    EXPECT_TRUE(HasLine("read from: keyboard"));
    EXPECT_TRUE(HasLine("active profile: 2"));
    EXPECT_TRUE(HasLine("profile 3 colour: Cyan"));
    EXPECT_TRUE(HasLine("profile 3 brightness: Breath"));
    EXPECT_TRUE(HasLine("profile 1 G1: key combination Ctrl+1 [06 01 1E]"));
    EXPECT_TRUE(HasLine("profile 1 G2: special function Mute [02 A0 00]"));
    EXPECT_TRUE(HasLine("profile 1 G3: macro Boom [01 00 00]"));
    EXPECT_TRUE(HasLine("profile 2 G5: mouse button Click Middle Button [03 05 00]"));
    // Read as the window reads at start, and the keyboard is told the program ended.
    EXPECT_EQ(m_kb.FeatureTrace().substr(0, 6), "G5 S4 ");
    EXPECT_EQ(m_kb.LastProfileCommand(), 7);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, StatusWithoutTheKeyboardShowsTheFilesAndSaysWhy)
{
    m_kb.Unplug();
    ASSERT_EQ(Run({"status"}), CtlExitOk) << m_strErr;
    EXPECT_TRUE(HasLine("keyboard: not connected"));
    EXPECT_TRUE(HasLine("read from: files"));
    EXPECT_TRUE(HasLine("profile 1 colour: Red"));

    m_kb.Plug();
    m_kb.FailOpen("", kSimAlways); // present, but its nodes are not ours to open
    ASSERT_EQ(Run({"status"}), CtlExitOk) << m_strErr;
    EXPECT_TRUE(HasLine("keyboard: no access")) << m_strOut;
}

TEST_F(CtlTest, ADamagedDataFileIsNamedAndReplacedByItsDefaults)
{
    ASSERT_EQ(Run({"status"}), CtlExitOk);
    WriteFile(Config("default1.psf"), "[Setting]\r\nProfileName=Mine\r\n");
    ASSERT_EQ(Run({"status"}), CtlExitOk);
    EXPECT_NE(m_strErr.find("default1.psf could not be read"), std::string::npos) << m_strErr;
    EXPECT_TRUE(HasLine("profile 2 name: Default2"));
}

TEST_F(CtlTest, ProfileSwitchesTheKeyboardAndSavesTheSettings)
{
    ASSERT_EQ(Run({"profile", "3"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.ActiveProfile(), 2);
    EXPECT_NE(ReadFile(Config("config.ini")).find("CurrentProfile=2\r\n"), std::string::npos);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, LightingIsSentAsApplyDoesThenSavedWithoutChangingTheActiveProfile)
{
    ASSERT_EQ(Run({"lighting", "Cyan", "60%", "--profile", "2"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(1), 4);
    EXPECT_EQ(m_kb.Brightness(1), 4);
    EXPECT_EQ(m_kb.ActiveProfile(), 0);
    const std::string strFile = ReadFile(Config("default1.psf"));
    EXPECT_NE(strFile.find("LightColor=4\r\nLightBrightness=4\r\n"), std::string::npos);
    // The read of every profile, then the lighting, the active profile, and the program's end.
    const std::string strTrace = m_kb.FeatureTrace();
    EXPECT_EQ(strTrace.substr(strTrace.size() - 8), "S7 S5 S5") << strTrace;
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, EditsWithoutTheKeyboardAreSavedAndApplySendsThemOnceItIsBack)
{
    m_kb.Unplug();
    ASSERT_EQ(Run({"lighting", "Green", "30%"}), CtlExitOk) << m_strErr;
    EXPECT_NE(m_strOut.find("not connected"), std::string::npos);
    EXPECT_NE(m_strOut.find("saved in the data files only"), std::string::npos);
    const auto before = Snapshot();

    EXPECT_EQ(Run({"apply"}), CtlExitFailure);
    EXPECT_NE(m_strErr.find("not connected"), std::string::npos);
    EXPECT_EQ(Snapshot(), before);

    m_kb.Plug();
    ASSERT_EQ(Run({"apply"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(0), 5); // the saved edit, not the keyboard's own red read over it
    EXPECT_EQ(m_kb.Brightness(0), 2);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, ApplySendsEveryProfileWithTheMacrosItsKeysPlay)
{
    EditFiles(
        [](MacroLibrary& library, SettingsStore& settings, ProfileStore& profiles)
        {
            library.FirstSet()->m_vecKeys.push_back(MakeMacro("Hello", 3));
            profiles[1].AssignProgrammableKey(0, "Hello", KeyValue{KeyKindMacro, 0, 0}, "");
            profiles[2].AssignProgrammableKey(4, "Gone", KeyValue{KeyKindMacro, 0, 0}, "");
            settings.SetActiveSlot(1);
        });
    ASSERT_EQ(Run({"apply"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.FeatureTrace(), "S7 S7 S7 S6 S6 S6 S8 S5 S5");
    EXPECT_EQ(m_kb.MacroName(1, 0), "Hello");
    EXPECT_EQ(m_kb.MacroLoop(1, 0), 3);
    EXPECT_EQ(m_kb.ActiveProfile(), 1);
    EXPECT_NE(m_strErr.find("no macro 'Gone'"), std::string::npos) << m_strErr;
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, AKeyboardThatRefusesAChangeFailsTheCommandButTheFileIsSaved)
{
    m_kb.FailSet(7, kSimAlways);
    EXPECT_EQ(Run({"lighting", "White", "0%"}), CtlExitFailure);
    EXPECT_NE(m_strErr.find("did not take every change"), std::string::npos) << m_strErr;
    EXPECT_NE(ReadFile(Config("default0.psf")).find("LightColor=7\r\nLightBrightness=1\r\n"), std::string::npos);
}

TEST_F(CtlTest, ResetRestoresTheFactoryProfileOnTheKeyboardAndLeavesProfilesFourAndFiveAlone)
{
    m_kb.SetLighting(1, 6, 2);
    m_kb.SetRemapEntry(1, 0, 0x04);
    EditFiles(
        [](MacroLibrary&, SettingsStore&, ProfileStore& profiles)
        {
            profiles[3].SetPair(PairProfileName, PartValue, "Fourth");
            profiles[4].SetColour(6);
        });
    const std::string strFourth = ReadFile(Config("default3.psf"));
    const std::string strFifth = ReadFile(Config("default4.psf"));

    ASSERT_EQ(Run({"reset", "2"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(1), 1);
    EXPECT_EQ(m_kb.Brightness(1), 8);
    EXPECT_EQ(m_kb.KeyTable(1), FactoryAllRCKey);
    EXPECT_EQ(m_kb.ActiveProfile(), 1);
    EXPECT_NE(ReadFile(Config("config.ini")).find("CurrentProfile=1\r\n"), std::string::npos);

    m_kb.SetLighting(0, 3, 4);
    ASSERT_EQ(Run({"reset", "all"}), CtlExitOk) << m_strErr;
    EXPECT_EQ(m_kb.Colour(0), 1);
    EXPECT_EQ(m_kb.ActiveProfile(), 0);
    EXPECT_NE(ReadFile(Config("config.ini")).find("CurrentProfile=0\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(Config("default3.psf")), strFourth);
    EXPECT_EQ(ReadFile(Config("default4.psf")), strFifth);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

// ---- Macros ----------------------------------------------------------------------------------

TEST_F(CtlTest, MacrosAreListedExportedAndImportedWithoutTheKeyboard)
{
    EditFiles(
        [](MacroLibrary& library, SettingsStore&, ProfileStore& profiles)
        {
            library.FirstSet()->m_vecKeys.push_back(MakeMacro("Hello", 2));
            MacroKey once = MakeMacro("Once", 1);
            once.LoopEnable = 0;
            library.FirstSet()->m_vecKeys.push_back(once);
            profiles[0].AssignProgrammableKey(3, "Hello", KeyValue{KeyKindMacro, 0, 0}, "");
        });
    ASSERT_EQ(Run({"macros"}), CtlExitOk);
    EXPECT_EQ(m_strOut, "Hello: 3 actions, repeat 2, on profile 1 G4\nOnce: 3 actions, repeat off\n");

    const std::string strFile = m_strDir + "hello.mkf";
    ASSERT_EQ(Run({"export-macro", "Hello", strFile}), CtlExitOk) << m_strErr;
    ASSERT_EQ(Run({"import-macro", strFile, "Copy"}), CtlExitOk) << m_strErr;
    ASSERT_EQ(Run({"import-macro", strFile}), CtlExitOk) << m_strErr; // named after the file
    ASSERT_EQ(Run({"import-macro", strFile, "Once"}), CtlExitOk) << m_strErr;
    ASSERT_EQ(Run({"macros"}), CtlExitOk);
    EXPECT_EQ(m_strOut, "Hello: 3 actions, repeat 2, on profile 1 G4\nOnce: 3 actions, repeat 2\n"
                        "Copy: 3 actions, repeat 2\nhello: 3 actions, repeat 2\n");

    ASSERT_EQ(Run({"import-macro", strFile, "Hello"}), CtlExitOk);
    EXPECT_NE(m_strOut.find("plays on profile 1 G4; 'corvanectl apply'"), std::string::npos) << m_strOut;
    EXPECT_TRUE(m_kb.Log().empty());
}

TEST_F(CtlTest, AMacroThatCannotBeFoundOrReadChangesNothing)
{
    ASSERT_EQ(Run({"macros"}), CtlExitOk);
    const auto before = Snapshot();
    EXPECT_EQ(Run({"export-macro", "Nope", m_strDir + "x.mkf"}), CtlExitFailure);
    EXPECT_NE(m_strErr.find("no macro 'Nope'"), std::string::npos);

    MacroKey macro = MakeMacro("x", 1);
    std::string strBroken = FormatMacroKeyFile(macro);
    strBroken.resize(strBroken.size() - 10); // cut off inside the action line
    WriteFile(m_strDir + "broken.mkf", strBroken);
    EXPECT_EQ(Run({"import-macro", m_strDir + "broken.mkf"}), CtlExitFailure);
    EXPECT_NE(m_strErr.find("The Import file is error!"), std::string::npos);
    EXPECT_EQ(Run({"import-macro", m_strDir + "missing.mkf"}), CtlExitFailure);
    EXPECT_EQ(Snapshot(), before);
}

// ---- Backup and restore ----------------------------------------------------------------------

TEST_F(CtlTest, RestoreBringsBackEveryFileAndSendsTheProfiles)
{
    EditFiles(
        [](MacroLibrary& library, SettingsStore& settings, ProfileStore& profiles)
        {
            library.FirstSet()->m_vecKeys.push_back(MakeMacro("Hello", 2));
            profiles[2].SetColour(6);
            profiles[4].SetPair(PairProfileName, PartValue, "Fifth");
            settings.SetActiveSlot(2);
        });
    const auto saved = Snapshot();
    const std::string strArchive = m_strDir + "all.backup";
    ASSERT_EQ(Run({"backup", strArchive}), CtlExitOk) << m_strErr;
    EXPECT_TRUE(m_kb.Log().empty());

    m_kb.Unplug();
    ASSERT_EQ(Run({"reset", "all"}), CtlExitOk);
    EditFiles(
        [](MacroLibrary& library, SettingsStore&, ProfileStore& profiles)
        {
            library.SetDefault();
            profiles[4].SetFactoryDefaults(4);
        });
    ASSERT_NE(Snapshot(), saved);

    m_kb.Plug();
    ASSERT_EQ(Run({"restore", strArchive}), CtlExitOk) << m_strErr;
    EXPECT_EQ(Snapshot(), saved);
    EXPECT_EQ(m_kb.Colour(2), 6);
    EXPECT_EQ(m_kb.ActiveProfile(), 2);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(CtlTest, RestoreRefusesADamagedArchiveAndChangesNothing)
{
    ASSERT_EQ(Run({"lighting", "Blue", "60%"}), CtlExitOk);
    const std::string strArchive = m_strDir + "all.backup";
    ASSERT_EQ(Run({"backup", strArchive}), CtlExitOk);
    const std::string strGood = ReadFile(strArchive);
    ASSERT_EQ(Run({"lighting", "Red", "100%"}), CtlExitOk);
    const auto before = Snapshot();

    std::vector<ArchiveMember> vecMembers;
    std::string strProblem;
    ASSERT_TRUE(ParseBackupArchive(strGood, vecMembers, strProblem)) << strProblem;
    auto archiveWith = [&](const std::function<void(std::vector<ArchiveMember>&)>& fnChange)
    {
        std::vector<ArchiveMember> vecChanged = vecMembers;
        fnChange(vecChanged);
        return FormatBackupArchive(vecChanged);
    };
    std::string strFlipped = strGood;
    strFlipped[strGood.find("LightColor=3") + 11] = '4';
    const std::vector<std::string> vecDamaged = {
        strGood.substr(0, strGood.size() / 2),                // cut off
        strFlipped,                                           // a byte changed
        strGood + "more\n",                                   // data after the end
        "corvane-backup 2\n" + strGood.substr(17),            // a format from the future
        archiveWith([](auto& v) { v.pop_back(); }),           // a member missing
        archiveWith([](auto& v) { v.push_back(v.front()); }), // a member twice
        // intact, but a profile the program cannot read
        archiveWith([](auto& v) { v[1].m_strContent = "[Setting]\r\nProfileName=x\r\n"; }),
        "",
    };
    for (size_t i = 0; i < vecDamaged.size(); ++i)
    {
        WriteFile(strArchive, vecDamaged[i]);
        EXPECT_EQ(Run({"restore", strArchive}), CtlExitFailure) << "archive " << i;
        EXPECT_NE(m_strErr.find("Nothing was changed"), std::string::npos) << m_strErr;
        EXPECT_EQ(Snapshot(), before) << "archive " << i;
    }
    EXPECT_EQ(Run({"restore", m_strDir + "missing.backup"}), CtlExitFailure);
    EXPECT_EQ(m_kb.Colour(0), 1);
}

TEST_F(CtlTest, ARestoreThatCannotReplaceEveryFilePutsBackTheOnesItReplaced)
{
    const std::string strArchive = m_strDir + "all.backup";
    ASSERT_EQ(Run({"lighting", "Yellow", "30%"}), CtlExitOk);
    ASSERT_EQ(Run({"backup", strArchive}), CtlExitOk);
    // The last profile's file is a folder now: its new content cannot be renamed over it.
    const std::string strBlocked = m_strDir + "blocked.psf";
    std::filesystem::create_directory(strBlocked);
    {
        CDataFiles files(m_strDir);
        MacroLibrary library;
        SettingsStore settings;
        ProfileStore profiles;
        files.LoadAll(library, settings, profiles);
        settings.SetSlotUrl(4, strBlocked);
        profiles[0].SetColour(2);
        ASSERT_TRUE(files.SaveSettings(settings));
        ASSERT_TRUE(files.SaveProfile(0, profiles, settings));
    }
    const auto before = Snapshot();
    EXPECT_EQ(Run({"restore", strArchive}), CtlExitFailure);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(std::filesystem::is_directory(strBlocked));
}
