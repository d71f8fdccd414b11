#include <gtest/gtest.h>

#include "model/Macro.h"
#include "model/Profile.h"

namespace
{

MacroKey KeyWithActions(unsigned nCount)
{
    MacroKey key;
    for (unsigned i = 0; i < nCount; ++i)
        EXPECT_TRUE(key.InsertAction(i, MacroAction::Key(static_cast<uint8_t>(0x41 + i % 26), i % 2)));
    return key;
}

TEST(MacroKey, NewKeyDefaults)
{
    MacroSet set;
    MacroKey& key = set.AppendKey("M1");
    EXPECT_EQ(key.m_strName, "M1");
    EXPECT_EQ(key.LoopEnable, 1u);
    EXPECT_EQ(key.LoopNum, 1);
    EXPECT_EQ(key.m_nActionCount, 0u);
    EXPECT_EQ(key.MacroCommandActionNum, 0);
    for (const MacroAction& a : key.m_actions)
        EXPECT_EQ(a, MacroAction{});
}

TEST(MacroKey, InsertBeyondTheCountAppends)
{
    MacroKey key = KeyWithActions(3);
    ASSERT_TRUE(key.InsertAction(5, MacroAction::Delay(100)));
    EXPECT_EQ(key.m_nActionCount, 4u);
    EXPECT_EQ(key.GetAction(3), MacroAction::Delay(100));
    EXPECT_EQ(key.GetAction(4), MacroAction{});
}

TEST(MacroKey, InsertInTheMiddleMovesTheRestUp)
{
    MacroKey key = KeyWithActions(3);
    const MacroAction second = key.GetAction(1);
    ASSERT_TRUE(key.InsertAction(1, MacroAction::Delay(7)));
    EXPECT_EQ(key.GetAction(1), MacroAction::Delay(7));
    EXPECT_EQ(key.GetAction(2), second);
    EXPECT_EQ(key.m_nActionCount, 4u);
    ASSERT_TRUE(key.RemoveAction(1));
    EXPECT_EQ(key.GetAction(1), second);
    EXPECT_FALSE(key.RemoveAction(3));
}

TEST(MacroKey, FullKeyRefusesAndKeepsItsActions)
{
    MacroKey key = KeyWithActions(MacroActionSlots);
    const MacroKey before = key;
    EXPECT_FALSE(key.InsertAction(0, MacroAction::Delay(1)));
    EXPECT_FALSE(key.InsertAction(200, MacroAction::Delay(1)));
    EXPECT_EQ(key, before);
}

TEST(MacroKey, SlotAccessLimits)
{
    MacroKey key;
    EXPECT_TRUE(key.SetAction(0, MacroAction::Key(0x41, false)));
    EXPECT_TRUE(key.SetAction(199, MacroAction::Key(0x42, false)));
    EXPECT_FALSE(key.SetAction(200, MacroAction::Key(0x43, false)));
    EXPECT_EQ(key.m_nActionCount, 0u); // SetAction never changes the count
    EXPECT_EQ(key.GetAction(500), MacroAction::Key(0x41, false));
    key.SetActionCount(100000);
    EXPECT_EQ(key.m_nActionCount, MacroActionSlots);
    key.MacroCommandActionNum = 9;
    key.ClearActions();
    EXPECT_EQ(key.m_nActionCount, 0u);
    EXPECT_EQ(key.MacroCommandActionNum, 0);
    EXPECT_EQ(key.GetAction(199), MacroAction{});
}

TEST(MacroAction, DecodingOfBytes)
{
    const MacroAction pause{{0x03, 0x00, 0x00, 0x64}};
    EXPECT_TRUE(pause.IsDelay());
    EXPECT_EQ(pause.DelayMs(), 100u);
    const MacroAction odd{{0x05, 0x00, 0x01, 0x00}};
    EXPECT_TRUE(odd.IsDelay());
    EXPECT_EQ(odd.DelayMs(), 256u);
    EXPECT_EQ((MacroAction{{0x07, 0x01, 0x00, 0x00}}).DelayMs(), 65536u);
    const MacroAction release{{0x41, 0x80, 0x00, 0x00}};
    EXPECT_TRUE(release.IsKey());
    EXPECT_TRUE(release.IsRelease());
    EXPECT_EQ(release.Vk(), 0x41);
    EXPECT_EQ(MacroAction::Key(0x08, false).IsKey(), true);
    EXPECT_EQ(MacroAction::Delay(70000).DelayMs(), 65535u); // the recorder caps its pauses
}

TEST(MacroKey, KeyboardStepCounting)
{
    MacroKey key;
    key.InsertAction(0, MacroAction::Key(0x41, false));
    key.InsertAction(1, MacroAction::Delay(1015));
    key.InsertAction(2, MacroAction::Key(0x41, true));
    EXPECT_EQ(CountCommandSteps(key), 2u);
    key.InsertAction(3, MacroAction::Delay(1016));
    key.InsertAction(4, MacroAction::Key(0x42, false));
    EXPECT_EQ(CountCommandSteps(key), 4u);
    // Slots past the count are not part of the macro.
    key.SetAction(10, MacroAction::Key(0x43, false));
    EXPECT_EQ(CountCommandSteps(key), 4u);
}

TEST(MacroLibrary, SetsAndKeysByIndex)
{
    MacroLibrary library;
    library.SetDefault();
    ASSERT_EQ(library.SetCount(), 1u);
    EXPECT_EQ(library.FirstSet()->m_strName, "Keyboard Macro Set");
    library.AppendSet("Second").AppendKey("k");
    EXPECT_EQ(library.FindSet(2), nullptr);
    EXPECT_EQ(library.FindSet(1)->FindKey(0)->m_strName, "k");
    EXPECT_EQ(library.FindSet(1)->FindKey(1), nullptr);
    EXPECT_FALSE(library.FindSet(1)->RemoveKey(1));
    EXPECT_FALSE(library.RemoveSet(2));
    EXPECT_TRUE(library.RemoveSet(0));
    EXPECT_EQ(library.FirstSet()->m_strName, "Second");
    library.Clear();
    EXPECT_EQ(library.FirstSet(), nullptr);
}

TEST(MacroLibrary, RemovingFromTheMiddleKeepsTheOthersInOrder)
{
    MacroSet set;
    for (const char* pszName : {"a", "b", "c"})
        set.AppendKey(pszName);
    EXPECT_TRUE(set.RemoveKey(1));
    ASSERT_EQ(set.m_vecKeys.size(), 2u);
    EXPECT_EQ(set.FindKey(1)->m_strName, "c");
    EXPECT_EQ(set.IndexOfKey("c"), 1);
}

TEST(MacroLibrary, InUseOnlyThroughMacroKeysOfTheKeyboardSlots)
{
    ProfileStore store;
    EXPECT_FALSE(IsMacroKeyInUse("Boss", store));
    store[3].AssignProgrammableKey(0, "Boss", KeyValue{KeyKindMacro, 0, 0}, "");
    store[4].AssignProgrammableKey(1, "Boss", KeyValue{KeyKindMacro, 0, 0}, "");
    store[0].AssignProgrammableKey(2, "Boss", KeyValue{KeyKindSpecial, 0xA0, 0}, "");
    EXPECT_FALSE(IsMacroKeyInUse("Boss", store));
    store[2].AssignProgrammableKey(4, "Boss", KeyValue{KeyKindMacro, 0, 0}, "");
    EXPECT_TRUE(IsMacroKeyInUse("Boss", store));
    EXPECT_FALSE(IsMacroKeyInUse("boss", store)); // exact, case-sensitive
}

} // namespace
