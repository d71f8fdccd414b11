// Macros read from the keyboard and written back to it: the keyboard gets back exactly what it
// had until the user edits the macro, against the keyboard simulator.

#include <optional>

#include "DeviceTestSupport.h"
#include "storage/MacroKeyFile.h"

namespace
{
// Programs that turning steps into actions cannot say exactly, with the key each is recorded on.
struct HardProgram
{
    int nKey;
    uint8_t nLoop;
    std::vector<SimStep> vecSteps;
};

std::vector<HardProgram> HardPrograms()
{
    // 96 key steps, each carrying the longest pause a key step holds (127 x 8 = 1016 ms).
    std::vector<SimStep> vecLongPauses;
    for (int i = 0; i < 96; ++i)
        vecLongPauses.push_back({static_cast<uint8_t>(0x04 + i / 2), static_cast<uint8_t>((i % 2 ? 0x80 : 0) | 0x7F)});
    // F13..F24, the keyboard's alternate F1..F12 codes, a multimedia code and its own "-".
    std::vector<SimStep> vecCodes;
    for (uint8_t nCode = 0x68; nCode <= 0x73; ++nCode)
        vecCodes.push_back({nCode, 0x01});
    for (uint8_t nCode = 0xC0; nCode <= 0xCB; ++nCode)
        vecCodes.push_back({nCode, 0x82});
    vecCodes.push_back({0xA0, 0x03});
    vecCodes.push_back({0xE8, 0x84});
    vecCodes.push_back({0x04, 0x00});
    // Pauses split otherwise than the program splits them, and one beyond what an action holds.
    const std::vector<SimStep> vecPauses = {{0x02, 10},  {0x04, 0},   {0x01, 1}, {0x05, 0x83},
                                            {0x03, 255}, {0x03, 255}, {0x06, 0}};
    return {{0, 0, vecLongPauses}, {1, 3, vecCodes}, {4, 255, vecPauses}};
}
} // namespace

TEST_F(DeviceLinkTest, MacrosRecordedOnTheKeyboardGoBackByteForByte)
{
    Connect();
    for (const HardProgram& program : HardPrograms())
    {
        ASSERT_EQ(m_kb.RecordMacroOnKeyboard(program.nKey, program.vecSteps, program.nLoop), 1);
        HandleEvents(1);
        const std::string strName = MadeUpMacroName(0, program.nKey);
        EXPECT_EQ(m_kb.MacroBytes(0, program.nKey),
                  CSimulatedKeyboard::MakeMacroBytes(strName, program.nLoop, program.vecSteps))
            << strName;
    }
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(DeviceLinkTest, TheSyncSendsMadeUpNamesBackWithTheKeyboardsOwnSteps)
{
    for (const HardProgram& program : HardPrograms())
    {
        m_kb.SetKeyValue(2, program.nKey, 0x01, 0, 0);
        m_kb.SetMacro(2, program.nKey, std::nullopt, program.nLoop, program.vecSteps);
    }
    m_pLink->ScanForKeyboard();
    m_pLink->SyncFromDevice();
    for (const HardProgram& program : HardPrograms())
        EXPECT_EQ(
            m_kb.MacroBytes(2, program.nKey),
            CSimulatedKeyboard::MakeMacroBytes(MadeUpMacroName(2, program.nKey), program.nLoop, program.vecSteps));

    // After a restart (nothing of the steps is saved) the sync reads them again, so an Apply
    // that sends the macro to another key still sends the keyboard's own steps.
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(library, settings, profiles);
    m_pLink.reset();
    m_library = library;
    m_profiles = profiles;
    m_pLink =
        std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, m_kb, m_clock, m_launcher, m_ui);
    Connect();
    m_profiles[0].AssignProgrammableKey(3, MadeUpMacroName(2, 0), KeyValue{0x01, 0, 0}, "");
    m_pLink->MarkMacroPending(0, 3);
    m_pLink->FlushPendingChanges();
    EXPECT_EQ(m_kb.MacroSteps(0, 3), HardPrograms()[0].vecSteps);
}

TEST_F(DeviceLinkTest, AnEditedOrImportedMacroReachesTheKeyboardAsItNowReads)
{
    Connect();
    const HardProgram program = HardPrograms()[1];
    m_kb.RecordMacroOnKeyboard(program.nKey, program.vecSteps, program.nLoop);
    HandleEvents(1);
    MacroKey* pMacro = m_pLink->FindMacroKeyByName(MadeUpMacroName(0, program.nKey));
    ASSERT_NE(pMacro, nullptr);

    // Edited: the keyboard gets the new actions, its old steps are not sent again.
    ASSERT_TRUE(pMacro->RemoveAction(0));
    m_pLink->MarkMacroPending(0, program.nKey);
    m_pLink->FlushPendingChanges();
    MacroKey onKeyboard;
    ReportBuffer reply{};
    const SimMacroBytes bytes = m_kb.MacroBytes(0, program.nKey);
    std::copy(bytes.begin(), bytes.end(), reply.begin() + MacroNameOffset);
    DecodeMacroSteps(reply.data(), onKeyboard);
    EXPECT_EQ(ActionsOf(onKeyboard), ActionsOf(*pMacro));
    EXPECT_EQ(m_kb.MacroSteps(0, program.nKey)[12], (SimStep{0x3A, 0x82})); // F1, no longer 0xC0

    // Imported: the same.
    MacroKey other;
    other.InsertAction(0, MacroAction::Key(0x7C, false)); // F13
    const std::string strFile = m_strDir + "other.mkf";
    ASSERT_TRUE(WriteMacroKeyFile(strFile, other));
    ASSERT_TRUE(ReadMacroKeyFile(strFile, *pMacro));
    m_pLink->MarkMacroPending(0, program.nKey);
    m_pLink->FlushPendingChanges();
    EXPECT_EQ(m_kb.MacroSteps(0, program.nKey), (std::vector<SimStep>{{0x68, 0x00}}));
    EXPECT_EQ(m_kb.ViolationsText(), "");
}
