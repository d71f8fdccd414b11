#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/TextFile.h"

namespace
{

using TextFileTest = TempDirTest;

TEST_F(TextFileTest, LinesEndAtLfWithOrWithoutCr)
{
    WriteRaw(Path("t"), "a\r\nb\n\r\nlast");
    std::vector<std::string> vecLines;
    ASSERT_TRUE(ReadTextLines(Path("t"), vecLines));
    EXPECT_EQ(vecLines, (std::vector<std::string>{"a", "b", "", "last"}));
    WriteRaw(Path("t"), "only\r\n");
    ASSERT_TRUE(ReadTextLines(Path("t"), vecLines));
    EXPECT_EQ(vecLines, (std::vector<std::string>{"only"}));
    WriteRaw(Path("t"), "");
    ASSERT_TRUE(ReadTextLines(Path("t"), vecLines));
    EXPECT_TRUE(vecLines.empty());
    EXPECT_FALSE(ReadTextLines(Path("nope"), vecLines));
    EXPECT_FALSE(ReadTextLines(m_strDir, vecLines)); // a folder is not a file
    // Nor is a FIFO named as a data file, and reading it must not wait for a writer.
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadTextLines(Path("fifo"), vecLines));
    EXPECT_FALSE(KeepDamagedCopy(Path("fifo"))); // cannot be kept, so it is not replaced either
}

TEST_F(TextFileTest, HexGroups)
{
    EXPECT_EQ(ParseHexGroup("1F", 0, 2), 0x1Fu);
    EXPECT_EQ(ParseHexGroup("3Z", 0, 2), 0x3u);
    EXPECT_EQ(ParseHexGroup("Z3", 0, 2), 0u);
    EXPECT_EQ(ParseHexGroup("ab", 1, 2), 0xBu);
    EXPECT_EQ(ParseHexGroup("ab", 5, 2), 0u);
    std::string s;
    AppendHexByte(s, 0x0A);
    AppendHexByte(s, 0xFF);
    EXPECT_EQ(s, "0AFF");
}

TEST_F(TextFileTest, WriteReplacesTheFileAndLeavesNoTemporaries)
{
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "one"));
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "two"));
    EXPECT_EQ(ReadRaw(Path("f")), "two");
    size_t nFiles = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_strDir))
        ++nFiles;
    EXPECT_EQ(nFiles, 1u);
}

TEST_F(TextFileTest, WritesWhoseSyncsWaitForABatchStillLandWholeAndReplaceAsUsual)
{
    ASSERT_TRUE(WriteTextFileAtomic(Path("old"), "saved"));
    {
        CNewFileSyncBatch batch;
        CNewFileSyncBatch inner; // takes nothing; ends first
        ASSERT_TRUE(WriteTextFileAtomic(Path("new"), "default"));
        ASSERT_TRUE(WriteTextFileAtomic(Path("old"), "replaced"));
        EXPECT_EQ(ReadRaw(Path("new")), "default");
    }
    // A later batch on this thread works as the first did.
    CNewFileSyncBatch batch;
    ASSERT_TRUE(WriteTextFileAtomic(Path("new2"), "x"));
    EXPECT_EQ(ReadRaw(Path("old")), "replaced");
    EXPECT_EQ(ReadRaw(Path("new2")), "x");
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFile)
{
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "precious"));
    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(WriteTextFileAtomic(Path("missing/f"), "x"));
    EXPECT_FALSE(WriteTextFileAtomic("", "x"));

    // A disk that fills up in the middle of the write: the file-size limit makes the write
    // fail part-way, as a full disk would.
    struct sigaction ignore
    {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool bWritten = WriteTextFileAtomic(Path("f"), std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_FALSE(bWritten);
    EXPECT_EQ(ReadRaw(Path("f")), "precious");
    size_t nFiles = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_strDir))
        ++nFiles;
    EXPECT_EQ(nFiles, 1u) << "the temporary file was not removed";
}

TEST_F(TextFileTest, ReadOnlyFolderKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "precious"));
    ::chmod(m_strDir.c_str(), 0555);
    EXPECT_FALSE(WriteTextFileAtomic(Path("f"), "new"));
    ::chmod(m_strDir.c_str(), 0755);
    EXPECT_EQ(ReadRaw(Path("f")), "precious");
}

TEST_F(TextFileTest, OnlyTemporariesOfDeadWritersAreCleanedUp)
{
    WriteRaw(Path("f"), "data");
    WriteRaw(Path("f.tmp-AbC123"), "left by a killed save");
    WriteRaw(Path("f.tmp-XyZ789"), "a save still running");
    const int fdLive = ::open(Path("f.tmp-XyZ789").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fdLive, LOCK_EX), 0); // as a live writer holds its temporary
    for (const char* pOther : {"g.tmp-AbC123", "f.tmp-AbC12", "f.tmp-AbC1234", "f.tmp-AbC12!", "f.damaged-1"})
        WriteRaw(Path(pOther), "not ours to remove");

    EXPECT_EQ(RemoveStaleTemporaries(Path("f")), 1u);
    EXPECT_FALSE(Exists(Path("f.tmp-AbC123")));
    EXPECT_TRUE(Exists(Path("f.tmp-XyZ789")));
    for (const char* pOther : {"g.tmp-AbC123", "f.tmp-AbC12", "f.tmp-AbC1234", "f.tmp-AbC12!", "f.damaged-1"})
        EXPECT_TRUE(Exists(Path(pOther))) << pOther;
    EXPECT_EQ(ReadRaw(Path("f")), "data");
    ::close(fdLive);
    EXPECT_EQ(RemoveStaleTemporaries(Path("f")), 1u); // its writer is gone now
}

TEST_F(TextFileTest, ASymbolicLinkStaysALinkAndItsFileIsReplaced)
{
    std::filesystem::create_directory(Path("real"));
    WriteRaw(Path("real/data"), "old");
    std::filesystem::create_symlink("real/data", Path("link"));
    std::filesystem::create_symlink("link", Path("link2")); // a link to the link
    ASSERT_TRUE(WriteTextFileAtomic(Path("link2"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link")));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link2")));
    EXPECT_EQ(ReadRaw(Path("real/data")), "new");
    // The temporary lived beside the file it replaced and is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("real")), {}), 1);
    // A link whose file does not exist yet gets it.
    std::filesystem::create_symlink(Path("real/later"), Path("dangling"));
    ASSERT_TRUE(WriteTextFileAtomic(Path("dangling"), "made"));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("dangling")));
    EXPECT_EQ(ReadRaw(Path("real/later")), "made");
}

TEST_F(TextFileTest, PermissionsOfTheReplacedFileAreKept)
{
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "a"));
    ::chmod(Path("f").c_str(), 0600);
    ASSERT_TRUE(WriteTextFileAtomic(Path("f"), "b"));
    struct stat st
    {
    };
    ASSERT_EQ(::stat(Path("f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

} // namespace
