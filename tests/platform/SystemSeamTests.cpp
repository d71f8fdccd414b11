#include "platform/InstanceLock.h"
#include "platform/ShowRequestChannel.h"
#include "platform/SpawnLauncher.h"
#include "platform/UdevHotplugMonitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
std::string MakeTempFolder()
{
    std::string strTemplate = ::testing::TempDir() + "corvane_platform_XXXXXX";
    char* pFolder = mkdtemp(strTemplate.data());
    return pFolder ? std::string(pFolder) : std::string();
}

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath);
    std::stringstream stream;
    stream << file.rdbuf();
    return stream.str();
}

bool WaitFor(const std::function<bool()>& fnCondition, int nMs = 5000)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (fnCondition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fnCondition();
}

void WriteScript(const std::string& strPath, const std::string& strBody)
{
    std::ofstream(strPath) << "#!/bin/sh\n" << strBody << "\n";
    chmod(strPath.c_str(), 0755);
}
} // namespace

// ---- Single-instance lock ----

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstIsGone)
{
    std::string strFolder = MakeTempFolder();
    ASSERT_FALSE(strFolder.empty());
    {
        CInstanceLock first(strFolder);
        ASSERT_TRUE(first.Acquire());
        EXPECT_TRUE(first.IsHeld());
        EXPECT_TRUE(first.Acquire()); // asking again keeps it
        CInstanceLock second(strFolder);
        EXPECT_FALSE(second.Acquire());
        EXPECT_FALSE(second.IsHeld());
    }
    CInstanceLock third(strFolder);
    EXPECT_TRUE(third.Acquire());
}

TEST(InstanceLock, AKilledHolderReleasesTheLock)
{
    std::string strFolder = MakeTempFolder();
    int arrPipe[2];
    ASSERT_EQ(pipe(arrPipe), 0);
    pid_t nChild = fork();
    ASSERT_GE(nChild, 0);
    if (nChild == 0)
    {
        CInstanceLock lock(strFolder);
        char nByte = lock.Acquire() ? 'y' : 'n';
        ssize_t nWritten = write(arrPipe[1], &nByte, 1);
        (void)nWritten;
        pause();
        _exit(0);
    }
    char nByte = 0;
    ASSERT_EQ(read(arrPipe[0], &nByte, 1), 1);
    EXPECT_EQ(nByte, 'y');
    CInstanceLock mine(strFolder);
    EXPECT_FALSE(mine.Acquire());
    kill(nChild, SIGKILL);
    waitpid(nChild, nullptr, 0);
    EXPECT_TRUE(mine.Acquire());
    close(arrPipe[0]);
    close(arrPipe[1]);
}

TEST(ShowRequestChannel, ADeadCopysSocketIsReplacedAndOnlyAShowLineReachesTheListener)
{
    const std::string strFolder = MakeTempFolder();
    const std::string strPath = strFolder + "/" + CShowRequestChannel::kSocketName;
    EXPECT_FALSE(CShowRequestChannel::SendShowRequest(strFolder)); // nobody listens

    // A copy killed while listening leaves its socket behind.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", strPath.c_str());
    const int nDead = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(nDead, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(nDead);
    {
        CShowRequestChannel channel(strFolder);
        ASSERT_TRUE(channel.Listen());
        EXPECT_FALSE(channel.TakeRequests());
        ASSERT_TRUE(CShowRequestChannel::SendShowRequest(strFolder));
        ASSERT_TRUE(CShowRequestChannel::SendShowRequest(strFolder));
        EXPECT_TRUE(channel.TakeRequests()); // both at once
        EXPECT_FALSE(channel.TakeRequests());
        // Anything else, or nothing at all, is no request.
        for (const char* pszLine : {"hide\n", ""})
        {
            const int nFd = socket(AF_UNIX, SOCK_STREAM, 0);
            ASSERT_EQ(connect(nFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            EXPECT_EQ(write(nFd, pszLine, std::strlen(pszLine)), static_cast<ssize_t>(std::strlen(pszLine)));
            close(nFd);
            EXPECT_FALSE(channel.TakeRequests()) << pszLine;
        }
    }
    // The channel takes its socket with it; a file of that name that is not a socket stays.
    EXPECT_FALSE(CShowRequestChannel::SendShowRequest(strFolder));
    std::ofstream(strPath) << "a user's file";
    CShowRequestChannel channel(strFolder);
    EXPECT_FALSE(channel.Listen());
    std::ifstream in(strPath);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a user's file");
}

TEST(InstanceLock, AnUnusableFolderDoesNotStopTheProgram)
{
    CInstanceLock lock("/nonexistent/folder/for/corvane");
    EXPECT_TRUE(lock.Acquire());
    EXPECT_FALSE(lock.IsHeld());
}

TEST(InstanceLock, DefaultFolderFollowsTheRuntimeFolder)
{
    std::string strFolder = MakeTempFolder();
    const char* pOld = std::getenv("XDG_RUNTIME_DIR");
    std::string strOld = pOld ? pOld : "";
    setenv("XDG_RUNTIME_DIR", strFolder.c_str(), 1);
    EXPECT_EQ(CInstanceLock::DefaultFolder(), strFolder);
    setenv("XDG_RUNTIME_DIR", "relative/path", 1);
    EXPECT_EQ(CInstanceLock::DefaultFolder(), "/tmp/corvane-" + std::to_string(getuid()));
    if (pOld)
        setenv("XDG_RUNTIME_DIR", strOld.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

// ---- Program launcher ----

TEST(SpawnLauncher, StartsThePathAloneWithoutShellOrArguments)
{
    std::string strFolder = MakeTempFolder();
    std::string strProgram = strFolder + "/my program; touch injected";
    std::string strMarker = strFolder + "/marker";
    WriteScript(strProgram, "echo \"$#\" > '" + strMarker + "'");
    CSpawnLauncher launcher;
    ASSERT_TRUE(launcher.Launch(strProgram));
    ASSERT_TRUE(WaitFor([&] { return ReadFile(strMarker) == "0\n"; }));
    struct stat info
    {
    };
    EXPECT_NE(stat((strFolder + "/injected").c_str(), &info), 0);
    EXPECT_NE(stat("injected", &info), 0);
}

TEST(SpawnLauncher, EmptyOrMissingPathsReturnFalse)
{
    std::string strFolder = MakeTempFolder();
    CSpawnLauncher launcher;
    EXPECT_FALSE(launcher.Launch(""));
    EXPECT_FALSE(launcher.Launch(strFolder + "/missing"));
    EXPECT_FALSE(launcher.Launch(std::string("/bin/sh\0x", 9)));
    EXPECT_EQ(launcher.LastChildPid(), 0);
}

TEST(SpawnLauncher, OtherFilesGoToTheDesktopOpenerAsItsOnlyArgument)
{
    // A stand-in opener first on PATH writes each argument it got on a line of its own.
    std::string strFolder = MakeTempFolder();
    std::string strBin = strFolder + "/bin";
    ASSERT_EQ(mkdir(strBin.c_str(), 0755), 0);
    std::string strLog = strFolder + "/opened";
    WriteScript(strBin + "/xdg-open", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + strLog + ".tmp'; mv '" +
                                          strLog + ".tmp' '" + strLog + "'");
    const char* pOldPath = std::getenv("PATH");
    const std::string strOldPath = pOldPath ? pOldPath : "";
    setenv("PATH", (strBin + ":" + strOldPath).c_str(), 1);

    std::string strDocument =
        strFolder + "/my notes; touch injected `touch injected` $(touch injected) 'q' \"x\" & | > *.txt";
    std::ofstream(strDocument) << "text";
    std::string strLooksExecutable = strFolder + "/report.pdf"; // a document with the execute bit set
    std::ofstream(strLooksExecutable) << "%PDF-1.4";
    chmod(strLooksExecutable.c_str(), 0755);
    CSpawnLauncher launcher;
    for (const std::string& strPath : {strDocument, strFolder, strLooksExecutable})
    {
        unlink(strLog.c_str());
        ASSERT_TRUE(launcher.Launch(strPath)) << strPath;
        ASSERT_TRUE(WaitFor([&] { return !ReadFile(strLog).empty(); })) << strPath;
        EXPECT_EQ(ReadFile(strLog), strPath + "\n");
    }
    struct stat info
    {
    };
    EXPECT_NE(stat((strFolder + "/injected").c_str(), &info), 0);
    EXPECT_NE(stat("injected", &info), 0);
    setenv("PATH", strOldPath.c_str(), 1);

    // Without an opener the file cannot be opened, and the caller hears so.
    setenv("PATH", strFolder.c_str(), 1);
    EXPECT_FALSE(launcher.Launch(strDocument));
    setenv("PATH", strOldPath.c_str(), 1);
}

TEST(SpawnLauncher, LeavesNoZombieAndDoesNotPassTheInstanceLockOn)
{
    std::string strFolder = MakeTempFolder();
    CInstanceLock lock(strFolder);
    ASSERT_TRUE(lock.Acquire());
    std::string strProgram = strFolder + "/child";
    std::string strMarker = strFolder + "/fds";
    WriteScript(strProgram,
                "ls -l /proc/$$/fd > '" + strMarker + ".tmp'; mv '" + strMarker + ".tmp' '" + strMarker + "'");
    CSpawnLauncher launcher;
    ASSERT_TRUE(launcher.Launch(strProgram));
    pid_t nPid = launcher.LastChildPid();
    ASSERT_GT(nPid, 0);
    ASSERT_TRUE(WaitFor([&] { return !ReadFile(strMarker).empty(); }));
    EXPECT_EQ(ReadFile(strMarker).find("Quelmar"), std::string::npos);
    // Reaped: the process entry disappears instead of staying a zombie.
    std::string strProc = "/proc/" + std::to_string(nPid);
    EXPECT_TRUE(WaitFor(
        [&]
        {
            struct stat info
            {
            };
            return stat(strProc.c_str(), &info) != 0;
        }));
}

// ---- Hot-plug monitor ----

TEST(UdevHotplugMonitor, DrainingWithNothingPendingReturnsAtOnce)
{
    CUdevHotplugMonitor monitor;
    if (!monitor.IsValid())
        GTEST_SKIP() << "no udev netlink socket in this environment";
    EXPECT_GE(monitor.Fd(), 0);
    int nCalls = 0;
    auto start = std::chrono::steady_clock::now();
    int nDrained = monitor.DrainEvents([&](const HotplugEvent&) { ++nCalls; });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(nDrained, nCalls);
}
