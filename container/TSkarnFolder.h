// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/TEntryReader.h"
#include "container/TVirtualFolder.h"

class TDirectoryReader;

// The game's container file: a directory of named entries followed by their bytes, plain
// ("RS2\0" at offset 0) or scrambled (any other first four bytes; the body starts at offset 4).
//
// NOTE: in a scrambled container the body header and the whole directory are one running-key stream
// started at KeySeed; each entry's bytes are a stream of their own, started at KeySeed again.
//
// The reader never trusts the directory:
//   - a file shorter than its header reads as a container without entries (Kind 0);
//   - the directory ends at the last whole record: at the end of the file, at a name length below 0
//     or above 81, or when the count runs out, whichever comes first (so an entry count larger than
//     the records that follow lists the records there are);
//   - a name without a zero byte among its bytes takes all of them;
//   - an entry whose range reaches past the end of the file is cut at the end of the file, and one
//     that starts outside the file (Offset below 0 or beyond the end) has Length 0: no entry can
//     make the reader allocate more than the file holds;
//   - an entry that the file no longer holds in full when it is loaded (the file shrank since the
//     directory was read) is filled up with zero bytes.
class TSkarnFolder : public TVirtualFolder {
public:
    static constexpr int KindUnknown = 0;
    static constexpr int KindRes = 1;
    static constexpr int KindRs2 = 2;

    // Opens fileName, reads its directory and closes the file again. Unless dirOnly is true every
    // entry's bytes are loaded too (as stored, not descrambled). Throws EFOpenError when the file
    // cannot be opened and EOutOfMemory when memory runs out; a damaged directory is no error.
    TSkarnFolder(const std::string& fileName, bool dirOnly);

    // For a caller that reads the directory and then at once one or two entries (the catalogue):
    // the file stays open after the directory was read, loads use that handle instead of opening the
    // file again, and it closes with CloseFile or when the folder is freed. An entry that lies inside
    // the first block of the file, read with the directory, is loaded from that block without a read.
    // listedAsFile: a folder listing has just shown the file as a regular file; it is opened without
    // a check, and a file shorter than the first block gets its size from that read alone.
    struct KeepOpen {
        bool listedAsFile = false;
    };
    TSkarnFolder(const std::string& fileName, bool dirOnly, KeepOpen);
    void CloseFile();

    ~TSkarnFolder() override;

    int Kind() const { return m_kind; }
    std::uint8_t KeySeed() const { return m_keySeed; }
    bool Scrambled() const { return m_scrambled; }

    void ReadDirectory(bool dirOnly) override;
    // The base version, then the entry's bytes copied into the buffer (at most as many as it holds);
    // an entry whose bytes are not in memory copies nothing.
    bool CopyEntry(std::vector<std::uint8_t>& buffer, int index) override;
    bool AddFromStream(const std::string& name, TStream& source) override;

    // Reads the entry's bytes as stored into a new buffer (through an entry reader, so what the file no
    // longer holds reads as zero bytes), reopening the file when it is closed (and closing it again
    // afterwards), then descrambles them when descramble is true. A bad index or a
    // Length of 0 or less reads nothing. Throws EFOpenError when the file cannot be reopened; the
    // entry then stays without bytes.
    virtual void LoadEntry(int index, bool descramble = false);

    // A reader of the entry's bytes, descrambled as EntryData gives them, that reads the file only as
    // far as its caller takes them (the entry is not loaded). A bad index gives a reader of 0 bytes.
    TEntryReader OpenEntry(int index);
    // The same, but every byte of the entry runs through the running key started at key, whatever the
    // container's variant: the stored bytes of a plain container are descrambled too.
    TEntryReader OpenEntry(int index, std::uint8_t key);

    // The index of the first entry whose name contains key, ASCII letters compared without regard to
    // case; -1 when there is none or key is empty.
    int FindEntry(const std::string& key) const;
    // The entry's Length; 0 for a bad index.
    std::int32_t EntrySize(int index) const;
    // The entry's bytes, loaded on first use and descrambled once; null for a bad index or an entry
    // whose Length is 0 or less. Throws as LoadEntry.
    const std::uint8_t* EntryData(int index);
    void DescrambleEntry(int index);
    bool IsDescrambled(int index) const;

    // 0xD8 for a file name whose extension is ".res" (any letter case), 0xB1 for every other one.
    static std::uint8_t KeySeedFor(const std::string& fileName);

private:
    friend class TEntryReader;

    // Reads up to count of the entry's bytes as stored (not descrambled), from position from of the
    // entry on, into out, without loading the entry; reopens the file when it is closed, as LoadEntry
    // does. Returns how many bytes it read: fewer at the end of the entry or of the file, none for a
    // bad index. Throws EFOpenError when the file cannot be reopened.
    std::size_t ReadEntryPart(int index, std::int64_t from, std::uint8_t* out, std::size_t count);
    TEntryReader openEntry(int index, bool descramble, std::uint8_t key);

    std::int64_t bodyStart() const { return m_scrambled ? 4 : 0; }
    // Takes n bytes of the directory and descrambles them with the running key.
    void readField(TDirectoryReader& reader, std::uint8_t& key, std::uint8_t* out, std::size_t n) const;
    // Reads the next directory record into a new entry; false, adding nothing, at the end of the
    // directory (no whole record left, or a name length outside 0..81).
    bool readRecord(TDirectoryReader& reader, std::uint8_t& key);

    // The entry's length cut to a file of fileSize bytes.
    std::int32_t cutToFile(std::int64_t fileSize, std::int32_t offset, std::int32_t length) const;
    // Checks the range of an entry read without the file's size against that size, asking it now.
    void settle(FolderEntry& rec) const;
    // Reopens the file when it is closed; the guard returned closes it again when it was reopened.
    [[nodiscard]] auto openForRead();
    // Reads up to count bytes at position start of the file into out: from the first block kept from
    // the directory's read when they lie in it, otherwise from the file, reopened for the read when it
    // is closed. Returns how many bytes it read.
    std::size_t readAt(std::int64_t start, std::uint8_t* out, std::size_t count);
    void completeRecord(FolderEntry& rec) const override;

    int m_kind = KindUnknown;
    std::uint8_t m_keySeed = 0xB1;
    bool m_scrambled = false;
    bool m_keepOpen = false;
    // KeepOpen: the file's first bytes, as read with the directory (empty when the directory did
    // not start there).
    std::vector<std::uint8_t> m_head;
};
