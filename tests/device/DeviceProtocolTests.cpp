// Packing of macros into the keyboard's steps and back, and the name field of report 8.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "device/DeviceProtocol.h"
#include "model/KeyTables.h"
#include "model/Macro.h"

namespace
{
constexpr uint8_t VkOne = 0x31; // device code 0x1E
constexpr uint8_t VkA = 0x41;   // device code 0x04

MacroKey MakeMacro(const std::vector<MacroAction>& vecActions)
{
    MacroKey macro;
    macro.m_strName = "m";
    for (const MacroAction& action : vecActions)
        macro.InsertAction(macro.m_nActionCount, action);
    return macro;
}

std::vector<std::pair<int, int>> Steps(const ReportBuffer& report)
{
    std::vector<std::pair<int, int>> vecSteps;
    for (size_t i = 0; i < report[MacroStepCountOffset]; ++i)
        vecSteps.emplace_back(report[MacroStepsOffset + 2 * i], report[MacroStepsOffset + 2 * i + 1]);
    return vecSteps;
}

std::vector<MacroAction> Actions(const MacroKey& macro)
{
    return std::vector<MacroAction>(macro.m_actions.begin(), macro.m_actions.begin() + macro.m_nActionCount);
}

ReportBuffer ReplyWithSteps(uint8_t nLoop, const std::vector<std::pair<int, int>>& vecSteps)
{
    ReportBuffer reply{};
    reply[0] = ReportMacro;
    reply[MacroLoopOffset] = nLoop;
    reply[MacroStepCountOffset] = static_cast<uint8_t>(vecSteps.size());
    for (size_t i = 0; i < vecSteps.size() && i < MaxMacroSteps; ++i)
    {
        reply[MacroStepsOffset + 2 * i] = static_cast<uint8_t>(vecSteps[i].first);
        reply[MacroStepsOffset + 2 * i + 1] = static_cast<uint8_t>(vecSteps[i].second);
    }
    return reply;
}
} // namespace

TEST(MacroDecode, LongPauseStepAndKeyPauseAddUp)
{
    const ReportBuffer reply = ReplyWithSteps(0, {{0x01, 0x10}, {0x1E, 0x05}});
    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    ASSERT_EQ(macro.m_nActionCount, 2u);
    EXPECT_EQ(macro.m_actions[0], (MacroAction{{0x03, 0x00, 0x04, 0x28}})); // 1064 ms
    EXPECT_EQ(macro.m_actions[1], MacroAction::Key(VkOne, false));
    EXPECT_EQ(macro.LoopEnable, 0u);
    EXPECT_EQ(macro.MacroCommandActionNum, 2);
}

TEST(MacroDecode, PauseUnitsReleaseFlagAndLoop)
{
    // 0x00 steps are 8 ms with the top bit ignored; 0x02 and 0x03 steps are 128 and 256 ms.
    const ReportBuffer reply = ReplyWithSteps(5, {{0x00, 0x81}, {0x02, 2}, {0x03, 1}, {0x04, 0x80 | 3}, {0x01, 9}});
    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    ASSERT_EQ(macro.m_nActionCount, 2u);
    EXPECT_EQ(macro.m_actions[0].DelayMs(), 8u + 256u + 256u + 24u);
    EXPECT_EQ(macro.m_actions[1], MacroAction::Key(VkA, true));
    EXPECT_EQ(macro.LoopEnable, 1u);
    EXPECT_EQ(macro.LoopNum, 5);
    EXPECT_EQ(macro.MacroCommandActionNum, 5); // the trailing pause is dropped, the count kept
}

TEST(MacroDecode, StepCountAbove96ReadsOnlyWhatTheReportHolds)
{
    ReportBuffer reply = ReplyWithSteps(1, std::vector<std::pair<int, int>>(96, {0x04, 0x00}));
    reply[MacroStepCountOffset] = 0xFF;
    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    EXPECT_EQ(macro.m_nActionCount, 96u);
    EXPECT_EQ(macro.MacroCommandActionNum, 96);
}

TEST(MacroDecode, KeysWithoutVirtualKeyAreSkippedAndTheirPauseKept)
{
    // 0xE8 (the "-" key's alternate code) has no virtual key; a zero action would read as a pause.
    const ReportBuffer reply = ReplyWithSteps(1, {{0xE8, 10}, {0x04, 5}});
    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    ASSERT_EQ(macro.m_nActionCount, 2u);
    EXPECT_EQ(macro.m_actions[0].DelayMs(), 120u);
    EXPECT_EQ(macro.m_actions[1], MacroAction::Key(VkA, false));
}

TEST(MacroDecode, HugePausesSaturateInsteadOfWrapping)
{
    const ReportBuffer reply = ReplyWithSteps(1, {{0x03, 255}, {0x03, 255}, {0x04, 0}});
    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    ASSERT_EQ(macro.m_nActionCount, 2u);
    EXPECT_EQ(macro.m_actions[0].DelayMs(), 0xFFFFu);
}

TEST(MacroEncode, ShortPauseRidesInTheKeyStep)
{
    ReportBuffer report{};
    MacroKey macro = MakeMacro(
        {MacroAction::Delay(1015), MacroAction::Key(VkA, false), MacroAction::Delay(100), MacroAction::Key(VkA, true)});
    EXPECT_EQ(EncodeMacroSteps(macro, report.data()), 2u);
    EXPECT_EQ(Steps(report), (std::vector<std::pair<int, int>>{{0x04, 126}, {0x04, 0x80 | 12}}));
}

TEST(MacroEncode, LongPausesKeepTheirLengthInTheCarry)
{
    // The part below one 64 ms unit goes into the key step in 8 ms units, so the keyboard plays
    // 1016 ms and 2000 ms rather than 1016 + 448 and 2000 + 112.
    ReportBuffer report{};
    MacroKey macro = MakeMacro({MacroAction::Delay(1016), MacroAction::Key(VkA, false), MacroAction::Delay(2000),
                                MacroAction::Key(VkA, true), MacroAction::Delay(20000), MacroAction::Key(VkOne, false),
                                MacroAction::Delay(40000), MacroAction::Key(VkOne, true)});
    EXPECT_EQ(EncodeMacroSteps(macro, report.data()), 8u);
    EXPECT_EQ(Steps(report), (std::vector<std::pair<int, int>>{{0x01, 15},
                                                               {0x04, 7}, // 960 + 56
                                                               {0x01, 31},
                                                               {0x04, 0x80 | 2}, // 1984 + 16
                                                               {0x02, 156},
                                                               {0x1E, 4}, // 19968 + 32
                                                               {0x03, 156},
                                                               {0x1E, 0x80 | 8}})); // 39936 + 64
    MacroKey back;
    DecodeMacroSteps(report.data(), back);
    EXPECT_EQ(Actions(back), Actions(macro));
}

TEST(MacroEncode, ConsecutivePausesAddUpAndTrailingPausesSendNothing)
{
    ReportBuffer report{};
    MacroKey macro = MakeMacro(
        {MacroAction::Delay(600), MacroAction::Delay(600), MacroAction::Key(VkA, false), MacroAction::Delay(3000)});
    EXPECT_EQ(EncodeMacroSteps(macro, report.data()), 2u);
    EXPECT_EQ(Steps(report), (std::vector<std::pair<int, int>>{{0x01, 18}, {0x04, 6}}));
}

TEST(MacroEncode, AnyFirstByteBelowEightIsAPauseAndKeysWithoutCodeAreSkipped)
{
    ReportBuffer report{};
    MacroKey macro = MakeMacro({MacroAction{{0x05, 0x00, 0x00, 0x40}}, // 64 ms, not a key
                                MacroAction::Key(0x10, false),         // Shift: no device code
                                MacroAction::Key(VkA, false)});
    EXPECT_EQ(EncodeMacroSteps(macro, report.data()), 1u);
    EXPECT_EQ(Steps(report), (std::vector<std::pair<int, int>>{{0x04, 8}}));
}

TEST(MacroEncode, OnlyTheReleaseBitOfAKeyActionIsSent)
{
    ReportBuffer report{};
    MacroKey macro = MakeMacro({MacroAction{{VkA, 0xFF, 0x12, 0x34}}});
    EncodeMacroSteps(macro, report.data());
    EXPECT_EQ(Steps(report), (std::vector<std::pair<int, int>>{{0x04, 0x80}}));
}

TEST(MacroEncode, NeverWritesMoreThan96StepsNorSplitsAKeyFromItsPause)
{
    std::vector<MacroAction> vecActions;
    for (int i = 0; i < 95; ++i)
        vecActions.push_back(MacroAction::Key(VkA, i % 2 != 0));
    vecActions.push_back(MacroAction::Delay(5000)); // would need a step of its own
    vecActions.push_back(MacroAction::Key(VkA, true));
    MacroKey macro = MakeMacro(vecActions);
    macro.MacroCommandActionNum = 100;
    ReportBuffer report{};
    report.fill(0xEE);
    EXPECT_EQ(EncodeMacroSteps(macro, report.data()), 95u);
    EXPECT_EQ(report[MacroStepCountOffset], 95);
    EXPECT_EQ(report[MacroStepsOffset + 2 * 95], 0xEE); // nothing written for the 96th step

    // 150 key actions: exactly 96 steps and nothing past the report.
    MacroKey full = MakeMacro(std::vector<MacroAction>(150, MacroAction::Key(VkA, false)));
    report.fill(0xEE);
    EXPECT_EQ(EncodeMacroSteps(full, report.data()), 96u);
    EXPECT_EQ(report[MacroReportLength], 0xEE);
}

TEST(MacroEncode, RecordedMacrosComeBackUnchanged)
{
    // Every virtual key that has a device code and comes back as itself.
    std::vector<uint8_t> vecVks;
    for (int vk = 8; vk < 256; ++vk)
        if (VkToDeviceCode[vk] >= 4 && DeviceCodeToVk[VkToDeviceCode[vk]] == vk)
            vecVks.push_back(static_cast<uint8_t>(vk));
    ASSERT_GT(vecVks.size(), 80u);

    std::mt19937 rng(7);
    for (int nRound = 0; nRound < 300; ++nRound)
    {
        std::vector<MacroAction> vecActions;
        const int nKeys = std::uniform_int_distribution<int>(1, 48)(rng);
        for (int i = 0; i < nKeys; ++i)
        {
            if (rng() % 2)
            {
                const uint32_t nMs = 8 * std::uniform_int_distribution<uint32_t>(1, 0xFFFF / 8)(rng);
                vecActions.push_back(MacroAction::Delay(rng() % 3 ? nMs % 1016 + 8 - nMs % 8 : nMs));
            }
            vecActions.push_back(MacroAction::Key(vecVks[rng() % vecVks.size()], rng() % 2 != 0));
        }
        MacroKey macro = MakeMacro(vecActions);
        macro.LoopNum = static_cast<uint8_t>(1 + rng() % 255);
        ReportBuffer report{};
        report[MacroLoopOffset] = macro.LoopNum;
        const size_t nSteps = EncodeMacroSteps(macro, report.data());
        EXPECT_EQ(nSteps, CountCommandSteps(macro)) << "round " << nRound;
        MacroKey back;
        DecodeMacroSteps(report.data(), back);
        ASSERT_EQ(Actions(back), Actions(macro)) << "round " << nRound;
        EXPECT_EQ(back.LoopNum, macro.LoopNum);
    }
}

TEST(MacroName, ReplyNames)
{
    ReportBuffer reply{};
    reply[MacroNameOffset] = 0xFF;
    reply[MacroNameOffset + 1] = 0xFF;
    EXPECT_EQ(MacroNameFromReply(reply.data()), ""); // the keyboard holds no name

    reply.fill(0);
    const std::string strFull = "ABCDEFGHIJKLMNOPQRSTUVWX"; // 24 bytes, no terminating zero
    std::copy(strFull.begin(), strFull.end(), reply.begin() + MacroNameOffset);
    reply[MacroLoopOffset] = 'Z';
    EXPECT_EQ(MacroNameFromReply(reply.data()), strFull);

    reply.fill(0);
    const uint8_t arrOdd[] = {'a', '\r', '\n', 'b', 0xFF, 'c', 0xC3, 0xA4, 0xE4, 'd', 0x7F, 0};
    std::copy(std::begin(arrOdd), std::end(arrOdd), reply.begin() + MacroNameOffset);
    EXPECT_EQ(MacroNameFromReply(reply.data()), "ab?c\xC3\xA4?d");
}

TEST(MacroName, NameFieldIsCutAtACharacterBoundary)
{
    ReportBuffer report{};
    report.fill(0xEE);
    // 23 ASCII bytes then a two-byte character: the character does not fit and is left out.
    const std::string strName = std::string(23, 'x') + "\xC3\xA4" + "tail";
    PutMacroName(report.data(), strName);
    EXPECT_EQ(std::string(report.begin() + MacroNameOffset, report.begin() + MacroNameOffset + 23),
              std::string(23, 'x'));
    EXPECT_EQ(report[MacroNameOffset + 23], 0);
    EXPECT_EQ(report[MacroLoopOffset], 0xEE);

    PutMacroName(report.data(), "Mac");
    EXPECT_EQ(MacroNameFromReply(report.data()), "Mac");
    EXPECT_EQ(MadeUpMacroName(1, 2), "Profile2_G3");
}
