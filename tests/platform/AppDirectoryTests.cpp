// Where the data files live, and that the data folder and the single-instance lock are each
// user's own. Checks that need a second user run in a child process that becomes "nobody".

#include "platform/AppDirectory.h"
#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr uid_t NobodyId = 65534;

class AppDirectoryTest : public ::testing::Test
{
protected:
    AppDirectoryTest()
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-appdir-XXXXXX").string();
        if (!::mkdtemp(strTemplate.data()))
            ADD_FAILURE() << "no temporary folder";
        m_strDir = strTemplate + "/";
        ::chmod(m_strDir.c_str(), 0755); // the second user must be able to look inside
        m_strPerUser = m_strDir + "xdg/corvane/";
    }
    ~AppDirectoryTest() override { std::filesystem::remove_all(m_strDir); }

    std::string Folder(const std::string& strName) const
    {
        std::filesystem::create_directories(m_strDir + strName);
        return m_strDir + strName + "/";
    }

    // fnCheck's text as seen by another user than the one running the tests ("nobody"), when
    // this process may become one; else as seen by this process. bOtherUser tells which.
    static std::string AsAnotherUser(const std::function<std::string()>& fnCheck, bool& bOtherUser)
    {
        bOtherUser = ::geteuid() == 0;
        if (!bOtherUser)
            return fnCheck();
        int arrPipe[2];
        if (::pipe(arrPipe) != 0)
            return "no pipe";
        const pid_t nChild = ::fork();
        if (nChild == 0)
        {
            ::close(arrPipe[0]);
            std::string strText = "could not become nobody";
            if (::setresgid(NobodyId, NobodyId, NobodyId) == 0 && ::setresuid(NobodyId, NobodyId, NobodyId) == 0)
                strText = fnCheck();
            (void)!::write(arrPipe[1], strText.data(), strText.size());
            ::_exit(0);
        }
        ::close(arrPipe[1]);
        std::string strText;
        char buffer[512];
        for (ssize_t n; (n = ::read(arrPipe[0], buffer, sizeof buffer)) > 0;)
            strText.append(buffer, static_cast<size_t>(n));
        ::close(arrPipe[0]);
        int nStatus = 0;
        ::waitpid(nChild, &nStatus, 0);
        return strText;
    }

    std::string m_strDir;
    std::string m_strPerUser;
};
} // namespace

// ---- Where the data files live ----------------------------------------------------------------

TEST_F(AppDirectoryTest, ABuildTreeOrAPortableCopyKeepsItsDataBesideTheProgram)
{
    const std::string strProgram = Folder("build/src/app");
    EXPECT_EQ(ChooseAppDirectory(strProgram, m_strPerUser), strProgram);
    std::filesystem::create_directory(strProgram + "config");
    EXPECT_EQ(ChooseAppDirectory(strProgram, m_strPerUser), strProgram);
    EXPECT_FALSE(std::filesystem::exists(m_strPerUser)); // choosing creates nothing
}

TEST_F(AppDirectoryTest, AnInstalledCopyKeepsItsDataPerUserUnlessItsDataIsBesideIt)
{
    const std::string strBin = Folder("prefix/bin");
    Folder("prefix/share/applications");
    std::ofstream(m_strDir + "prefix/share/applications/" + DesktopEntryId() + ".desktop") << "[Desktop Entry]\n";
    EXPECT_EQ(ChooseAppDirectory(strBin, m_strPerUser), m_strPerUser);
    // A copy someone keeps its data beside on purpose goes on using it.
    std::filesystem::create_directory(strBin + "config");
    EXPECT_EQ(ChooseAppDirectory(strBin, m_strPerUser), strBin);

    // Whatever its rights, a program in /usr never writes there.
    EXPECT_EQ(ChooseAppDirectory("/usr/bin", m_strPerUser), m_strPerUser);
    EXPECT_EQ(ChooseAppDirectory("/usr/local/bin/", m_strPerUser), m_strPerUser);
}

TEST_F(AppDirectoryTest, AProgramFolderItsUserCannotWriteKeepsTheDataPerUser)
{
    const std::string strProgram = Folder("opt/corvane");
    ::chmod(strProgram.c_str(), 0555);
    bool bOtherUser = false;
    const std::string strPerUser = m_strPerUser;
    EXPECT_EQ(AsAnotherUser([&] { return ChooseAppDirectory(strProgram, strPerUser); }, bOtherUser), m_strPerUser)
        << (bOtherUser ? "as nobody" : "as this user");
    ::chmod(strProgram.c_str(), 0755);
}

TEST_F(AppDirectoryTest, ThePerUserFolderFollowsXdgConfigHomeAndIsMadePrivate)
{
    EXPECT_EQ(PerUserAppDirectory("/data/cfg", "/home/ann"), "/data/cfg/corvane/");
    EXPECT_EQ(PerUserAppDirectory("relative/cfg", "/home/ann"), "/home/ann/.config/corvane/");
    EXPECT_EQ(PerUserAppDirectory("", "/home/ann/"), "/home/ann/.config/corvane/");

    const char* pOld = std::getenv("XDG_CONFIG_HOME");
    const std::string strOld = pOld ? pOld : "";
    ::setenv("XDG_CONFIG_HOME", (m_strDir + "xdg").c_str(), 1);
    EXPECT_EQ(ResolveAppDirectory("/usr/bin/"), m_strPerUser);
    struct stat info
    {
    };
    ASSERT_EQ(::stat(m_strPerUser.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    if (pOld)
        ::setenv("XDG_CONFIG_HOME", strOld.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

// ---- One lock per user -------------------------------------------------------------------------

TEST_F(AppDirectoryTest, AnotherUserRunsTheirOwnCopyWhileOneRuns)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as a second user needs root";
    // This user's runtime folder is one of the test's own, so no copy of the program running
    // here meanwhile holds the lock; the other user cannot write there and uses its own.
    const std::string strRuntime = Folder("run");
    const char* pOld = std::getenv("XDG_RUNTIME_DIR");
    const std::string strOld = pOld ? pOld : "";
    ::setenv("XDG_RUNTIME_DIR", strRuntime.c_str(), 1);
    CInstanceLock mine;
    ASSERT_TRUE(mine.Acquire());
    ASSERT_TRUE(mine.IsHeld());
    bool bOtherUser = false;
    const std::string strTheirs = AsAnotherUser(
        []
        {
            CInstanceLock theirs;
            return theirs.Acquire() && theirs.IsHeld() ? theirs.Path() : std::string("refused");
        },
        bOtherUser);
    EXPECT_NE(strTheirs, "refused");
    EXPECT_NE(strTheirs, mine.Path());
    EXPECT_EQ(mine.Path().rfind(strRuntime, 0), 0u);
    if (pOld)
        ::setenv("XDG_RUNTIME_DIR", strOld.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}
