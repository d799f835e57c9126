// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "container/FolderEntry.h"

class TStream;
class TFileStream;

// One file presented as a folder of named entries. The class knows no file format: a derived class
// fills the entry list in ReadDirectory. Entry indices run from 0; deleting an entry moves every
// later entry down by one.
//
// Every record and every entry's bytes belong to the folder; pointers handed out through GetEntry's
// copy or a derived class's EntryData stay valid until the entry is deleted or the folder freed.
class TVirtualFolder {
public:
    // Opens fileName for reading (others may read it but not write it) and calls the base
    // ReadDirectory, which lists nothing; the file stays open until the folder is freed.
    // Throws EFOpenError when the file cannot be opened.
    TVirtualFolder(const std::string& fileName, bool dirOnly);
    virtual ~TVirtualFolder();
    TVirtualFolder(const TVirtualFolder&) = delete;
    TVirtualFolder& operator=(const TVirtualFolder&) = delete;

    int Count() const { return static_cast<int>(m_entries.size()); }
    const std::string& FileName() const { return m_fileName; }
    std::int64_t EndOffset() const;
    bool StreamOpen() const { return m_stream != nullptr; }

    // True when index is below 0 or not below the entry count.
    bool BadIndex(int index) const { return index < 0 || index >= Count(); }

    // Copies the whole record, Offset and Length masked and the Data pointer (still the folder's)
    // included; an all-zero record for a bad index.
    void GetEntry(int index, FolderEntry& rec) const;

    // Releases the entry's bytes and record; a bad index does nothing.
    void DeleteEntry(int index);
    void ClearEntries();

    // The index of the last entry whose name equals key, ASCII letters compared without regard to
    // case; -1 when there is none. An empty key finds the last entry with an empty name.
    int IndexOfEntry(const std::string& key) const;

    virtual void ReadDirectory(bool dirOnly);

    // Provides a buffer for one entry: an empty buffer is given the entry's Length bytes (none for a
    // Length of 0 or less); a buffer the caller fills in advance is kept as it is. False for a bad
    // index, with the buffer left alone.
    virtual bool CopyEntry(std::vector<std::uint8_t>& buffer, int index);

    // Appends an entry that holds all bytes of source, named after the entry name in name
    // (EntryNamePart: behind its last "\" or ":"; cut to 127 characters). Its Offset is EndOffset,
    // which then grows by the entry's length. Throws EOutOfMemory for a stream too large to hold. Returns
    // true.
    virtual bool AddFromStream(const std::string& name, TStream& source);

protected:
    // For derived classes that read their own directory: opens the file without listing anything.
    // listedAsFile: a folder listing has just shown the file as a regular file, so it is opened
    // without a check and without asking its size; EndOffset asks it when needed, unless the derived
    // class learns it first (setEndOffset).
    struct OpenOnly {
        bool listedAsFile = false;
    };
    TVirtualFolder(const std::string& fileName, OpenOnly open);

    FolderEntry& entry(int index) { return m_entries[static_cast<std::size_t>(index)].record; }
    const FolderEntry& entry(int index) const { return m_entries[static_cast<std::size_t>(index)].record; }
    // Appends an all-zero record and returns it.
    FolderEntry& appendEntry();
    // Makes room for count more records at once (a hint; nothing is listed).
    void reserveEntries(std::size_t count);
    // Gives the entry a fresh buffer of size bytes (size > 0), releasing any earlier one, and
    // returns it. Throws EOutOfMemory when it cannot be had.
    std::uint8_t* allocateData(int index, std::size_t size);

    void setEndOffset(std::int64_t offset) { m_endOffset = offset; }
    // Called on the copy that GetEntry hands out, for a derived class that completes its records late.
    virtual void completeRecord(FolderEntry& /*rec*/) const {}
    const TFileStream* openStreamOrNull() const { return m_stream.get(); }
    std::unique_ptr<TFileStream>& stream() { return m_stream; }
    // Opens the file again; rangeOnly skips what only the first open needs (size, file-type check).
    void openStream(bool rangeOnly = false);
    void closeStream();

private:
    struct OwnedEntry {
        FolderEntry record;
        std::unique_ptr<std::uint8_t[]> data;
    };

    std::string m_fileName;
    std::unique_ptr<TFileStream> m_stream;
    std::int64_t m_endOffset = 0;
    std::vector<OwnedEntry> m_entries;
};
