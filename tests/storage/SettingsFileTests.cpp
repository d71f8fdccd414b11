#include "TempDir.h"

#include "storage/SettingsFile.h"

namespace
{

class SettingsFileTest : public TempDirTest
{
protected:
    std::string Valid() const
    {
        return "[Setting]\r\nCurrentProfile=2\r\nProfileSlot0URL=/p/a0.psf\r\n"
               "ProfileSlot1URL=/p/a1.psf\r\nProfileSlot2URL=/p/a2.psf\r\n"
               "ProfileSlot3URL=/p/a3.psf\r\nProfileSlot4URL=/p/a4.psf\r\n";
    }
    SettingsStore Seeded() const
    {
        SettingsStore settings;
        settings.SetDefaults(m_strDir);
        return settings;
    }
};

TEST_F(SettingsFileTest, WriteThenReadGivesTheSameStore)
{
    SettingsStore settings = Seeded();
    settings.SetActiveSlot(3);
    settings.SetSlotUrl(2, "/games/a=b.psf");
    ASSERT_TRUE(WriteSettingsFile(Path("config.ini"), settings));
    SettingsStore read;
    ASSERT_TRUE(ReadSettingsFile(Path("config.ini"), read));
    EXPECT_EQ(read, settings);
    EXPECT_EQ(read.GetSlotUrl(2), "/games/a=b.psf");
}

TEST_F(SettingsFileTest, WrittenBytesAreExact)
{
    SettingsStore settings = Seeded();
    settings.SetSlotUrl(0, "/x");
    ASSERT_TRUE(WriteSettingsFile(Path("c.ini"), settings));
    const std::string strExpected = "[Setting]\r\nCurrentProfile=0\r\nProfileSlot0URL=/x\r\n"
                                    "ProfileSlot1URL=" +
                                    m_strDir +
                                    "config/default1.psf\r\n"
                                    "ProfileSlot2URL=" +
                                    m_strDir +
                                    "config/default2.psf\r\n"
                                    "ProfileSlot3URL=" +
                                    m_strDir +
                                    "config/default3.psf\r\n"
                                    "ProfileSlot4URL=" +
                                    m_strDir + "config/default4.psf\r\n";
    EXPECT_EQ(ReadRaw(Path("c.ini")), strExpected);
}

TEST_F(SettingsFileTest, PairsAreTakenByPositionAndLfIsAccepted)
{
    WriteRaw(Path("c.ini"), "[Setting]\nWhatever=1\nProfileSlot2URL=E:\\games\\a=b.psf\n");
    SettingsStore settings = Seeded();
    ASSERT_TRUE(ReadSettingsFile(Path("c.ini"), settings));
    EXPECT_EQ(settings.GetPair(0, PartKey), "Whatever");
    EXPECT_EQ(settings.GetActiveSlot(), 1);
    EXPECT_EQ(settings.GetPair(1, PartValue), "E:\\games\\a=b.psf");
    // A file that ends early leaves the later pairs as they were.
    EXPECT_EQ(settings.GetSlotUrl(1), m_strDir + "config/default1.psf");
}

TEST_F(SettingsFileTest, HeaderAloneChangesNothing)
{
    WriteRaw(Path("c.ini"), "[Setting]\r\n");
    SettingsStore settings = Seeded();
    settings.SetActiveSlot(4);
    const SettingsStore before = settings;
    ASSERT_TRUE(LoadSettingsFile(Path("c.ini"), m_strDir, settings));
    EXPECT_EQ(settings, before);
}

TEST_F(SettingsFileTest, MalformedFilesFallBackToDefaultsAndAreRewritten)
{
    const std::string cases[] = {
        "",                                       // empty
        "[setting]\r\nCurrentProfile=1\r\n",      // header case
        "[Setting]\r\nCurrentProfile=\r\n",       // empty value
        "[Setting]\r\n=1\r\n",                    // "=" first
        "[Setting]\r\nCurrentProfile\r\n",        // no "="
        Valid() + "\r\n",                         // a blank line after the pairs
        Valid() + "extra\r\n",                    // an extra line
        std::string("\0\x01\xff[Setting]\n", 12), // binary
    };
    for (const std::string& strContent : cases)
    {
        WriteRaw(Path("c.ini"), strContent);
        SettingsStore settings;
        settings.SetPair(0, PartValue, "3");
        EXPECT_FALSE(LoadSettingsFile(Path("c.ini"), m_strDir, settings)) << strContent;
        EXPECT_EQ(settings, Seeded()) << strContent;
        SettingsStore reread;
        ASSERT_TRUE(ReadSettingsFile(Path("c.ini"), reread)) << strContent;
        EXPECT_EQ(reread, Seeded());
    }
}

TEST_F(SettingsFileTest, MissingFileIsCreatedWithDefaults)
{
    SettingsStore settings;
    EXPECT_FALSE(LoadSettingsFile(Path("c.ini"), m_strDir, settings));
    EXPECT_EQ(settings.GetSlotUrl(3), m_strDir + "config/default3.psf");
    EXPECT_TRUE(Exists(Path("c.ini")));
}

TEST_F(SettingsFileTest, SevenLinesAreAccepted)
{
    WriteRaw(Path("c.ini"), Valid());
    SettingsStore settings;
    ASSERT_TRUE(LoadSettingsFile(Path("c.ini"), m_strDir, settings));
    EXPECT_EQ(settings.GetActiveSlot(), 2);
    EXPECT_EQ(settings.GetSlotUrl(4), "/p/a4.psf");
}

} // namespace
