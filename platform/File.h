#pragma once

// Files by their paths, which are UTF-8 bytes on every platform: reading one without waiting for
// another process, replacing one whole so that no reader sees part of it, and a lock that
// processes share.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// One file opened for reading; closed when the object goes.
class CInputFile {
public:
    CInputFile();
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // Opens path for reading; others may go on writing, renaming or deleting the file meanwhile.
    // Opening never waits for another process: a named pipe that no one writes to opens at once
    // and reads as empty. A folder is refused. False, with the system's reason in *pReason
    // (optional), when the file cannot be opened for reading.
    bool Open(const std::string& path, std::string* pReason = nullptr);
    bool IsOpen() const { return m_pImpl != nullptr; }
    void Close();
    const std::string& GetPath() const { return m_path; }
    // The size of a regular file; 0 for pipes and devices. Only a hint: reading goes on to the
    // end.
    std::uint64_t GetSizeHint() const { return m_sizeHint; }
    // Reads up to n bytes into p and sets got, which is 0 at the end of the file. False, with the
    // system's reason in *pReason, on a read error.
    bool Read(char* p, std::size_t n, std::size_t& got, std::string* pReason);

private:
    // The platform's half of Open: the system's handle, and the size hint.
    bool OpenHandle(std::string* pReason);

    struct Impl;  // the system's handle
    std::unique_ptr<Impl> m_pImpl;
    std::string m_path;
    std::uint64_t m_sizeHint = 0;
};

// The path as an absolute one, taken against the current folder now, so that it keeps naming the
// same file after the folder changes. An absolute path comes back as it is (on Windows, in the
// system's full form), an empty one stays empty, and the file need not exist.
std::string AbsolutePath(const std::string& path);

// Whether path names nothing: it, or a folder on the way to it, does not exist.
bool IsMissing(const std::string& path);

// What a path named at one moment. Two stamps of the same path differ when the file was written
// (its size or its last write time moved) or replaced by another file (a rename over it), which
// has another identity on its volume.
struct CFileStamp {
    bool bExists = false;       // something is there (the rest is zero when not)
    bool bFolder = false;       // and it is a folder
    std::uint64_t size = 0;     // in bytes
    std::int64_t modified = 0;  // the last write time, in the system's finest unit
    std::uint64_t volume = 0;   // the identity: the volume, and the file on it
    std::uint64_t index = 0;

    bool operator==(const CFileStamp&) const = default;
};

// The stamp of what path names now (following a symbolic link to its file); never fails: a path
// that names nothing reachable has a stamp that says so.
CFileStamp GetFileStamp(const std::string& path);

// Renames a file; false when from is missing or to exists already.
bool RenameFile(const std::string& from, const std::string& to);

// Writes bytes to a new file beside path, flushes it to the disk and renames it over path, so a
// reader sees the old file or the new one, never part of one. The new file is named after path,
// a dot and six letters or digits. False when a step fails; the new file is then gone again.
// The new file is the user's alone unless bShared is set: then it keeps the permissions of the
// file it replaces, or for a new file those the user gives new files (on POSIX, 0666 less the
// umask). Windows gives it its folder's either way.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, bool bShared = false);

// Removes the new files that writers killed during ReplaceFileContents left beside path. Only a
// process that holds the lock guarding path may call it.
void RemoveAbandonedReplacements(const std::string& path);

// The path that UTF-8 bytes name, for the standard library's file system calls.
std::filesystem::path PathFromUtf8(std::string_view path);

// An exclusive lock that processes take on one file (created if missing). It is released when the
// object goes, and with its process: a process that dies never blocks the others.
class CFileLock {
public:
    enum Attempt { Taken, Busy, Failed };

    explicit CFileLock(const std::string& path);
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Takes the lock unless another process holds it (Busy); Failed when the file cannot be
    // opened or locked at all.
    Attempt TryLock();

private:
    struct Impl;  // the lock file's handle
    std::unique_ptr<Impl> m_pImpl;
};
