#pragma once
// Replacing the program's data files without ever leaving a half-written or lost one behind:
// crash-safe writes, the clean-up of what a killed writer left, and a copy of a damaged file
// before defaults take its place.

#include <cstddef>
#include <string>
#include <vector>

// Writes the content to a temporary file "<name>.tmp-XXXXXX" beside the target, flushes it to
// disk, renames it over the target and syncs the folder, so neither a crash nor a power loss nor
// a full disk leaves a half-written file: on any failure the old file stays as it was and the
// result is false. A target that is a symbolic link stays a link: the file it points at is
// replaced. The writer holds a lock on its temporary until the rename, which is how
// RemoveStaleTemporaries tells a live writer's temporary from a dead one's.
bool WriteTextFileAtomic(const std::string& strPath, const std::string& strContent);

// While one exists, atomic writes on its thread that create a file (none stood under the name
// before) leave their syncs to it: it syncs those files and then each of their folders once, when
// Sync runs or it ends. Nothing saved before can be lost by the wait, and a start that writes the
// default files spends one folder sync on them instead of two syncs per file. Replacing an
// existing file still syncs at once. While one exists, another made on the same thread takes
// nothing: the first one syncs everything.
class CNewFileSyncBatch
{
public:
    CNewFileSyncBatch();
    ~CNewFileSyncBatch();
    CNewFileSyncBatch(const CNewFileSyncBatch&) = delete;
    CNewFileSyncBatch& operator=(const CNewFileSyncBatch&) = delete;

    void Sync();

private:
    friend bool WriteTextFileAtomic(const std::string& strPath, const std::string& strContent);
    std::vector<std::string> m_vecFiles;
    std::vector<std::string> m_vecFolders;
};

// Removes the temporaries that writers of strPath killed before their rename left behind; a
// temporary a live writer (in any process) still holds is left alone. Touches nothing but
// "<name>.tmp-XXXXXX" regular files beside the file strPath writes to. Returns how many went.
size_t RemoveStaleTemporaries(const std::string& strPath);

// How many copies of damaged files are kept beside each data file; older ones are removed.
constexpr size_t MaxDamagedCopies = 5;

// Called before a data file that could not be read is replaced by defaults: copies it to
// "<path>.damaged-<YYYYMMDD-HHMMSS>" beside it, keeping the newest MaxDamagedCopies copies of
// that file. True when there is nothing to keep (no file, an empty one) or the copy was made;
// false when the file is there but could not be copied, and then it must not be replaced.
bool KeepDamagedCopy(const std::string& strPath);
