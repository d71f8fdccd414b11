#include "TempDir.h"
#include "LibraryBuilder.h"

#include <cctype>
#include <vector>

#include "storage/MacroLibraryFile.h"

namespace
{

const std::string DefaultFile = "[MacroLibrary]\r\nMacroSetNum=1\r\n"
                                "\tMacroSet0Name=Keyboard Macro Set\r\n\t\tMacroKeyNum=0\r\n";

std::string KeyLines(unsigned k, const std::string& strCount, const std::string& strActions)
{
    const std::string strK = std::to_string(k);
    return "\t\tMacroKey" + strK + "Name=M" + strK + "\n\t\t\tMacroKey" + strK + "LoopEnable=1\n\t\t\tMacroKey" + strK +
           "LoopNum=3\n\t\t\tMacroActionNum=" + strCount +
           "\n\t\t\tMacroCommandActionNum=1\n\t\t\tAllAction=" + strActions + "\n";
}

using MacroLibraryFileTest = TempDirTest;

TEST_F(MacroLibraryFileTest, DefaultLibraryIsFourLines)
{
    MacroLibrary library;
    library.SetDefault();
    ASSERT_TRUE(WriteMacroLibraryFile(Path("m.mlf"), library));
    EXPECT_EQ(ReadRaw(Path("m.mlf")), DefaultFile);
}

TEST_F(MacroLibraryFileTest, RoundTripOfLibrariesTheProgramBuilds)
{
    for (unsigned nSeed = 1; nSeed <= 5; ++nSeed)
    {
        MacroLibrary library = MakeLibrary(1 + nSeed % 3, nSeed * 3, 0, nSeed);
        library.FirstSet()->AppendKey("empty");
        // Slots beyond the count keep whatever they held and are saved as they are.
        library.FirstSet()->FindKey(0)->SetAction(199, MacroAction::Key(0x41, true));
        ASSERT_TRUE(WriteMacroLibraryFile(Path("m.mlf"), library));
        MacroLibrary read;
        ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), read));
        ASSERT_EQ(read, library) << nSeed;
    }
    MacroLibrary none;
    ASSERT_TRUE(WriteMacroLibraryFile(Path("none.mlf"), none));
    MacroLibrary read;
    read.SetDefault();
    ASSERT_TRUE(ReadMacroLibraryFile(Path("none.mlf"), read));
    EXPECT_EQ(read.SetCount(), 0u);
}

TEST_F(MacroLibraryFileTest, ZeroSetsIsAnEmptyLibraryNotAFailure)
{
    for (const char* pCount : {"0", "-3", "abc"})
    {
        const std::string strContent = std::string("[MacroLibrary]\r\nMacroSetNum=") + pCount + "\r\n";
        WriteRaw(Path("m.mlf"), strContent);
        MacroLibrary library;
        EXPECT_TRUE(LoadMacroLibraryFile(Path("m.mlf"), library)) << pCount;
        EXPECT_EQ(library.SetCount(), 0u);
        EXPECT_EQ(ReadRaw(Path("m.mlf")), strContent) << "not rewritten";
    }
}

TEST_F(MacroLibraryFileTest, NamesKeepEverythingAfterTheFirstEquals)
{
    MacroLibrary library;
    library.AppendSet("a=b").AppendKey("x==y");
    ASSERT_TRUE(WriteMacroLibraryFile(Path("m.mlf"), library));
    MacroLibrary read;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), read));
    EXPECT_EQ(read.FirstSet()->m_strName, "a=b");
    EXPECT_EQ(read.FirstSet()->FindKey(0)->m_strName, "x==y");
}

TEST_F(MacroLibraryFileTest, OnlyTheCountedSetsAreRead)
{
    const std::string strActions(1600, '0');
    WriteRaw(Path("m.mlf"), "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=First\n\t\tMacroKeyNum=1\n" +
                                KeyLines(0, "2", strActions) +
                                "\tMacroSet1Name=Second\n\t\tMacroKeyNum=0\ntrailing garbage\n");
    MacroLibrary library;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library));
    ASSERT_EQ(library.SetCount(), 1u);
    EXPECT_EQ(library.FirstSet()->m_strName, "First");
    EXPECT_EQ(library.FirstSet()->FindKey(0)->LoopNum, 3);
    EXPECT_EQ(library.FirstSet()->FindKey(0)->m_nActionCount, 2u);
}

TEST_F(MacroLibraryFileTest, OversizedCountsStayWithinTheSlots)
{
    std::string strActions;
    for (int i = 0; i < 200; ++i)
        strActions += "41000000";
    WriteRaw(Path("m.mlf"), "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=1\n" +
                                KeyLines(0, "4000000000", strActions));
    MacroLibrary library;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library));
    const MacroKey& key = *library.FirstSet()->FindKey(0);
    EXPECT_EQ(key.m_nActionCount, 200u);
    EXPECT_EQ(key.GetAction(199), MacroAction::Key(0x41, false));
    ASSERT_TRUE(WriteMacroLibraryFile(Path("m2.mlf"), library));
    EXPECT_NE(ReadRaw(Path("m2.mlf")).find("MacroActionNum=200\r\n"), std::string::npos);
}

TEST_F(MacroLibraryFileTest, DamagedFilesFallBackToTheDefaultSet)
{
    const std::string strHead = "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=1\n";
    const std::string cases[] = {
        strHead + KeyLines(0, "1", std::string(1599, '0')),                               // short action line
        strHead + KeyLines(0, "1", std::string(1601, '0')),                               // long action line
        strHead + KeyLines(0, "1", std::string(800, '0') + "\n" + std::string(799, '0')), // broken line
        [&] { // the file ends in a CR that ends no line: it belongs to the value
            std::string str = strHead + KeyLines(0, "1", std::string(1600, '0') + "\r");
            str.pop_back();
            return str;
        }(),
        strHead,                                                                 // key lines missing
        "[MacroLibrary]\nMacroSetNum=2\n\tMacroSet0Name=S\n\t\tMacroKeyNum=0\n", // set missing
        "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=\n\t\tMacroKeyNum=0\n",  // empty value
        "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name S\n\t\tMacroKeyNum=0\n", // no "="
        "[macrolibrary]\nMacroSetNum=0\n",
        "",
        std::string("\x00\xff\xfe\x01garbage=\x00", 13),
        "[MacroLibrary]", // header alone
    };
    for (const std::string& strContent : cases)
    {
        WriteRaw(Path("m.mlf"), strContent);
        MacroLibrary library = MakeLibrary(2, 2, 4, 1);
        EXPECT_FALSE(LoadMacroLibraryFile(Path("m.mlf"), library));
        MacroLibrary expected;
        expected.SetDefault();
        EXPECT_EQ(library, expected);
        EXPECT_EQ(ReadRaw(Path("m.mlf")), DefaultFile);
    }
}

TEST_F(MacroLibraryFileTest, HexIsReadInEitherCase)
{
    std::string strActions = "410080ff";
    strActions += std::string(1592, '0');
    WriteRaw(Path("m.mlf"), "[MacroLibrary]\r\nMacroSetNum=1\r\n\tMacroSet0Name=S\r\n\t\tMacroKeyNum=1\r\n" +
                                KeyLines(0, "1", strActions));
    MacroLibrary library;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library));
    EXPECT_EQ(library.FirstSet()->FindKey(0)->GetAction(0), (MacroAction{{0x41, 0x00, 0x80, 0xFF}}));
}

TEST_F(MacroLibraryFileTest, DamagedDigitsConvertGroupByGroup)
{
    // Slot 0 clean, slot 1 with a letter out of range and a byte above 0x7F, the rest clean.
    std::string strActions = "4100807F"
                             "0Z3\xC1"
                             "1234" +
                             std::string(8 * 198, 'f');
    ASSERT_EQ(strActions.size(), 1600u);
    WriteRaw(Path("m.mlf"),
             "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=1\n" + KeyLines(0, "2", strActions));
    MacroLibrary library;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library));
    const MacroKey& key = *library.FirstSet()->FindKey(0);
    EXPECT_EQ(key.GetAction(0), (MacroAction{{0x41, 0x00, 0x80, 0x7F}}));
    // "0Z" -> 0, "3\xC1" -> 3, "12" and "34" as they are.
    EXPECT_EQ(key.GetAction(1), (MacroAction{{0x00, 0x03, 0x12, 0x34}}));
    for (unsigned i = 2; i < MacroActionSlots; ++i)
        ASSERT_EQ(key.GetAction(i), (MacroAction{{0xFF, 0xFF, 0xFF, 0xFF}})) << i;
}

TEST_F(MacroLibraryFileTest, TheLastActionLineReadsWithOrWithoutItsLineEnd)
{
    const std::string strHead = "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=1\n";
    for (const char* pszEnd : {"", "\n", "\r\n"})
    {
        std::string strContent = strHead + KeyLines(0, "1", "0A" + std::string(1598, '0'));
        strContent.pop_back(); // KeyLines ends the line with LF
        WriteRaw(Path("m.mlf"), strContent + pszEnd);
        MacroLibrary library;
        ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library)) << "end " << pszEnd;
        EXPECT_EQ(library.FirstSet()->FindKey(0)->GetAction(0).m_bytes[0], 0x0A);
    }
}

TEST_F(MacroLibraryFileTest, EveryCharacterThatIsNoHexDigitEndsItsGroup)
{
    // Each byte value but the line ends follows a "1": a hexadecimal digit adds itself, anything
    // else (control characters and bytes above 0x7F included) leaves the group at 1.
    std::string strActions;
    std::vector<uint8_t> vecExpected;
    for (int c = 0; c < 256; ++c)
    {
        if (c == '\n' || c == '\r')
            continue;
        strActions += '1';
        strActions += static_cast<char>(c);
        if (!std::isxdigit(c))
            vecExpected.push_back(0x01);
        else
            vecExpected.push_back(
                static_cast<uint8_t>(0x10 + (std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10)));
    }
    strActions.resize(1600, '0');
    WriteRaw(Path("m.mlf"),
             "[MacroLibrary]\nMacroSetNum=1\n\tMacroSet0Name=S\n\t\tMacroKeyNum=1\n" + KeyLines(0, "200", strActions));
    MacroLibrary library;
    ASSERT_TRUE(ReadMacroLibraryFile(Path("m.mlf"), library));
    const MacroKey& key = *library.FirstSet()->FindKey(0);
    for (size_t i = 0; i < vecExpected.size(); ++i)
        ASSERT_EQ(key.GetAction(static_cast<unsigned>(i / 4)).m_bytes[i % 4], vecExpected[i]) << "byte " << i;
}

} // namespace
