// Load and save times of the data files, against the time to read the same bytes into memory.
// The counter "ratio" is load time / raw read time (target: at most 10).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "LibraryBuilder.h"
#include "storage/DataFiles.h"
#include "storage/MacroLibraryFile.h"
#include "storage/ProfileFile.h"

namespace
{

using Clock = std::chrono::steady_clock;

std::string MakeTempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
    if (!::mkdtemp(strTemplate.data()))
        std::abort();
    return strTemplate + "/";
}

// The plain cost of getting the file's bytes into memory: one sized buffer, read() calls.
std::string ReadBytes(const std::string& strPath)
{
    std::string strData;
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return strData;
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0)
    {
        strData.resize(static_cast<size_t>(st.st_size));
        size_t nDone = 0;
        while (nDone < strData.size())
        {
            const ssize_t n = ::read(fd, strData.data() + nDone, strData.size() - nDone);
            if (n <= 0)
                break;
            nDone += static_cast<size_t>(n);
        }
        strData.resize(nDone);
    }
    ::close(fd);
    return strData;
}

// Seconds per raw read of the files, best of several runs, so the ratio compares like with like.
double RawReadSeconds(const std::vector<std::string>& vecPaths)
{
    double dBest = 1e9;
    for (int n = 0; n < 50; ++n)
    {
        const auto start = Clock::now();
        for (const std::string& strPath : vecPaths)
            benchmark::DoNotOptimize(ReadBytes(strPath));
        dBest = std::min(dBest, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return dBest;
}

MacroLibrary BigLibrary()
{
    // One set of 1000 keys with 200 actions each: about 1.6 MB on disk.
    MacroLibrary library = MakeLibrary(1, 1000, MacroActionSlots, 42);
    return library;
}

void BM_MacroLibraryLoad(benchmark::State& state)
{
    const std::string strDir = MakeTempDir();
    const std::string strPath = strDir + "MacroLibraryFile.mlf";
    WriteMacroLibraryFile(strPath, BigLibrary());
    const double dRaw = RawReadSeconds({strPath});
    double dBest = 1e9;
    for (auto _ : state)
    {
        const auto start = Clock::now();
        MacroLibrary library;
        if (!ReadMacroLibraryFile(strPath, library))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(library);
        dBest = std::min(dBest, std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["ratio"] = dBest / dRaw;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(strPath));
    std::filesystem::remove_all(strDir);
}
BENCHMARK(BM_MacroLibraryLoad)->Unit(benchmark::kMillisecond);

void BM_MacroLibrarySave(benchmark::State& state)
{
    const std::string strDir = MakeTempDir();
    const MacroLibrary library = BigLibrary();
    for (auto _ : state)
        if (!WriteMacroLibraryFile(strDir + "MacroLibraryFile.mlf", library))
            state.SkipWithError("write failed");
    std::filesystem::remove_all(strDir);
}
BENCHMARK(BM_MacroLibrarySave)->Unit(benchmark::kMillisecond);

void BM_ProfilesLoad(benchmark::State& state)
{
    const std::string strDir = MakeTempDir();
    CDataFiles files(strDir);
    files.EnsureConfigDirectory();
    SettingsStore settings;
    settings.SetDefaults(strDir);
    ProfileStore store;
    std::vector<std::string> vecPaths;
    for (int n = 0; n < ProfileSlotCount; ++n)
    {
        store[n].SetFactoryDefaults(n);
        files.SaveProfile(n, store, settings);
        vecPaths.push_back(settings.GetSlotUrl(n));
    }
    const double dRaw = RawReadSeconds(vecPaths);
    double dBest = 1e9;
    for (auto _ : state)
    {
        const auto start = Clock::now();
        ProfileStore loaded;
        for (int n = 0; n < ProfileSlotCount; ++n)
            if (!LoadProfileSlot(n, loaded, settings))
                state.SkipWithError("read failed");
        benchmark::DoNotOptimize(loaded);
        dBest = std::min(dBest, std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["ratio"] = dBest / dRaw;
    std::filesystem::remove_all(strDir);
}
BENCHMARK(BM_ProfilesLoad)->Unit(benchmark::kMicrosecond);

void BM_ProfilesSave(benchmark::State& state)
{
    const std::string strDir = MakeTempDir();
    CDataFiles files(strDir);
    SettingsStore settings;
    settings.SetDefaults(strDir);
    ProfileStore store;
    for (int n = 0; n < ProfileSlotCount; ++n)
        store[n].SetFactoryDefaults(n);
    for (auto _ : state)
        if (!files.SaveAllProfiles(store, settings))
            state.SkipWithError("write failed");
    std::filesystem::remove_all(strDir);
}
BENCHMARK(BM_ProfilesSave)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
