// The commands that talk to the keyboard: status, profile, lighting, apply, reset. Each runs the
// way the window would if its user started it, did that one thing and closed it again.

#include "ctl/CtlCommands.h"

#include <cstdio>

#include "ctl/CtlSession.h"
#include "model/KeyTables.h"

namespace
{
const char* const SavedOnlyNote =
    "The change is saved in the data files only for now; it is sent to the keyboard when it is "
    "next connected, by the window or by any corvanectl command that reads the keyboard.\n";

std::string ValueBytes(const KeyValue& value)
{
    char szText[16];
    std::snprintf(szText, sizeof szText, "[%02X %02X %02X]", value.m_nKind, value.m_nParam1, value.m_nParam2);
    return szText;
}

std::string OrUnknown(const char* pszName)
{
    return pszName ? pszName : "unknown";
}

// What a programmable key does, in words, from its value (the name a file keeps for it may be
// older than what the keyboard holds), then the value itself.
std::string DescribeKey(const ProgrammableKey& key)
{
    const KeyValue& value = key.m_value;
    std::string strText;
    switch (value.m_nKind)
    {
    case KeyKindNone: strText = "no function"; break;
    case KeyKindMacro: strText = "macro " + key.m_strName; break;
    case KeyKindSpecial: strText = "special function " + OrUnknown(SpecialFunctionName(value.m_nParam1)); break;
    case KeyKindMouse:
        strText = "mouse button";
        for (int nBit = 0; nBit < 5; ++nBit)
            if (value.m_nParam1 & (1 << nBit))
                strText += " " + OrUnknown(MouseFunctionName(static_cast<uint8_t>(MouseFunctionFirst + nBit)));
        break;
    case KeyKindDoubleClick: strText = OrUnknown(MouseFunctionName(MouseFunctionFirst + 5)); break;
    case KeyKindFire: strText = OrUnknown(MouseFunctionName(MouseFunctionFirst + 6)); break;
    case KeyKindCombination:
        strText = "key combination ";
        if (value.m_nParam1 & ComboCtrl)
            strText += "Ctrl+";
        if (value.m_nParam1 & ComboShift)
            strText += "Shift+";
        if (value.m_nParam1 & ComboAlt)
            strText += "Alt+";
        if (value.m_nParam1 & ComboWin)
            strText += "Win+";
        strText += OrUnknown(DeviceKeyNameTable[value.m_nParam2]);
        break;
    case KeyKindQuickLaunch: strText = "quick launch " + key.m_strUrl; break;
    default: strText = "unknown"; break;
    }
    return strText + " " + ValueBytes(value);
}

std::string ColourWords(int nColour)
{
    const char* pszName = LightColourName(nColour);
    return pszName ? pszName : "unknown (" + std::to_string(nColour) + ")";
}

std::string BrightnessWords(int nLevel)
{
    const char* pszName = BrightnessBandName(nLevel);
    return pszName ? pszName : "unknown (" + std::to_string(nLevel) + ")";
}

// The end of a command that changed the stores and ran one of the profile commands.
int Finish(CCtlSession& session, const ProfileCommandOutcome& outcome, const std::string& strDone)
{
    if (!outcome.m_bSaved)
        return session.Fail("could not save every data file in " + session.Files().ConfigDirectory());
    if (!session.IsConnected())
    {
        session.Out() << strDone << '\n' << session.NotConnectedText() << '\n' << SavedOnlyNote;
        return CtlExitOk;
    }
    if (!outcome.m_bSent)
        return session.Fail("the keyboard did not take every change (" + outcome.m_strFailedWrite +
                            "). It is saved in the data files and sent again when the keyboard is next "
                            "connected, or with 'corvanectl apply'.");
    session.Out() << strDone << '\n';
    return CtlExitOk;
}

std::string ProfileWords(int nSlot)
{
    return "profile " + std::to_string(nSlot + 1);
}
} // namespace

int RunStatus(CCtlSession& session)
{
    session.Connect(true);
    std::ostream& out = session.Out();
    const bool bConnected = session.IsConnected();
    out << "keyboard: " << session.KeyboardState() << '\n';
    out << "read from: " << (bConnected ? "keyboard" : "files") << '\n';
    const int nActive = bConnected ? session.Link().DeviceProfile() : session.m_settings.GetActiveSlot();
    if (nActive >= 0 && nActive < DeviceProfileCount)
        out << "active profile: " << nActive + 1 << '\n';
    else
        out << "active profile: unknown (" << nActive << ")\n";
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
    {
        const ProfileRecord& record = session.m_profiles[nSlot];
        const std::string strPrefix = ProfileWords(nSlot) + " ";
        out << strPrefix << "name: " << record.GetPair(PairProfileName, PartValue) << '\n';
        out << strPrefix << "colour: " << ColourWords(record.GetColour()) << '\n';
        out << strPrefix << "brightness: " << BrightnessWords(record.GetBrightness()) << '\n';
        for (int nKey = 0; nKey < ProgrammableKeyCount; ++nKey)
            out << strPrefix << "G" << nKey + 1 << ": " << DescribeKey(record.m_keys[nKey]) << '\n';
    }
    return CtlExitOk;
}

int RunProfile(CCtlSession& session, const CtlRequest& request)
{
    session.Connect(true);
    session.Edits().SwitchSlot(request.nSlot);
    return Finish(session, session.Apply(), ProfileWords(request.nSlot) + " is the active profile.");
}

int RunLighting(CCtlSession& session, const CtlRequest& request)
{
    session.Connect(true);
    const int nSlot = request.nSlot >= 0 ? request.nSlot : session.m_settings.GetActiveSlot();
    session.Edits().SetLighting(nSlot, request.nColour, request.nBrightness);
    return Finish(session, session.Apply(),
                  ProfileWords(nSlot) + " lighting: " + ColourWords(request.nColour) + ", " +
                      BrightnessWords(request.nBrightness) + ".");
}

int SendSavedProfiles(CCtlSession& session, const std::string& strDone)
{
    for (const auto& [nSlot, nKey] : session.Edits().QueueSavedProfiles())
        session.Note(ProfileWords(nSlot) + " G" + std::to_string(nKey + 1) + ": no macro '" +
                     session.m_profiles[nSlot].m_keys[nKey].m_strName +
                     "' in the macro library; the keyboard keeps the one it has");
    return Finish(session, session.Apply(), strDone);
}

int RunApply(CCtlSession& session)
{
    // The files are what is sent: the keyboard's own settings are not read over them first.
    session.Connect(false);
    if (!session.IsConnected())
        return session.Fail(session.NotConnectedText() + " Nothing was sent.");
    return SendSavedProfiles(session, "Sent profiles 1-3; " + ProfileWords(session.m_settings.GetActiveSlot()) +
                                          " is the active profile.");
}

int RunReset(CCtlSession& session, const CtlRequest& request)
{
    session.Connect(true);
    if (request.nSlot < 0)
        return Finish(session, session.Edits().ResetAllSlots(),
                      "Profiles 1-3 have their factory settings; profile 1 is the active profile.");
    // As choosing the profile's tab and pressing its reset button; the settings are saved too,
    // so that the files say which profile the keyboard now has active.
    session.Edits().SwitchSlot(request.nSlot);
    ProfileCommandOutcome outcome = session.Edits().ResetActiveSlot();
    outcome.m_bSaved = session.Files().SaveSettings(session.m_settings) && outcome.m_bSaved;
    return Finish(session, outcome,
                  ProfileWords(request.nSlot) + " has its factory settings and is the active profile.");
}
