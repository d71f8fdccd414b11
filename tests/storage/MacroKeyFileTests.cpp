#include "TempDir.h"
#include "LibraryBuilder.h"

#include "storage/MacroKeyFile.h"

namespace
{

using MacroKeyFileTest = TempDirTest;

TEST_F(MacroKeyFileTest, ExportThenImportCopiesEverythingButTheName)
{
    std::mt19937 rng(3);
    MacroSet set;
    MacroKey& source = AddRecordedKey(set, "Source", 37, rng);
    source.SetAction(150, MacroAction::Key(0x5A, true)); // beyond the count, still carried
    MacroKey& target = AddRecordedKey(set, "Target", 5, rng);
    ASSERT_TRUE(WriteMacroKeyFile(Path("k.mkf"), set.m_vecKeys[0]));
    ASSERT_TRUE(ReadMacroKeyFile(Path("k.mkf"), set.m_vecKeys[1]));
    MacroKey expected = set.m_vecKeys[0];
    expected.m_strName = "Target";
    EXPECT_EQ(set.m_vecKeys[1], expected);
    (void)source;
    (void)target;
}

TEST_F(MacroKeyFileTest, FileLayout)
{
    MacroKey key;
    key.InsertAction(0, MacroAction::Key(0x41, false));
    key.MacroCommandActionNum = 1;
    key.LoopNum = 9;
    ASSERT_TRUE(WriteMacroKeyFile(Path("k.mkf"), key));
    const std::string strExpected = "[MacroKey]\r\n\tMacroKeyLoopEnable=1\r\n\tMacroKeyLoopNum=9\r\n"
                                    "\tMacroActionNum=1\r\n\tMacroCommandActionNum=1\r\n"
                                    "\t\tAllAction=41000000" +
                                    std::string(1592, '0') + "\r\n";
    EXPECT_EQ(ReadRaw(Path("k.mkf")), strExpected);
}

TEST_F(MacroKeyFileTest, BrokenImportsLeaveTheTargetUntouched)
{
    const std::string strActions(1600, '0');
    const std::string cases[] = {
        "[MacroKey] \n\tA=1\n\tB=2\n\tC=0\n\tD=0\n\t\tAllAction=" + strActions + "\n",
        "[MacroKey]\n\tA=0\n\tB=7\n", // breaks off
        "[MacroKey]\n\tA=0\n\tB=7\n\tC=\n\tD=0\n\t\tAllAction=" + strActions + "\n",
        "[MacroKey]\n\tA=0\n\tB=7\n\tC=1\n\tD=0\n\t\tAllAction=" + strActions + "0\n",
        "[MacroKey]\n\tA=0\n\tB=7\n\tC=1\n\tD=0\n\t\tAllAction" + strActions + "\n",
        "",
        std::string("\xff\xfe\x00\x01", 4),
    };
    std::mt19937 rng(5);
    MacroSet set;
    AddRecordedKey(set, "Mine", 12, rng);
    const MacroKey before = set.m_vecKeys[0];
    for (const std::string& strContent : cases)
    {
        WriteRaw(Path("bad.mkf"), strContent);
        EXPECT_FALSE(ReadMacroKeyFile(Path("bad.mkf"), set.m_vecKeys[0])) << strContent.substr(0, 40);
        EXPECT_EQ(set.m_vecKeys[0], before);
    }
    EXPECT_FALSE(ReadMacroKeyFile(Path("missing.mkf"), set.m_vecKeys[0]));
}

TEST_F(MacroKeyFileTest, LenientValuesAreBroughtIntoTheModel)
{
    std::string strActions = "03000064";
    strActions += std::string(1592, '0');
    // "=" first is accepted on the number lines; numbers saturate at their field's range instead
    // of wrapping (2^32 + 1 would otherwise switch the loop on), the action count at 200.
    WriteRaw(Path("k.mkf"), "[MacroKey]\n=4294967297\n\tMacroKeyLoopNum=300\n\tMacroActionNum=999\n"
                            "\tMacroCommandActionNum=-2\n\t\tAllAction=" +
                                strActions + "\n");
    MacroKey key;
    key.m_strName = "kept";
    ASSERT_TRUE(ReadMacroKeyFile(Path("k.mkf"), key));
    EXPECT_EQ(key.m_strName, "kept");
    EXPECT_EQ(key.LoopEnable, 4294967295u);
    EXPECT_EQ(key.LoopNum, 255);
    EXPECT_EQ(key.MacroCommandActionNum, 0);
    EXPECT_EQ(key.m_nActionCount, 200u);
    EXPECT_EQ(key.GetAction(0).DelayMs(), 100u);
}

} // namespace
