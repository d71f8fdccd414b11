// The edit session: every intent marks exactly what it makes due, and applied edits reach the
// keyboard even when it was away at Apply (across a replug and a restart).

#include <filesystem>

#include "DeviceTestSupport.h"
#include "device/EditSession.h"
#include "device/HotplugDispatch.h"
#include "storage/PendingEditsFile.h"

namespace
{
// The flags of every slot as one line, e.g. "0:L 1:K,M2" ("" when nothing is due).
std::string FlagsText(const CDeviceLink& link)
{
    std::string strText;
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        const PendingChanges& pending = link.Pending(nSlot);
        std::string strSlot;
        if (pending.LightingPending)
            strSlot += "L,";
        if (pending.KeyTablePending)
            strSlot += "K,";
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            if (pending.MacroPending[static_cast<size_t>(k)])
                strSlot += "M" + std::to_string(k) + ",";
        if (!strSlot.empty())
            strText +=
                (strText.empty() ? "" : " ") + std::to_string(nSlot) + ":" + strSlot.substr(0, strSlot.size() - 1);
    }
    return strText + (link.IsMacroLibraryChanged() ? " lib" : "");
}
} // namespace

class EditSessionTest : public DeviceLinkTest
{
protected:
    EditSessionTest() { m_pSession = MakeSession(); }
    std::unique_ptr<CEditSession> MakeSession()
    {
        return std::make_unique<CEditSession>(m_profiles, m_settings, m_library, *m_pLink, *m_pFiles);
    }
    void Unplug()
    {
        m_kb.Unplug();
        DispatchHotplugEvents(m_kb, *m_pLink);
    }
    void Replug()
    {
        m_kb.Plug();
        DispatchHotplugEvents(m_kb, *m_pLink);
        ASSERT_TRUE(m_pLink->HasCommandHandle());
    }
    // The program ends and starts again on the same folder: fresh stores, link and session.
    void Restart()
    {
        m_pSession.reset();
        m_pLink.reset();
        m_ui.RunPending();
        m_profiles = ProfileStore{};
        m_settings = SettingsStore{};
        m_library = MacroLibrary{};
        m_pFiles->LoadAll(m_library, m_settings, m_profiles);
        m_pLink = std::make_unique<CDeviceLink>(m_profiles, m_settings, m_library, *m_pFiles, m_kb, m_clock, m_launcher,
                                                m_ui);
        m_pSession = MakeSession();
        m_pLink->RestoreAwaitingEdits();
    }
    MacroKey& AddRecordedMacro(const std::string& strName)
    {
        MacroKey& macro = m_pSession->AddMacro(*m_library.FirstSet(), strName);
        m_pSession->BeginRecording(macro);
        macro.InsertAction(0, MacroAction::Key(0x41, false));
        m_pSession->StepRecorded();
        m_pSession->EndRecording(macro);
        return macro;
    }

    std::unique_ptr<CEditSession> m_pSession;
};

// ---- Each intent marks what it makes due, and nothing else ----

TEST_F(EditSessionTest, EveryIntentMarksExactlyWhatItMakesDue)
{
    Connect();
    m_pSession->SetColour(1, 5);
    EXPECT_EQ(FlagsText(*m_pLink), "1:L");
    m_pSession->SetBrightness(2, 4);
    m_pSession->RemapKey(0, 2200, 0x14);
    EXPECT_EQ(FlagsText(*m_pLink), "0:K 1:L 2:L");
    m_pSession->AssignKeyFunction(2, 3, "Mute", KeyValue{0x02, 0xA2, 0});
    m_pSession->AssignQuickLaunch(1, 0, "xterm", "/usr/bin/xterm");
    EXPECT_EQ(FlagsText(*m_pLink), "0:K 1:L,K 2:L,K");
    EXPECT_EQ(m_profiles[1].m_keys[0].m_strUrl, "/usr/bin/xterm");
    m_pSession->Apply();
    EXPECT_EQ(FlagsText(*m_pLink), "");

    // A macro's own edits mark the library, and the keys that play it.
    MacroKey& macro = AddRecordedMacro("Greeting");
    EXPECT_EQ(FlagsText(*m_pLink), ""); // recording ended: written, and no key plays it yet
    m_pSession->AssignMacro(0, 1, "Greeting");
    EXPECT_EQ(FlagsText(*m_pLink), "0:K,M1");
    m_pSession->Apply();
    m_pSession->SetLoopCount(macro, 3);
    EXPECT_EQ(FlagsText(*m_pLink), "0:M1 lib");
    m_pSession->Apply();
    m_pSession->SetLoopEnabled(macro, true);
    EXPECT_EQ(FlagsText(*m_pLink), "0:M1 lib");
    EXPECT_EQ(m_pSession->DeleteMacro(*m_library.FirstSet(), m_library.FirstSet()->m_vecKeys.size() - 1),
              CEditSession::EDeleteResult::InUse);
    EXPECT_TRUE(m_pSession->RestoreKeyFunction(0, 1, KeyValue{0x00, 0, 0}));
    EXPECT_EQ(FlagsText(*m_pLink), "0:K,M1 lib");
    m_pSession->Apply();
    EXPECT_EQ(m_pSession->DeleteMacro(*m_library.FirstSet(), m_library.FirstSet()->m_vecKeys.size() - 1),
              CEditSession::EDeleteResult::Deleted);
    EXPECT_EQ(FlagsText(*m_pLink), ""); // written at once
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(EditSessionTest, UnappliedEditsAreThoseNeitherSentNorKeptForTheKeyboard)
{
    Connect();
    EXPECT_FALSE(m_pSession->HasUnappliedEdits());
    m_pSession->SwitchSlot(2); // a choice of view: the keyboard hears of it at Apply
    EXPECT_FALSE(m_pSession->HasUnappliedEdits());
    m_pSession->SetColour(0, 6);
    EXPECT_TRUE(m_pSession->HasUnappliedEdits());
    Unplug();
    m_pSession->Apply();
    EXPECT_FALSE(m_pSession->HasUnappliedEdits()); // kept for the keyboard
    m_pSession->RemapKey(0, 2200, 0x14);
    EXPECT_TRUE(m_pSession->HasUnappliedEdits());
}

// ---- Applied edits reach the keyboard ----

TEST_F(EditSessionTest, AnEditAppliedWithoutTheKeyboardReachesItWhenItIsBack)
{
    Connect();
    Unplug();
    m_pSession->SetColour(0, 5);
    m_pSession->SwitchSlot(2);
    const ProfileCommandOutcome outcome = m_pSession->Apply();
    EXPECT_FALSE(outcome.m_bConnected);
    EXPECT_FALSE(outcome.m_bSent);
    EXPECT_TRUE(outcome.m_bSaved);
    // Meanwhile, on the keyboard itself: another profile's colour and the active profile.
    m_kb.SetLighting(1, 7, 8);
    m_kb.SetActiveProfile(1);

    Replug();
    EXPECT_EQ(m_kb.Colour(0), 5);            // the applied edit won over the keyboard's old value
    EXPECT_EQ(m_kb.ActiveProfile(), 2);      // and so did the applied choice of profile
    EXPECT_EQ(m_profiles[1].GetColour(), 7); // the keyboard's own change still shows
    EXPECT_EQ(FlagsText(*m_pLink), "");
    EXPECT_FALSE(m_pLink->Awaiting().Any());
    EXPECT_FALSE(std::filesystem::exists(m_pFiles->PendingEditsPath()));
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore profiles;
    LoadFromDisk(library, settings, profiles);
    EXPECT_EQ(profiles[0].GetColour(), 5);
    EXPECT_EQ(settings.GetActiveSlot(), 2);
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(EditSessionTest, AppliedEditsWaitAcrossARestartAndUnappliedOnesAreNotReadOver)
{
    Connect();
    AddRecordedMacro("Greeting");
    Unplug();
    m_pSession->AssignMacro(1, 4, "Greeting");
    m_pSession->SetLighting(2, 2, 24);
    m_pSession->Apply();
    EXPECT_EQ(ParsePendingEditsFile(ReadFile(m_pFiles->PendingEditsPath())).m_slots[1].MacroPending[4], true);

    Restart();
    m_pSession->RemapKey(0, 2200, 0x14); // a new edit, not applied when the keyboard arrives
    m_kb.ClearLog();
    Replug();
    EXPECT_EQ(m_kb.MacroName(1, 4), "Greeting");
    EXPECT_EQ(m_kb.KeyValue(1, 4), (std::array<uint8_t, 3>{0x01, 0, 0}));
    EXPECT_EQ(m_kb.Colour(2), 2);
    EXPECT_EQ(m_kb.Brightness(2), 24);
    EXPECT_EQ(m_profiles[0].GetRemapEntry(2200), 0x14); // kept in the program, not yet sent
    EXPECT_EQ(FlagsText(*m_pLink), "0:K");
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(EditSessionTest, AResetWithoutTheKeyboardStillReachesIt)
{
    Connect();
    m_kb.SetLighting(1, 7, 24);
    Unplug();
    m_pSession->SwitchSlot(1);
    const ProfileCommandOutcome outcome = m_pSession->ResetActiveSlot();
    EXPECT_FALSE(outcome.m_bSent);
    EXPECT_EQ(FlagsText(*m_pLink), "1:L,K");
    Replug();
    EXPECT_EQ(m_kb.Colour(1), 1);
    EXPECT_EQ(m_kb.Brightness(1), 8);
    EXPECT_EQ(FlagsText(*m_pLink), "");
}

TEST(PendingEditsFileTest, ReadsWhatItWroteAndIgnoresWhatItCannotRead)
{
    AwaitingEdits awaiting;
    awaiting.m_bActiveProfile = true;
    awaiting.m_slots[0].LightingPending = true;
    awaiting.m_slots[2].KeyTablePending = true;
    awaiting.m_slots[2].MacroPending[4] = true;
    const std::string strText = FormatPendingEditsFile(awaiting);
    EXPECT_EQ(strText, "[PendingEdits]\nActiveProfile=Pending\nProfile1=Lighting\nProfile3=KeyTable G5\n");
    EXPECT_EQ(ParsePendingEditsFile(strText), awaiting);
    EXPECT_FALSE(ParsePendingEditsFile("[PendingEdits]\nProfile9=Lighting\nProfile1=Colour G0 G6\nnoise").Any());
}
