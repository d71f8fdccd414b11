#pragma once
// The commands of corvanectl, each on an opened session; each returns the exit status.

#include <string>

#include "ctl/CtlArguments.h"

class CCtlSession;

int RunStatus(CCtlSession& session);
int RunProfile(CCtlSession& session, const CtlRequest& request);
int RunLighting(CCtlSession& session, const CtlRequest& request);
int RunApply(CCtlSession& session);
// Marks everything of profiles 1-3 as pending (lighting, key table, the macros their keys play)
// and applies: how the data files reach a connected keyboard. Prints strDone when all went well.
int SendSavedProfiles(CCtlSession& session, const std::string& strDone);
int RunReset(CCtlSession& session, const CtlRequest& request);

int RunMacros(CCtlSession& session);
int RunExportMacro(CCtlSession& session, const CtlRequest& request);
int RunImportMacro(CCtlSession& session, const CtlRequest& request);

int RunBackup(CCtlSession& session, const CtlRequest& request);
int RunRestore(CCtlSession& session, const CtlRequest& request);
