#include <gtest/gtest.h>

#include "model/Profile.h"

namespace
{

TEST(ProfileRecord, FactoryDefaultsOfSlot3)
{
    ProfileRecord record;
    record.m_keys[2].m_strUrl = "/usr/bin/kept";
    record.SetFactoryDefaults(3);
    EXPECT_EQ(record.GetPair(PairProfileName, PartKey), "ProfileName");
    EXPECT_EQ(record.GetPair(PairProfileName, PartValue), "Default4");
    EXPECT_EQ(record.GetPair(PairLightColor, PartValue), "1");
    EXPECT_STREQ(LightColourName(record.GetColour()), "Red");
    EXPECT_EQ(record.GetPair(PairLightBrightness, PartValue), "8");
    EXPECT_STREQ(BrightnessBandName(record.GetBrightness()), "100%");
    EXPECT_EQ(record.m_keys[2].m_strName, "CTRL+3");
    EXPECT_EQ(record.m_keys[2].m_value, (KeyValue{0x06, 0x01, 0x20}));
    // Defaults never touch the URLs.
    EXPECT_EQ(record.m_keys[2].m_strUrl, "/usr/bin/kept");
    EXPECT_EQ(record.AllRCKey, FactoryAllRCKey);
}

TEST(ProfileRecord, BrightnessBands)
{
    const struct
    {
        int nLevel;
        const char* pName;
    } bands[] = {{0, "0%"},   {1, "0%"},    {2, "30%"},     {3, "30%"},     {4, "60%"},    {7, "60%"},
                 {8, "100%"}, {15, "100%"}, {16, "Breath"}, {17, "Breath"}, {24, "Breath"}};
    for (const auto& b : bands)
        EXPECT_STREQ(BrightnessBandName(b.nLevel), b.pName) << b.nLevel;
    EXPECT_EQ(BrightnessBandName(25), nullptr);
    EXPECT_EQ(BrightnessBandName(-1), nullptr);
    EXPECT_EQ(LightColourName(8), nullptr);
    EXPECT_EQ(LightColourName(0), nullptr);
    EXPECT_STREQ(LightColourName(7), "White");
}

TEST(ProfileRecord, PairAccessOutOfRangeChangesNothing)
{
    ProfileRecord record;
    record.SetFactoryDefaults(0);
    const ProfileRecord before = record;
    record.SetPair(3, PartValue, "x");
    record.SetPair(-1, PartKey, "x");
    record.SetPair(0, 2, "x");
    EXPECT_EQ(record, before);
    EXPECT_EQ(record.GetPair(3, PartKey), "");
    record.SetColour(5);
    record.SetBrightness(24);
    EXPECT_EQ(record.GetPair(PairLightColor, PartValue), "5");
    EXPECT_EQ(record.GetPair(PairLightBrightness, PartValue), "24");
}

TEST(ProfileRecord, QuickLaunchUrlIsClearedByTheNextAssignment)
{
    ProfileStore store;
    SettingsStore settings;
    settings.SetDefaults("/opt/corvane/");
    AssignActiveProgrammableKey(store, settings, 1, "editor", KeyValue{KeyKindQuickLaunch, 0, 0}, "/usr/bin/editor");
    EXPECT_EQ(store[0].m_keys[1].m_strUrl, "/usr/bin/editor");
    AssignActiveProgrammableKey(store, settings, 1, "Mute", KeyValue{KeyKindSpecial, 0xA0, 0}, "");
    EXPECT_EQ(store[0].m_keys[1].m_strUrl, "");
    EXPECT_EQ(store[0].m_keys[1].m_strName, "Mute");
    AssignActiveProgrammableKey(store, settings, 5, "x", KeyValue{}, ""); // no sixth key
}

TEST(ProfileRecord, RestoringAProgrammableKey)
{
    ProfileRecord record;
    record.AssignProgrammableKey(4, "calc", KeyValue{KeyKindQuickLaunch, 0, 0}, "/bin/calc");
    EXPECT_TRUE(record.RestoreProgrammableKey(4, KeyValue{KeyKindCombination, 0x01, 0x99}));
    EXPECT_EQ(record.m_keys[4].m_strName, "CTRL+5");
    EXPECT_EQ(record.m_keys[4].m_value, (KeyValue{0x06, 0x01, 0x22}));
    EXPECT_EQ(record.m_keys[4].m_strUrl, "");
    EXPECT_TRUE(record.RestoreProgrammableKey(0, KeyValue{}));
    EXPECT_EQ(record.m_keys[0].m_strName, "No Function");
    EXPECT_EQ(record.m_keys[0].m_value, KeyValue{});
    const ProfileRecord before = record;
    EXPECT_FALSE(record.RestoreProgrammableKey(0, KeyValue{KeyKindFire, 0, 0}));
    EXPECT_FALSE(record.RestoreProgrammableKey(0, KeyValue{KeyKindCombination, 0x02, 0}));
    EXPECT_EQ(record, before);
}

TEST(ProfileRecord, RemapGoesToTheActiveSlotOnly)
{
    ProfileStore store;
    for (int n = 0; n < ProfileSlotCount; ++n)
        store[n].SetFactoryDefaults(n);
    SettingsStore settings;
    settings.SetDefaults("/a/");
    settings.SetActiveSlot(2);
    ASSERT_TRUE(SetActiveRemapEntry(store, settings, 2201, 0x3E));
    EXPECT_EQ(store[2].GetRemapEntry(2201), 0xC4);
    for (int n : {0, 1, 3, 4})
        EXPECT_EQ(store[n].AllRCKey, FactoryAllRCKey) << n;
    EXPECT_FALSE(SetActiveRemapEntry(store, settings, 2303, 0x04));
    EXPECT_FALSE(SetActiveRemapEntry(store, settings, 2078, 0x04));
}

TEST(SettingsStore, ActiveSlotOutsideTheStoreIsSlotZero)
{
    SettingsStore settings;
    settings.SetDefaults("/a/");
    for (const char* pValue : {"5", "-1", "abc", "", "99999999999999999999"})
    {
        settings.SetPair(0, PartValue, pValue);
        EXPECT_EQ(settings.GetActiveSlot(), 0) << pValue;
    }
    settings.SetPair(0, PartValue, "4");
    EXPECT_EQ(settings.GetActiveSlot(), 4);
    settings.SetPair(0, PartValue, "3xyz");
    EXPECT_EQ(settings.GetActiveSlot(), 3);
    ProfileStore store;
    store[7].m_pairs[0].m_strValue = "goes to slot 0";
    EXPECT_EQ(store[0].m_pairs[0].m_strValue, "goes to slot 0");
}

TEST(SettingsStore, DefaultsAndSlotPaths)
{
    SettingsStore settings;
    settings.SetDefaults("/home/u/.corvane/");
    EXPECT_EQ(settings.GetPair(0, PartKey), "CurrentProfile");
    EXPECT_EQ(settings.GetPair(0, PartValue), "0");
    EXPECT_EQ(settings.GetPair(4, PartKey), "ProfileSlot3URL");
    EXPECT_EQ(settings.GetSlotUrl(3), "/home/u/.corvane/config/default3.psf");
    settings.SetSlotUrl(9, "/x.psf"); // any slot outside 1..4 addresses slot 0
    EXPECT_EQ(settings.GetSlotUrl(0), "/x.psf");
    EXPECT_EQ(settings.GetPair(1, PartValue), "/x.psf");
    EXPECT_EQ(settings.GetSlotUrl(4), "/home/u/.corvane/config/default4.psf");
}

TEST(ParseDecimal, LeadingDigitsOnly)
{
    EXPECT_EQ(ParseDecimal("42"), 42);
    EXPECT_EQ(ParseDecimal("42abc"), 42);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("-7"), -7);
    EXPECT_GT(ParseDecimal("999999999999999999999999"), 0); // saturates, no overflow
}

} // namespace
