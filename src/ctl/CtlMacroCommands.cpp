// The commands on the macro library: list, export to and import from macro key files. They work
// on the data files alone, as the window's macro page does; the keyboard is not involved.

#include "ctl/CtlCommands.h"

#include "ctl/CtlSession.h"
#include "storage/MacroKeyFile.h"

namespace
{
// "profile 1 G2, profile 3 G5": the programmable keys of slots 0..2 that play this macro.
std::string KeysPlaying(const std::string& strMacro, const ProfileStore& profiles)
{
    std::string strText;
    for (int nSlot = 0; nSlot < DeviceProfileCount; ++nSlot)
    {
        for (int nKey = 0; nKey < ProgrammableKeyCount; ++nKey)
        {
            const ProgrammableKey& key = profiles[nSlot].m_keys[nKey];
            if (key.m_value.m_nKind == KeyKindMacro && key.m_strName == strMacro)
                strText += std::string(strText.empty() ? "" : ", ") + "profile " + std::to_string(nSlot + 1) + " G" +
                           std::to_string(nKey + 1);
        }
    }
    return strText;
}
} // namespace

int RunMacros(CCtlSession& session)
{
    const MacroSet* pSet = session.m_library.FirstSet();
    if (!pSet)
        return CtlExitOk;
    for (const MacroKey& macro : pSet->m_vecKeys)
    {
        session.Out() << macro.m_strName << ": " << macro.m_nActionCount << " actions, repeat ";
        if (macro.LoopEnable == 1)
            session.Out() << static_cast<unsigned>(macro.LoopNum);
        else
            session.Out() << "off";
        const std::string strKeys = KeysPlaying(macro.m_strName, session.m_profiles);
        if (!strKeys.empty())
            session.Out() << ", on " << strKeys;
        session.Out() << '\n';
    }
    return CtlExitOk;
}

int RunExportMacro(CCtlSession& session, const CtlRequest& request)
{
    MacroSet* pSet = session.m_library.FirstSet();
    const MacroKey* pMacro = pSet ? pSet->FindKeyByName(request.strMacroName) : nullptr;
    if (!pMacro)
        return session.Fail("there is no macro '" + request.strMacroName + "' ('corvanectl macros' lists them)");
    if (!WriteMacroKeyFile(request.strFile, *pMacro))
        return session.Fail("cannot write " + request.strFile);
    session.Out() << "Exported macro " << request.strMacroName << " to " << request.strFile << ".\n";
    return CtlExitOk;
}

int RunImportMacro(CCtlSession& session, const CtlRequest& request)
{
    MacroKey imported;
    if (!ReadMacroKeyFile(request.strFile, imported))
        return session.Fail("cannot import " + request.strFile +
                            ": it is missing or not a macro key file (The Import file is error!). "
                            "Nothing was changed.");
    // A library without any set still takes a macro, in the set a fresh library starts with.
    if (session.m_library.SetCount() == 0)
        session.m_library.AppendSet(DefaultMacroSetName);
    MacroSet& set = *session.m_library.FirstSet();
    MacroKey* pTarget = set.FindKeyByName(request.strMacroName);
    const bool bNew = pTarget == nullptr;
    if (bNew)
        pTarget = &set.AppendKey(request.strMacroName);
    imported.m_strName = pTarget->m_strName;
    *pTarget = imported;
    if (!session.Edits().MacroImported(*pTarget))
        return session.Fail("cannot save the macro library " + session.Files().MacroLibraryPath());
    session.Out() << "Imported " << request.strFile << (bNew ? " as the new macro " : " into macro ")
                  << request.strMacroName << ".\n";
    const std::string strKeys = KeysPlaying(request.strMacroName, session.m_profiles);
    if (!strKeys.empty())
        session.Out() << "It plays on " << strKeys << "; 'corvanectl apply' sends the new version "
                      << "to the keyboard.\n";
    return CtlExitOk;
}
