#include "TempDir.h"

#include <climits>
#include <random>

#include "storage/ProfileFile.h"
#include "storage/TextFile.h"

namespace
{

class ProfileFileTest : public TempDirTest
{
protected:
    // A valid file's 20 lines for slot 0 factory state, with LF ends, for editing.
    std::vector<std::string> DefaultLines()
    {
        ProfileRecord record;
        record.SetFactoryDefaults(0);
        WriteProfileFile(Path("d.psf"), record);
        std::vector<std::string> vecLines;
        ReadTextLines(Path("d.psf"), vecLines);
        return vecLines;
    }
    static std::string Join(const std::vector<std::string>& vecLines)
    {
        std::string strOut;
        for (const std::string& s : vecLines)
            strOut += s + "\n";
        return strOut;
    }
    SettingsStore SettingsWithSlot(int nSlot, const std::string& strPath)
    {
        SettingsStore settings;
        settings.SetDefaults(m_strDir);
        settings.SetSlotUrl(nSlot, strPath);
        return settings;
    }
};

TEST_F(ProfileFileTest, DefaultFileLayout)
{
    const std::vector<std::string> vecLines = DefaultLines();
    ASSERT_EQ(vecLines.size(), 20u);
    EXPECT_EQ(vecLines[0], "[Setting]");
    EXPECT_EQ(vecLines[1], "ProfileName=Default1");
    EXPECT_EQ(vecLines[2], "LightColor=1");
    EXPECT_EQ(vecLines[3], "LightBrightness=8");
    EXPECT_EQ(vecLines[4].substr(0, 19), "AllRCKey=1D1EAFA4E6");
    EXPECT_EQ(vecLines[4].size(), 9u + 320u);
    EXPECT_EQ(vecLines[5], "Key0Name=CTRL+1");
    EXPECT_EQ(vecLines[6], "\tKey0Value=06011E");
    EXPECT_EQ(vecLines[7], "\tKey0URL=");
    EXPECT_EQ(vecLines[19], "\tKey4URL=");
    EXPECT_NE(ReadRaw(Path("d.psf")).find("CTRL+1\r\n\tKey0Value"), std::string::npos);
}

TEST_F(ProfileFileTest, RoundTripOfArbitraryRecords)
{
    std::mt19937 rng(7);
    for (int n = 0; n < 50; ++n)
    {
        ProfileRecord record;
        record.SetFactoryDefaults(n % 5);
        record.SetPair(0, PartValue, "name " + std::to_string(rng()) + " = é");
        record.SetColour(static_cast<int>(rng() % 8));
        record.SetBrightness(static_cast<int>(rng() % 25));
        for (auto& nCode : record.AllRCKey)
            nCode = static_cast<uint8_t>(rng());
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            record.AssignProgrammableKey(k, (rng() % 4) ? "k=" + std::to_string(rng()) : "",
                                         KeyValue{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())},
                                         (rng() % 2) ? "/usr/bin/x y=z" : "");
        ASSERT_TRUE(WriteProfileFile(Path("r.psf"), record));
        ProfileRecord read;
        ASSERT_TRUE(ReadProfileFile(Path("r.psf"), read));
        ASSERT_EQ(read, record) << n;
    }
}

TEST_F(ProfileFileTest, LenientFieldsAreAccepted)
{
    std::vector<std::string> vecLines = DefaultLines();
    vecLines[1] = "Anything=";             // empty profile name
    vecLines[2] = "LightColor=4294967297"; // not colour 1 after a wrap
    vecLines[5 + 9] = "Key3Name=";         // empty key name
    vecLines[6] = "\tKey0Value=3";         // short value
    vecLines[9] = "\tKey1Value=0z0102";    // stops at the first non-digit
    std::string strLower = "AllRCKey=";
    for (int i = 0; i < 160; ++i)
        strLower += "ab";
    vecLines[4] = strLower;
    vecLines.push_back("a 21st line");
    WriteRaw(Path("l.psf"), Join(vecLines));
    ProfileRecord record;
    ASSERT_TRUE(ReadProfileFile(Path("l.psf"), record));
    EXPECT_EQ(record.GetPair(0, PartKey), "Anything");
    EXPECT_EQ(record.GetPair(0, PartValue), "");
    EXPECT_EQ(record.GetColour(), INT_MAX);
    EXPECT_EQ(record.m_keys[3].m_strName, "");
    EXPECT_EQ(record.m_keys[0].m_value, (KeyValue{0x03, 0x00, 0x00}));
    EXPECT_EQ(record.m_keys[1].m_value, (KeyValue{0x00, 0x01, 0x02}));
    EXPECT_EQ(record.AllRCKey[0], 0xAB);
    EXPECT_EQ(record.AllRCKey[159], 0xAB);
}

TEST_F(ProfileFileTest, RejectedFilesGiveFactoryDefaultsOnDisk)
{
    const auto base = DefaultLines();
    std::vector<std::vector<std::string>> cases;
    auto edit = [&](size_t nLine, const std::string& strText)
    {
        auto v = base;
        v[nLine] = strText;
        cases.push_back(v);
    };
    edit(0, "[Settings]");
    edit(1, "=abc");
    edit(2, "LightColor");
    edit(4, "AllRCKey=" + std::string(318, '0'));
    edit(4, "AllRCKey=" + std::string(321, '0'));
    edit(4, "AllRCKey=");
    edit(6, "=06011E");
    edit(19, "\tKey4URL");
    cases.push_back(std::vector<std::string>(base.begin(), base.begin() + 19)); // truncated
    cases.push_back({});                                                        // empty

    ProfileRecord expected;
    expected.SetFactoryDefaults(2);
    for (size_t i = 0; i < cases.size(); ++i)
    {
        WriteRaw(Path("slot2.psf"), Join(cases[i]));
        ProfileStore store;
        store[2].SetColour(6);
        const SettingsStore settings = SettingsWithSlot(2, Path("slot2.psf"));
        EXPECT_FALSE(LoadProfileSlot(2, store, settings)) << i;
        EXPECT_EQ(store[2], expected) << i;
        ProfileRecord onDisk;
        ASSERT_TRUE(ReadProfileFile(Path("slot2.psf"), onDisk)) << i;
        EXPECT_EQ(onDisk, expected) << i;
        EXPECT_EQ(ReadRaw(Path("slot2.psf")), FormatProfileFile(expected));
    }
}

TEST_F(ProfileFileTest, UrlsReadBeforeABadLineSurviveTheDefaults)
{
    auto vecLines = DefaultLines();
    vecLines[7] = "\tKey0URL=/usr/bin/kept";
    vecLines[8] = "broken line";
    WriteRaw(Path("u.psf"), Join(vecLines));
    ProfileStore store;
    EXPECT_FALSE(LoadProfileSlot(1, store, SettingsWithSlot(1, Path("u.psf"))));
    EXPECT_EQ(store[1].m_keys[0].m_strUrl, "/usr/bin/kept");
    EXPECT_EQ(store[1].m_keys[0].m_strName, "CTRL+1");
    EXPECT_EQ(store[1].GetPair(0, PartValue), "Default2");
}

TEST_F(ProfileFileTest, MissingFileIsCreated)
{
    ProfileStore store;
    EXPECT_FALSE(LoadProfileSlot(4, store, SettingsWithSlot(4, Path("new.psf"))));
    EXPECT_TRUE(Exists(Path("new.psf")));
    EXPECT_EQ(store[4].GetPair(0, PartValue), "Default5");
    EXPECT_TRUE(LoadProfileSlot(4, store, SettingsWithSlot(4, Path("new.psf"))));
}

} // namespace
