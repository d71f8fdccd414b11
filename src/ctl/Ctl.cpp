#include "ctl/CtlAutostart.h"
#include "ctl/CtlCommands.h"
#include "ctl/CtlHelp.h"
#include "ctl/CtlServices.h"
#include "ctl/CtlSession.h"

#ifndef CORVANE_VERSION
#error "CORVANE_VERSION is the project's version"
#endif

int RunCorvaneCtl(const std::vector<std::string>& vecArgs, const CCtlServices& services)
{
    CtlRequest request;
    std::string strError;
    if (!ParseCtlArguments(vecArgs, request, strError))
    {
        services.m_err << "corvanectl: " << strError << "\nTry 'corvanectl --help'.\n";
        return CtlExitUsage;
    }
    if (request.eKind == CtlRequest::EKind::Help)
    {
        services.m_out << CtlHelpText();
        return CtlExitOk;
    }
    if (request.eKind == CtlRequest::EKind::Version)
    {
        services.m_out << "corvanectl " << CORVANE_VERSION << '\n';
        return CtlExitOk;
    }

    // The autostart entry is neither a data file nor the keyboard: no lock, no reading.
    if (request.eCommand == ECtlCommand::Autostart)
        return RunAutostart(request, services);

    CCtlSession session(services);
    if (!session.Open())
        return CtlExitFailure;
    switch (request.eCommand)
    {
    case ECtlCommand::Status: return RunStatus(session);
    case ECtlCommand::Profile: return RunProfile(session, request);
    case ECtlCommand::Lighting: return RunLighting(session, request);
    case ECtlCommand::Apply: return RunApply(session);
    case ECtlCommand::Reset: return RunReset(session, request);
    case ECtlCommand::Macros: return RunMacros(session);
    case ECtlCommand::ExportMacro: return RunExportMacro(session, request);
    case ECtlCommand::ImportMacro: return RunImportMacro(session, request);
    case ECtlCommand::Backup: return RunBackup(session, request);
    case ECtlCommand::Restore: return RunRestore(session, request);
    case ECtlCommand::Autostart: break; // above
    }
    return CtlExitFailure;
}
