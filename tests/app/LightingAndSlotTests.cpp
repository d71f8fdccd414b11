// The lighting page and the profile slots: choices and their pending marks, slot switching,
// Apply / OK on the simulator's exchange log, and both resets.

#include "MainWindowTestSupport.h"

#include <algorithm>
#include <filesystem>

#include <QGuiApplication>

#include "device/DeviceProtocol.h"
#include "dialogs/FirmwareResetDlg.h"
#include "mainwindow/LightingPreview.h"
#include "skin/Buttons.h"
#include "skin/SkinDraw.h"
#include "skin/WndPopup.h"
#include "storage/DataFiles.h"

using namespace MainWindow;

namespace
{
QRgb BarPixel(CDlgBase& dlg)
{
    return dlg.RenderClient().pixel(80, 155) & 0xFFFFFF;
}

bool AnyPending(const CDeviceLink& link)
{
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        if (link.Pending(nSlot).Any())
            return true;
    return false;
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& vecReport, size_t nBytes)
{
    return std::vector<uint8_t>(vecReport.begin(), vecReport.begin() + std::min(nBytes, vecReport.size()));
}
} // namespace

// ---- Lighting ----

TEST_F(MainWindowTest, ChoosingCyanStoresFourMarksOnlyTheActiveSlotAndPaintsTheBar)
{
    Open();
    Click(2050); // slot 1
    Click(IDC_TAB_LIGHTING_PAGE);
    m_kb.ClearLog();
    Click(IDC_LIGHT_COLOR);
    const CWndPopup* pFirst = Dlg().GetPopup(PopupSlotLightColor);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_TRUE(dynamic_cast<CComboButton*>(Dlg().FindControl(IDC_LIGHT_COLOR))->IsPopupOpen());
    Click(IDC_LIGHT_COLOR); // opening again gives a fresh popup
    ASSERT_NE(Dlg().GetPopup(PopupSlotLightColor), nullptr);
    EXPECT_NE(Dlg().GetPopup(PopupSlotLightColor), pFirst);

    ChoosePopupItem(PopupSlotLightColor, "Cyan");
    EXPECT_EQ(Slot(1).GetPair(PairLightColor, PartValue), "4");
    EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Cyan");
    EXPECT_TRUE(Dlg().DeviceLink().Pending(1).LightingPending);
    EXPECT_FALSE(Dlg().DeviceLink().Pending(0).LightingPending);
    EXPECT_EQ(Dlg().GetPopup(PopupSlotLightColor), nullptr);
    EXPECT_FALSE(dynamic_cast<CComboButton*>(Dlg().FindControl(IDC_LIGHT_COLOR))->IsPopupOpen());
    EXPECT_EQ(BarPixel(Dlg()), 0x00FFFFu);
    EXPECT_EQ(m_kb.FeatureTrace(), ""); // only Apply sends
}

TEST_F(MainWindowTest, BrightnessShowsTheBandOfTheStoredLevelAndOddValuesLeaveTheTexts)
{
    Open();
    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_BRIGHTNESS);
    ChoosePopupItem(PopupSlotLightBrightness, "Breath");
    EXPECT_EQ(Slot(0).GetPair(PairLightBrightness, PartValue), "24");
    EXPECT_EQ(Caption(IDC_LIGHT_BRIGHTNESS), "Breath");

    const std::pair<const char*, const char*> kBands[] = {{"17", "Breath"}, {"3", "30%"}, {"99", "30%"}, {"1", "0%"}};
    for (const auto& [pszStored, pszShown] : kBands)
    {
        Slot(0).SetPair(PairLightBrightness, PartValue, pszStored);
        Dlg().RefreshProfileView();
        EXPECT_EQ(Caption(IDC_LIGHT_BRIGHTNESS), pszShown) << pszStored;
    }
    // A colour no popup offers (a hand-edited file) keeps the text, paints the bar red and is
    // kept as it is.
    Slot(0).SetPair(PairLightColor, PartValue, "9");
    Dlg().RefreshProfileView();
    EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Red");
    EXPECT_EQ(BarPixel(Dlg()), 0xFF0000u);
    EXPECT_EQ(Slot(0).GetPair(PairLightColor, PartValue), "9");
}

TEST_F(MainWindowTest, ALightingPopupThatLostActivationIsClosedOnlyOnItsOwnCode)
{
    Open();
    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_BRIGHTNESS);
    CSkinWindow::SendMessage(&Dlg(), UM_LIGHT_BRIGHTNESS_GONE, IDC_LIGHT_BRIGHTNESS, 7);
    EXPECT_NE(Dlg().GetPopup(PopupSlotLightBrightness), nullptr);
    CSkinWindow::SendMessage(&Dlg(), UM_LIGHT_BRIGHTNESS_GONE, IDC_LIGHT_BRIGHTNESS, 8);
    EXPECT_EQ(Dlg().GetPopup(PopupSlotLightBrightness), nullptr);
    EXPECT_FALSE(dynamic_cast<CComboButton*>(Dlg().FindControl(IDC_LIGHT_BRIGHTNESS))->IsPopupOpen());
    EXPECT_EQ(Caption(IDC_LIGHT_BRIGHTNESS), "100%");
    EXPECT_FALSE(AnyPending(Dlg().DeviceLink()));
}

// ---- Slots ----

TEST_F(MainWindowTest, SwitchingSlotsShowsTheOtherSlotAndNeitherSendsNorSaves)
{
    Open();
    Slot(2).SetColour(3);
    Slot(2).SetBrightness(2);
    Slot(2).AssignProgrammableKey(0, "Mute", KeyValue{KeyKindSpecial, 0xA0, 0}, "");
    Slot(2).SetRemapEntry(2201, 0x29);
    m_kb.ClearLog();
    const std::string strSettings = ReadFile(ConfigPath("config.ini"));

    Click(2051);
    EXPECT_EQ(Dlg().m_SettingsStore.GetPair(0, PartValue), "2");
    EXPECT_EQ(Dlg().SelectedSlotTab(), 2);
    EXPECT_EQ(Caption(IDC_LIGHT_COLOR), "Blue");
    EXPECT_EQ(Caption(IDC_LIGHT_BRIGHTNESS), "30%");
    EXPECT_EQ(Caption(IDC_PROGRAMMABLE_KEY_FIRST), "Mute");
    EXPECT_TRUE(dynamic_cast<CKeyboardButton*>(Dlg().FindControl(2201))->m_bKeyChanged);
    Click(2049);
    EXPECT_EQ(Caption(IDC_PROGRAMMABLE_KEY_FIRST), "CTRL+1");
    EXPECT_FALSE(dynamic_cast<CKeyboardButton*>(Dlg().FindControl(2201))->m_bKeyChanged);
    EXPECT_EQ(m_kb.FeatureTrace(), "");
    EXPECT_EQ(ReadFile(ConfigPath("config.ini")), strSettings);
}

TEST_F(MainWindowTest, ApplySendsThePendingEditsInOrderSelectsTheActiveSlotAndSavesEveryFileUnderTheBusyPointer)
{
    Open();
    Click(2050);
    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_COLOR);
    ChoosePopupItem(PopupSlotLightColor, "Blue");
    Slot(1).SetRemapEntry(2201, 0x29);
    Dlg().DeviceLink().MarkKeyTablePending(1);
    Dlg().DeviceLink().MarkMacroLibraryChanged();
    Click(2049);
    std::filesystem::remove(ConfigPath("MacroLibraryFile.mlf"));
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        std::filesystem::remove(ConfigPath("default" + std::to_string(nSlot) + ".psf"));
    m_kb.ClearLog();
    m_clock.m_vecShapes.clear();

    Click(IDC_APPLY);
    EXPECT_EQ(m_kb.FeatureTrace(), "S7 S6 S5");
    EXPECT_EQ(Head(m_kb.LastSet(7), 6), (std::vector<uint8_t>{7, 0x0D, 1, 0, 3, 8}));
    const std::vector<uint8_t> vecKeys = m_kb.LastSet(6);
    ASSERT_GE(vecKeys.size(), KeyTableRemapOffset + MatrixPositionCount);
    EXPECT_EQ(vecKeys[2], 1);
    EXPECT_TRUE(std::equal(Slot(1).AllRCKey.begin(), Slot(1).AllRCKey.end(), vecKeys.begin() + KeyTableRemapOffset));
    EXPECT_EQ(m_kb.LastSet(5), (std::vector<uint8_t>{5, 3, 0}));
    EXPECT_EQ(m_kb.ViolationsText(), "");
    EXPECT_FALSE(AnyPending(Dlg().DeviceLink()));
    EXPECT_FALSE(Dlg().DeviceLink().IsMacroLibraryChanged());

    // Every file written; what they hold reads back as the window's model.
    MacroLibrary library;
    SettingsStore settings;
    ProfileStore profiles;
    const LoadReport report = CDataFiles(m_strDir).LoadAll(library, settings, profiles);
    EXPECT_FALSE(report.m_bMacroLibraryDefaulted);
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
        EXPECT_FALSE(report.m_bProfileDefaulted[nSlot]) << nSlot;
    EXPECT_EQ(settings.GetPair(0, PartValue), "0");
    EXPECT_EQ(profiles[1], Slot(1));

    // The pointer said "busy" through every protocol pause, and is back afterwards.
    ASSERT_FALSE(m_clock.m_vecShapes.empty());
    for (Qt::CursorShape eShape : m_clock.m_vecShapes)
        EXPECT_EQ(eShape, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, OkAppliesAndThenHidesTheWindow)
{
    Open();
    m_kb.ClearLog();
    Click(IDC_OK);
    EXPECT_EQ(m_kb.FeatureTrace(), "S5");
    EXPECT_FALSE(Dlg().isVisible());
}

// ---- Resets ----

TEST_F(MainWindowTest, ResettingTheActiveSlotAsksFirstAndOnOkRestoresItsFactoryStateAndClearsOnlyItsMarks)
{
    Open();
    Click(2050);
    Slot(1).m_pairs[PairProfileName].m_strValue = "Mine";
    Slot(1).SetRemapEntry(2201, 0x29);
    Dlg().DeviceLink().MarkLightingPending(1);
    Dlg().DeviceLink().MarkLightingPending(0);
    const ProfileRecord edited = Slot(1);
    m_kb.ClearLog();

    m_deqAnswers = {IDCANCEL};
    Click(IDC_RESET_SLOT);
    ASSERT_EQ(m_vecModalRuns.size(), 1u);
    EXPECT_EQ(m_vecModalRuns[0].strClass, "reset");
    EXPECT_EQ(m_vecModalRuns[0].nBitmap, CFirmwareResetDlg::kResetCurrentBitmap);
    EXPECT_EQ(Slot(1), edited);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(1).LightingPending);
    EXPECT_EQ(m_kb.FeatureTrace(), "");

    m_deqAnswers = {IDOK};
    Click(IDC_RESET_SLOT);
    ASSERT_EQ(m_vecModalRuns.size(), 2u);
    EXPECT_EQ(m_vecModalRuns[1].nResult, IDOK);
    ProfileRecord factory;
    factory.SetFactoryDefaults(1);
    EXPECT_EQ(Slot(1), factory);
    EXPECT_EQ(Slot(1).GetPair(PairProfileName, PartValue), "Default2");
    EXPECT_EQ(m_kb.FeatureTrace(), "S7 S6 S5");
    EXPECT_EQ(m_kb.LastSet(5), (std::vector<uint8_t>{5, 3, 1}));
    EXPECT_FALSE(Dlg().DeviceLink().Pending(1).LightingPending);
    EXPECT_TRUE(Dlg().DeviceLink().Pending(0).LightingPending);
    EXPECT_FALSE(dynamic_cast<CKeyboardButton*>(Dlg().FindControl(2201))->m_bKeyChanged);
    EXPECT_NE(ReadFile(ConfigPath("default1.psf")).find("Default2"), std::string::npos);

    // Slot 3 (active only through a hand-edited settings file) is reset in the program alone:
    // the keyboard has no such profile.
    Dlg().m_SettingsStore.SetActiveSlot(3);
    Dlg().RefreshProfileView();
    Slot(3).m_pairs[PairProfileName].m_strValue = "Mine";
    m_kb.ClearLog();
    m_deqAnswers = {IDOK};
    Click(IDC_RESET_SLOT);
    EXPECT_EQ(Slot(3).GetPair(PairProfileName, PartValue), "Default4");
    EXPECT_EQ(m_kb.FeatureTrace(), "");
    EXPECT_EQ(m_kb.ViolationsText(), "");
}

TEST_F(MainWindowTest, ResettingAllSlotsAsksFirstAndOnOkResetsSlotsZeroToTwoLeavingThreeAndFour)
{
    Open();
    Click(2051);
    for (int nSlot = 0; nSlot < ProfileSlotCount; ++nSlot)
    {
        Slot(nSlot).m_pairs[PairProfileName].m_strValue = "Mine" + std::to_string(nSlot);
        Dlg().DeviceLink().MarkKeyTablePending(nSlot);
    }
    Dlg().m_SettingsStore.SetSlotUrl(3, ConfigPath("mine3.psf"));
    Dlg().DataFiles().SaveProfile(3, Dlg().m_ProfileStore, Dlg().m_SettingsStore);
    Dlg().DataFiles().SaveProfile(4, Dlg().m_ProfileStore, Dlg().m_SettingsStore);
    const std::string strSlot3 = ReadFile(ConfigPath("mine3.psf"));
    const std::string strSlot4 = ReadFile(ConfigPath("default4.psf"));
    const ProfileRecord slot3 = Slot(3);
    const ProfileRecord slot4 = Slot(4);
    m_kb.ClearLog();

    m_deqAnswers = {IDCANCEL};
    Click(IDC_RESET_ALL_SLOTS);
    ASSERT_EQ(m_vecModalRuns.size(), 1u);
    EXPECT_EQ(m_vecModalRuns[0].nBitmap, CFirmwareResetDlg::kResetAllBitmap);
    EXPECT_EQ(Slot(0).GetPair(PairProfileName, PartValue), "Mine0");
    EXPECT_EQ(Dlg().ActiveSlot(), 2);
    EXPECT_EQ(m_kb.FeatureTrace(), "");

    m_deqAnswers = {IDOK};
    m_clock.m_vecShapes.clear();
    Click(IDC_RESET_ALL_SLOTS);
    EXPECT_EQ(m_kb.FeatureTrace(), "S7 S6 S7 S6 S7 S6 S5");
    EXPECT_EQ(m_clock.m_vecShapes, std::vector<Qt::CursorShape>(7, Qt::WaitCursor));
    EXPECT_EQ(m_kb.LastSet(5), (std::vector<uint8_t>{5, 3, 0}));
    EXPECT_EQ(m_kb.ViolationsText(), "");
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
    {
        ProfileRecord factory;
        factory.SetFactoryDefaults(nSlot);
        EXPECT_EQ(Slot(nSlot), factory) << nSlot;
    }
    EXPECT_EQ(Slot(3), slot3);
    EXPECT_EQ(Slot(4), slot4);
    EXPECT_EQ(ReadFile(ConfigPath("mine3.psf")), strSlot3);
    EXPECT_EQ(ReadFile(ConfigPath("default4.psf")), strSlot4);
    EXPECT_EQ(Dlg().m_SettingsStore.GetSlotUrl(3), ConfigPath("default3.psf"));
    EXPECT_EQ(Dlg().ActiveSlot(), 0);
    EXPECT_EQ(Dlg().SelectedSlotTab(), 0);
    EXPECT_FALSE(AnyPending(Dlg().DeviceLink()));
    SettingsStore saved;
    MacroLibrary library;
    ProfileStore profiles;
    CDataFiles(m_strDir).LoadAll(library, saved, profiles);
    EXPECT_EQ(saved, Dlg().m_SettingsStore);
}

// ---- The keyboard picture of the lighting page ----

namespace
{
// The mean colour of the picture's keyboard, as the page shows it, and the texts drawn meanwhile.
struct LitPicture
{
    double dRed = 0, dGreen = 0, dBlue = 0;
    std::vector<std::string> vecTexts;
};

bool NoteText(void* pContext, const SkinTextDraw& text)
{
    static_cast<std::vector<std::string>*>(pContext)->push_back(text.m_strShown.toStdString());
    return true;
}

LitPicture LookAtPicture(CDlgBase& dlg)
{
    LitPicture picture;
    SetSkinTextWatcher(NoteText, &picture.vecTexts);
    const QImage img = dlg.RenderClient();
    SetSkinTextWatcher(nullptr, nullptr);
    const QRect rcKeys(CLightingPreview::Origin + QPoint(20, 18), QSize(330, 162));
    for (int y = rcKeys.top(); y <= rcKeys.bottom(); ++y)
        for (int x = rcKeys.left(); x <= rcKeys.right(); ++x)
        {
            const QRgb rgb = img.pixel(x, y);
            picture.dRed += qRed(rgb);
            picture.dGreen += qGreen(rgb);
            picture.dBlue += qBlue(rgb);
        }
    const double dCount = rcKeys.width() * rcKeys.height();
    picture.dRed /= dCount;
    picture.dGreen /= dCount;
    picture.dBlue /= dCount;
    return picture;
}

bool Shows(const LitPicture& picture, const char* pszText)
{
    return std::find(picture.vecTexts.begin(), picture.vecTexts.end(), pszText) != picture.vecTexts.end();
}
} // namespace

TEST_F(MainWindowTest, TheLightingPageKeyboardIsLitInTheChosenColourAndBrightnessAndSaysWhenItBreathes)
{
    Open();
    Click(IDC_TAB_LIGHTING_PAGE);
    Click(IDC_LIGHT_COLOR);
    ChoosePopupItem(PopupSlotLightColor, "Green");
    const LitPicture green = LookAtPicture(Dlg());
    EXPECT_GT(green.dGreen, green.dRed + 10);
    EXPECT_GT(green.dGreen, green.dBlue);
    Click(IDC_LIGHT_COLOR);
    ChoosePopupItem(PopupSlotLightColor, "Red");
    const LitPicture red = LookAtPicture(Dlg());
    EXPECT_GT(red.dRed, red.dGreen + 10);
    EXPECT_FALSE(Shows(red, CLightingPreview::BreathingText));

    Click(IDC_LIGHT_BRIGHTNESS);
    ChoosePopupItem(PopupSlotLightBrightness, "0%");
    const LitPicture dark = LookAtPicture(Dlg());
    EXPECT_LT(dark.dRed, red.dRed - 10) << "an unlit keyboard shows no red";
    Click(IDC_LIGHT_BRIGHTNESS);
    ChoosePopupItem(PopupSlotLightBrightness, "Breath");
    const LitPicture breathing = LookAtPicture(Dlg());
    EXPECT_TRUE(Shows(breathing, CLightingPreview::BreathingText));
    EXPECT_GT(breathing.dRed, dark.dRed + 5);
}
