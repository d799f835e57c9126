// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/TSkarnFolder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "container/Descramble.h"
#include "platform/Exceptions.h"
#include "platform/PathParts.h"
#include "platform/ScopeExit.h"
#include "platform/TFileStream.h"
#include "platform/TSpanReader.h"
#include "platform/TextCase.h"

namespace {

constexpr std::int32_t MaxNameLength = 81;

} // namespace

// Reads the directory region of a container through one running key. The file is read in blocks,
// starting with its first block at once: a directory of a few hundred bytes, and often the entries
// after it, cost that one read, and a file shorter than the block is known whole (size included).
// Every take is bounded by the file's size.
class TDirectoryReader {
public:
    static constexpr std::size_t BlockSize = 4096;

    // block holds what was read last; a caller may keep it afterwards (FirstBlockLength).
    TDirectoryReader(TFileStream& stream, std::vector<std::uint8_t>& block)
        : m_stream(stream), m_block(block) {
        m_block.resize(BlockSize);
        refill();
    }

    std::int64_t Position() const { return m_position; }
    // Where the file is known to end, or to go on at least, without asking its size: the size when
    // it is known, else the end of what was read.
    std::int64_t KnownEnd() const {
        const std::int64_t size = m_stream.KnownSize();
        return size >= 0 ? size : m_extent;
    }
    // count, or fewer when the file ends sooner. The file's size is asked only when what was read
    // does not tell.
    std::int64_t LeftUpTo(std::int64_t count) const {
        if (m_position + count <= KnownEnd())
            return count;
        return std::clamp<std::int64_t>(m_stream.Size() - m_position, 0, count);
    }
    // How many bytes of the block are the file's first bytes: all it holds when it was read from the
    // start, else 0.
    std::size_t FirstBlockLength() const { return m_blockStart == 0 ? m_blockLength : 0; }

    // Moves to position; a position inside the block already read costs no read.
    void MoveTo(std::int64_t position) {
        m_position = position;
        if (position >= m_blockStart && position <= m_blockStart + static_cast<std::int64_t>(m_blockLength)) {
            m_blockPos = static_cast<std::size_t>(position - m_blockStart);
        } else {
            m_blockLength = 0;
            m_blockPos = 0;
            m_blockStart = position;
        }
    }

    // Takes count bytes as stored. Callers ask only for what LeftUpTo says is there; should the file
    // have shrunk since it was opened, what is missing reads as zero bytes.
    void Take(std::uint8_t* out, std::size_t count) {
        while (count > 0) {
            if (m_blockPos == m_blockLength && !refill()) {
                std::memset(out, 0, count);
                m_position += static_cast<std::int64_t>(count);
                return;
            }
            const std::size_t n = std::min(count, m_blockLength - m_blockPos);
            std::memcpy(out, m_block.data() + m_blockPos, n);
            m_blockPos += n;
            m_position += static_cast<std::int64_t>(n);
            out += n;
            count -= n;
        }
    }

private:
    bool refill() {
        m_stream.Seek(m_position);
        m_blockLength = m_stream.Read(m_block.data(), m_block.size());
        m_blockStart = m_position;
        m_blockPos = 0;
        m_extent = std::max(m_extent, m_blockStart + static_cast<std::int64_t>(m_blockLength));
        return m_blockLength > 0;
    }

    TFileStream& m_stream;
    std::vector<std::uint8_t>& m_block;
    std::int64_t m_extent = 0;
    std::int64_t m_position = 0;
    std::size_t m_blockLength = 0;
    std::int64_t m_blockStart = 0;
    std::size_t m_blockPos = 0;
};

namespace {

// Compares four magic bytes up to their first zero byte with text.
bool magicIs(const std::uint8_t* magic, const char* text) {
    const std::size_t n = strnlen(reinterpret_cast<const char*>(magic), 4);
    return n == std::strlen(text) && std::memcmp(magic, text, n) == 0;
}

} // namespace

TSkarnFolder::TSkarnFolder(const std::string& fileName, bool dirOnly) : TVirtualFolder(fileName, OpenOnly{}) {
    // A failure here unwinds through the base destructor, which frees the stream and every entry
    // listed so far.
    ReadDirectory(dirOnly);
}

TSkarnFolder::TSkarnFolder(const std::string& fileName, bool dirOnly, KeepOpen keepOpen)
    : TVirtualFolder(fileName, OpenOnly{.listedAsFile = keepOpen.listedAsFile}), m_keepOpen(true) {
    ReadDirectory(dirOnly);
}

TSkarnFolder::~TSkarnFolder() = default;

std::uint8_t TSkarnFolder::KeySeedFor(const std::string& fileName) {
    return EqualsIgnoringAsciiCase(FileExtension(fileName), ".res") ? 0xD8 : 0xB1;
}

void TSkarnFolder::ReadDirectory(bool dirOnly) {
    const TScopeExit closeAtEnd([this] {
        if (!m_keepOpen)
            closeStream();
    });

    TFileStream& file = *stream();
    std::vector<std::uint8_t> block;
    TDirectoryReader reader(file, block);
    const TScopeExit keepHead([&] {
        // Keep the first bytes for the loads that follow at once, when the file stays open for them.
        if (m_keepOpen) {
            block.resize(reader.FirstBlockLength());
            m_head = std::move(block);
        }
    });
    std::uint8_t prefix[4] = {};
    reader.Take(prefix, static_cast<std::size_t>(reader.LeftUpTo(4)));
    m_scrambled = std::memcmp(prefix, "RS2\0", 4) != 0;
    m_keySeed = KeySeedFor(FileName());
    std::uint8_t key = m_keySeed;

    reader.MoveTo(bodyStart());
    m_kind = KindUnknown;
    if (reader.LeftUpTo(8) < 8)
        return;
    std::uint8_t header[8];
    readField(reader, key, header, sizeof header);
    m_kind = magicIs(header, "RES") ? KindRes : magicIs(header, "RS2") ? KindRs2 : KindUnknown;
    const auto count = static_cast<std::int32_t>(LittleEndian32(header + 4));
    // Every record takes at least 12 bytes, so the file bounds what a count can make us reserve.
    if (count > 0) {
        const std::int64_t known = std::max<std::int64_t>(reader.KnownEnd() - reader.Position(), 0);
        reserveEntries(static_cast<std::size_t>(std::min<std::int64_t>(count, known / 12)));
    }
    std::int32_t listed = 0;
    while (listed < count && readRecord(reader, key))
        ++listed;
    if (file.KnownSize() >= 0)
        setEndOffset(file.KnownSize());

    if (!dirOnly) {
        // Entries may overlap; what the whole load holds stays within the file's size.
        std::int64_t budget = file.Size();
        for (int i = 0; i < Count(); ++i) {
            const std::int32_t length = entry(i).length();
            if (length <= 0 || length > budget)
                continue;
            LoadEntry(i, false);
            budget -= length;
        }
    }
}

void TSkarnFolder::readField(TDirectoryReader& reader, std::uint8_t& key, std::uint8_t* out,
                             std::size_t n) const {
    // Every field of the directory runs through the same key, each picking up where the last left it.
    reader.Take(out, n);
    if (m_scrambled)
        Descramble(out, n, key);
}

bool TSkarnFolder::readRecord(TDirectoryReader& reader, std::uint8_t& key) {
    if (reader.LeftUpTo(4) < 4)
        return false;
    std::uint8_t lengthField[4];
    readField(reader, key, lengthField, sizeof lengthField);
    const auto nameLength = static_cast<std::int32_t>(LittleEndian32(lengthField));
    if (nameLength < 0 || nameLength > MaxNameLength || reader.LeftUpTo(nameLength + 8) < nameLength + 8)
        return false;

    // The name, the offset and the length, checked against the file above.
    std::uint8_t fields[MaxNameLength + 8];
    readField(reader, key, fields, static_cast<std::size_t>(nameLength) + 8);
    TSpanReader record(fields, static_cast<std::size_t>(nameLength) + 8);
    const auto* name = reinterpret_cast<const char*>(record.Take(static_cast<std::size_t>(nameLength)));
    auto offset = static_cast<std::int32_t>(record.LittleEndian32());
    auto length = static_cast<std::int32_t>(record.LittleEndian32());

    FolderEntry& rec = appendEntry();
    // The name ends before its first zero byte; a folder path before it is dropped.
    const std::string_view stored = EntryNamePart(std::string_view(name, strnlen(name, nameLength)));
    std::memcpy(rec.Name, stored.data(), stored.size());
    // Keep every entry inside the file as it was when the directory was read. Where the bytes read so
    // far show that the cut changes nothing, the file's size is not needed; where it is needed and not
    // known, the check waits until the entry is first used (settle).
    std::uint32_t unchecked = 0;
    if (const std::int64_t size = stream()->KnownSize(); size >= 0)
        length = cutToFile(size, offset, length);
    else if (cutToFile(reader.KnownEnd(), offset, length) != length)
        unchecked = FolderEntry::UncheckedRangeFlag;
    rec.setOffset(offset);
    rec.setLength(length);
    rec.Flags = (m_scrambled ? FolderEntry::StoredFlag : 0) | unchecked;
    return true;
}

std::int32_t TSkarnFolder::cutToFile(std::int64_t fileSize, std::int32_t offset, std::int32_t length) const {
    const std::int64_t room = fileSize - bodyStart() - offset;
    if (length > 0 && (offset < 0 || room <= 0))
        return 0;
    if (length > room)
        return static_cast<std::int32_t>(room);
    return length;
}

void TSkarnFolder::settle(FolderEntry& rec) const {
    if ((rec.Flags & FolderEntry::UncheckedRangeFlag) == 0)
        return;
    rec.Flags &= ~FolderEntry::UncheckedRangeFlag;
    // A cut larger than what was read can only be a cut to the file's size (the room only grows with
    // it), so asking the size now gives what asking it while reading the directory would have.
    const TFileStream* file = openStreamOrNull();
    rec.setLength(cutToFile(file ? file->Size() : EndOffset(), rec.offset(), rec.length()));
}

void TSkarnFolder::completeRecord(FolderEntry& rec) const {
    settle(rec);
}

void TSkarnFolder::CloseFile() {
    // Once closed, the file's size can no longer be asked: settle what is left first.
    setEndOffset(EndOffset());
    for (int i = 0; i < Count(); ++i)
        settle(entry(i));
    closeStream();
    m_head.clear();
}

auto TSkarnFolder::openForRead() {
    const bool opened = !StreamOpen();
    if (opened)
        openStream(true);
    return TScopeExit([this, opened] {
        if (opened)
            closeStream();
    });
}

void TSkarnFolder::LoadEntry(int index, bool descramble) {
    if (BadIndex(index))
        return;
    settle(entry(index));
    const auto closeIfOpened = openForRead();

    const std::int32_t length = entry(index).length();
    if (length <= 0)
        return;
    std::uint8_t* data = allocateData(index, static_cast<std::size_t>(length));
    openEntry(index, false, 0).Read(data, static_cast<std::size_t>(length));
    entry(index).Flags = FolderEntry::StoredFlag;
    if (descramble)
        DescrambleEntry(index);
}

std::size_t TSkarnFolder::ReadEntryPart(int index, std::int64_t from, std::uint8_t* out, std::size_t count) {
    if (BadIndex(index) || from < 0)
        return 0;
    settle(entry(index));
    const std::int32_t length = entry(index).length();
    if (from >= length)
        return 0;
    count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), length - from));
    return readAt(bodyStart() + entry(index).offset() + from, out, count);
}

TEntryReader TSkarnFolder::OpenEntry(int index) {
    return openEntry(index, m_scrambled, m_keySeed);
}

TEntryReader TSkarnFolder::OpenEntry(int index, std::uint8_t key) {
    return openEntry(index, true, key);
}

TEntryReader TSkarnFolder::openEntry(int index, bool descramble, std::uint8_t key) {
    return TEntryReader(*this, index, std::max<std::int32_t>(EntrySize(index), 0), descramble, key);
}

std::size_t TSkarnFolder::readAt(std::int64_t start, std::uint8_t* out, std::size_t count) {
    // What lies in the first block, kept from the directory's read, costs no read of its own.
    if (start >= 0 && start + static_cast<std::int64_t>(count) <= static_cast<std::int64_t>(m_head.size())) {
        std::memcpy(out, m_head.data() + start, count);
        return count;
    }
    const auto closeIfOpened = openForRead();
    TStream& file = *stream();
    file.Seek(start);
    return file.Read(out, count);
}

bool TSkarnFolder::CopyEntry(std::vector<std::uint8_t>& buffer, int index) {
    if (!BadIndex(index))
        settle(entry(index));
    if (!TVirtualFolder::CopyEntry(buffer, index))
        return false;
    const FolderEntry& rec = entry(index);
    if (rec.Data && rec.length() > 0) {
        const std::size_t n = std::min(buffer.size(), static_cast<std::size_t>(rec.length()));
        std::memcpy(buffer.data(), rec.Data, n);
    }
    return true;
}

bool TSkarnFolder::AddFromStream(const std::string& name, TStream& source) {
    return TVirtualFolder::AddFromStream(name, source);
}

int TSkarnFolder::FindEntry(const std::string& key) const {
    if (key.empty())
        return -1;
    const std::string wanted = LowerAscii(key);
    for (int i = 0; i < Count(); ++i) {
        const FolderEntry& rec = entry(i);
        const std::string name =
            LowerAscii(std::string_view(rec.Name, strnlen(rec.Name, FolderEntry::MaxName)));
        if (name.find(wanted) != std::string::npos)
            return i;
    }
    return -1;
}

std::int32_t TSkarnFolder::EntrySize(int index) const {
    if (BadIndex(index))
        return 0;
    FolderEntry rec = entry(index);
    settle(rec);
    return rec.length();
}

const std::uint8_t* TSkarnFolder::EntryData(int index) {
    if (BadIndex(index))
        return nullptr;
    if (entry(index).Data) {
        DescrambleEntry(index);
        return entry(index).Data;
    }
    LoadEntry(index, true);
    return entry(index).Data;
}

void TSkarnFolder::DescrambleEntry(int index) {
    if (BadIndex(index) || IsDescrambled(index))
        return;
    FolderEntry& rec = entry(index);
    settle(rec);
    if (m_scrambled && rec.Data && rec.length() > 0) {
        std::uint8_t key = m_keySeed;
        Descramble(rec.Data, static_cast<std::size_t>(rec.length()), key);
    }
    rec.Flags &= ~FolderEntry::StoredFlag;
}

bool TSkarnFolder::IsDescrambled(int index) const {
    return !BadIndex(index) && (entry(index).Flags & FolderEntry::StoredFlag) == 0;
}
