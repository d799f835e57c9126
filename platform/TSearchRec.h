// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Attribute bits of a folder entry, as Windows reports them.
constexpr int faReadOnly = 0x01;  // Linux: no write bit at all in the mode
constexpr int faHidden = 0x02;    // Linux: the name begins with "." (not "." and "..")
constexpr int faSysFile = 0x04;   // Linux: never
constexpr int faVolumeID = 0x08;  // never reported by a folder search
constexpr int faDirectory = 0x10; // a folder, or a link to one
constexpr int faArchive = 0x20;   // Linux: a regular file, a link to one, or a dangling link
// Linux: a FIFO, socket or device (or a link to one). Such an entry must not be opened as a file:
// opening a FIFO can wait for ever. The value is Windows' FILE_ATTRIBUTE_DEVICE.
constexpr int faDevice = 0x40;
constexpr int faAnyFile = 0x3F;

// The Windows error codes a search ends with.
constexpr int kErrorFileNotFound = 2; // no entry matches
constexpr int kErrorPathNotFound = 3; // the folder does not exist (or is no folder)
constexpr int kErrorAccessDenied = 5; // the folder cannot be listed
constexpr int kErrorNoMoreFiles = 18; // FindNext: the search is through

// What a folder listing tells of one version of an entry without a look at the file: on Linux the
// file's inode number, on Windows its size and last-write time. The same name listed again with an
// equal version is, as far as a listing can tell, the same unchanged file; a file renamed on Linux
// keeps its version.
struct TListedVersion {
    std::uint64_t file = 0;    // Linux: the inode number; Windows: 0
    std::int64_t size = 0;     // Windows: bytes of a file; Linux: 0
    std::int64_t modified = 0; // Windows: the last write in 100-ns ticks; Linux: 0

    bool operator==(const TListedVersion&) const = default;
};

// One folder search and the entry it found last. The search is closed by FindClose, and at the
// latest when the record is destroyed, so an exception between FindFirst and FindClose leaks
// nothing.
//
// Linux: the kind of an entry (folder, file, device) comes with the folder listing; the read-only
// bit and the size cost one more look at the file, taken only when Attr() or Size() is asked for
// (HasAttr without faReadOnly never takes it). Links and file systems that do not tell the kind in
// their listing are looked at while searching.
class TSearchRec {
public:
    std::string Name; // the entry's name as the file system has it (UTF-8)

    // fa... bits of the entry.
    int Attr() const;
    // True when the entry has any of bits.
    bool HasAttr(int bits) const;
    // Bytes of a file; 0 for anything else.
    std::int64_t Size() const;
    // The entry's version as the listing told it; never looks at the file.
    const TListedVersion& Listed() const { return m_listed; }

    TSearchRec() = default;
    ~TSearchRec();
    TSearchRec(const TSearchRec&) = delete;
    TSearchRec& operator=(const TSearchRec&) = delete;

private:
    friend int FindFirst(const std::string& path, int attr, TSearchRec& rec);
    friend int FindNext(TSearchRec& rec);
    friend void FindClose(TSearchRec& rec);
    friend struct TSearchFound;

    // Looks at the file for the read-only bit and the size, once per entry (Linux).
    void complete() const;

    void* m_handle = nullptr; // DIR* on Linux, the search HANDLE on Windows
    int m_excludeAttr = 0;
    std::string m_pattern;
    std::string m_folder; // the native folder (Linux), for a look after the search was closed
    mutable int m_attr = 0;
    mutable std::int64_t m_size = 0;
    mutable bool m_complete = true;
    TListedVersion m_listed;
};

// Starts a search of a folder. path is a Windows-style path whose last component is the name
// pattern ("C:\Games\Skarn\Vevozura\Baja\*.*"); the folder is resolved through NativePath. Entries
// come in the file system's order, "." and ".." included. attr is the attribute mask: an entry
// with faHidden, faSysFile, faVolumeID or faDirectory is found only when attr holds that bit; the
// other bits never exclude an entry.
// Returns 0 with rec holding the first entry and the search open, or a Windows error code
// (kErrorFileNotFound, kErrorPathNotFound, ...) with no search open.
// Linux: "*" and "*.*" match every name; other patterns match with "*" and "?" wildcards, letters
// compared without regard to case as FoldedName folds them (no 8.3 short names and none of Windows'
// other pattern rules).
int FindFirst(const std::string& path, int attr, TSearchRec& rec);

// The next entry of the search: 0 with rec holding it, or kErrorNoMoreFiles (or another error
// code) when there is none. The search stays open until FindClose.
int FindNext(TSearchRec& rec);

// Ends the search of rec; nothing when none is open. Name, Attr() and Size() keep their values.
void FindClose(TSearchRec& rec);
