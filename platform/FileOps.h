// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileError.h"
#include "platform/TFolderNames.h"
#include "platform/TFolderRenamer.h"

// Renaming, deleting and copying files with the guarantees of the Windows file system and a few more.
// Paths are Windows-style paths as the program builds them, or native paths as file dialogs return
// them; on Linux both are resolved through NativePath. Messages carry the paths as the caller gave
// them.

#ifdef DeleteFile
// <windows.h> maps DeleteFile to DeleteFileW; ours takes the program's UTF-8 text instead.
#undef DeleteFile
#endif

// Renames the file from to the name to, in the same or another folder of the same volume. Returns
// why it failed, changing nothing: the name taken (IsNameTaken) when to names an existing file, also
// one whose name differs only in letter case; a missing file (IsFileMissing) when from does not exist;
// or what the file system said when it refused. Never replaces a file. A
// rename that only changes the letter case of the file's own name works (through a unique temporary
// name where the file system needs it), and renaming a file to exactly its own name succeeds and
// changes nothing, as Windows' MoveFile does.
TFileError RenameFile(const std::string& from, const std::string& to);

#ifndef _WIN32
// Renames the native path from to the native path to, never replacing a file that has the name to, also
// on file systems that cannot rename without replacing. The system's reason when it fails: EEXIST when
// to is taken.
TFileError RenameNativeNoReplace(const std::string& from, const std::string& to);
#endif

// Deletes the file path. Returns why it failed, changing nothing, when it is missing (IsFileMissing), is
// a folder or the file system refuses.
TFileError DeleteFile(const std::string& path);

// One version of one file: the file itself (device and inode, or volume and file ID) and its size
// and last-write time. A file replaced under the same name, or written to, has another stamp.
struct TFileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0; // nanoseconds on Linux, 100-ns ticks on Windows

    bool SameFile(const TFileStamp& other) const { return device == other.device && file == other.file; }
    bool operator==(const TFileStamp&) const = default;
};

// What a completed copy saw and made.
struct TCopyResult {
    TFileStamp source; // the source as it was opened, and as it still was when the copy ended
    TFileStamp copy;   // the file now at the destination
};

// Copies the file source to destination, replacing destination when it exists. The bytes go into a
// temporary file in the destination's folder (unnamed where the file system allows), which is flushed
// to disk and only then put in place of the destination; when this returns, the copy is complete and
// on disk.
// Throws EFOpenError ("Cannot open file <source>") when source cannot be opened or is no regular file;
// EFCreateError ("Cannot create file <destination>") when the destination cannot be created or
// replaced, also when it is the source itself under any spelling of its path or a hard link to it,
// or one of the files in keep (the copies an operation made earlier);
// EReadError ("Stream read error") when source delivers fewer bytes than it held when opened;
// EFileChanged when source was written to while it was copied;
// EWriteError ("Stream write error") when writing or flushing the copy fails (a full disk).
// On every failure an existing destination is left as it was, source is untouched and no temporary
// file stays behind.
TCopyResult CopyFileReplacing(const std::string& source, const std::string& destination,
                              const std::vector<TFileStamp>& keep = {});

struct TCopyFaults;

// Where the bytes of a copy come from when they are no file of their own, such as an entry of a
// downloaded archive.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Delivers the next bytes into buffer, at most capacity of them: how many, 0 at the end. Throws when
    // the bytes cannot be had (a damaged entry, a read error, a limit passed).
    virtual std::size_t Read(unsigned char* buffer, std::size_t capacity) = 0;
};

// One copy of CopyFileReplacing taken in its three steps, so that an operation copying many files
// flushes the disk once for all of them: every copy is written (the constructor), then every copy is
// flushed (Flush), then each is put in place (Place) and the folders are flushed (FlushFolder).
// Until Place the destination is untouched; a copy that is never placed leaves nothing behind.
class TPendingCopy {
public:
    // Copies the bytes of source into a new temporary file in destination's folder and starts writing
    // them to disk. Throws as CopyFileReplacing does, except for a failed flush, with keep as there.
    TPendingCopy(const std::string& source, const std::string& destination,
                 const std::vector<TFileStamp>& keep = {});
    // The same with failures injected (CopyFaults.h), and with the destination resolved by the caller
    // (nativeDestination: what NativePath(destination) gives; empty to resolve it here).
    TPendingCopy(const std::string& source, const std::string& destination,
                 const std::vector<TFileStamp>& keep, const TCopyFaults& faults,
                 std::string nativeDestination = {});
    // Writes the bytes of source, up to its end, into a new temporary file in destination's folder, with
    // the destination's checks of the constructors above and keep as there. Throws EFCreateError and
    // EWriteError as they do, and whatever source.Read throws; a copy that fails leaves nothing behind.
    // Its result's source stamp names no file, with the number of bytes written as its size.
    TPendingCopy(TByteSource& source, const std::string& destination, const std::vector<TFileStamp>& keep,
                 std::string nativeDestination = {});
    ~TPendingCopy();
    TPendingCopy(TPendingCopy&&) noexcept;
    TPendingCopy& operator=(TPendingCopy&&) noexcept;

    // Waits until the copy is on disk. Throws EWriteError when the disk refuses (a full disk).
    void Flush();
    // Puts the flushed copy in place of its destination, replacing a file there. The checks of the
    // constructor are made again against what has the destination's name now, with keep holding also
    // the copies placed since: throws EFCreateError, with the destination untouched. resolvedAgain,
    // when given, is the destination resolved anew, as a copy placed meanwhile may have taken its name
    // in another letter case; empty: as it was resolved when the copy began. The rename is durable once
    // the destination's folder is flushed.
    TCopyResult Place(const std::vector<TFileStamp>& keep, const std::string& resolvedAgain = {});

    const std::string& Destination() const;
    // The size of the copy in bytes.
    std::int64_t Size() const;

private:
    struct TState;
    std::unique_ptr<TState> m_state;

    // The temporary file of a copy of source to destination, once the destination has passed its checks.
    static std::unique_ptr<TState> start(const std::string& destination, std::string nativeDestination,
                                         const TFileStamp& source, const std::vector<TFileStamp>& keep);
};

// Makes the renames into the folder of path (a file's path, Windows-style or native) durable. Best
// effort, since not every file system can flush a folder; nothing to do on Windows, where the renames
// are written through.
void FlushFolderOf(const std::string& path);

enum class TDeleteResult {
    Deleted, // the file was deleted
    Changed, // another file has the name now, or the file was written to: it stays
    Failed,  // the file system refused (a read-only mount, an immutable file, no rights), or the file is
             // gone from its name (renamed away meanwhile): it was not deleted
};

// What became of a deletion, and why it failed: the system's error for Failed.
struct TDeletion {
    TDeleteResult Result = TDeleteResult::Failed;
    TFileError Error;
};

// Deletes the file path when it is still the file stamp describes, unchanged. The file is never
// deleted when it was replaced or written to since the stamp was taken, nor is a file put in place
// under its name while this runs: on Linux the file is first renamed to a private name, checked
// through an open handle and removed under that name (and renamed back when it changed); on Windows
// the check and the deletion go through one handle.
TDeletion DeleteFileIfUnchanged(const std::string& path, const TFileStamp& stamp);

// Removes what an earlier run of the program left in folder when it was killed: copies that never
// reached their destination are deleted (they are copies: their source still exists), and a track
// left under a temporary name (halfway through a letter-case change, or set aside by a move) gets its
// name, when no other file has it. Only temporaries whose names carry the proof that the program made
// them are touched: a look-alike is left as it is. Temporaries that another running copy of the
// program is still using stay. Best effort: never fails.
void TidyFolder(const std::string& folder);

// The prefix of every temporary file name the program uses: "~tm-".
extern const char* const TemporaryNamePrefix;
