// corvanectl on the real system: hidapi, the system clock, the user's instance lock and the data
// folder the window uses.

#include <iostream>
#include <string>
#include <vector>

#include "ctl/CtlServices.h"
#include "platform/AppDirectory.h"
#include "platform/HidapiBackend.h"
#include "platform/InstanceLock.h"
#include "platform/SpawnLauncher.h"
#include "platform/SystemClock.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> vecArgs(argv + 1, argv + argc);
    CHidapiBackend hid;
    CSystemClock clock;
    CSpawnLauncher launcher;
    CInstanceLock lock;
    const CCtlServices services{
        ResolveAppDirectory(RunningProgramFolder()), hid, clock, launcher, lock, std::cout, std::cerr};
    const int nStatus = RunCorvaneCtl(vecArgs, services);
    std::cout.flush();
    return nStatus;
}
