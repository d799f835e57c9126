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
// so a directory of a few hundred bytes costs one read; every take is bounded by the file's size.
class TDirectoryReader {
public:
    explicit TDirectoryReader(TStream& stream) : m_stream(stream), m_size(stream.Size()) {}

    std::int64_t Size() const { return m_size; }
    std::int64_t Left() const { return m_position < m_size ? m_size - m_position : 0; }

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

    // Takes count bytes as stored. Callers ask only for what Left() says is there; should the file
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
        return m_blockLength > 0;
    }

    TStream& m_stream;
    const std::int64_t m_size;
    std::int64_t m_position = 0;
    // A directory of a few hundred bytes is read with one read of this block.
    std::array<std::uint8_t, 4096> m_block;
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

TSkarnFolder::TSkarnFolder(const std::string& fileName, bool dirOnly, KeepOpen)
    : TVirtualFolder(fileName, OpenOnly{}), m_keepOpen(true) {
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

    TStream& file = *stream();
    TDirectoryReader reader(file);
    std::uint8_t prefix[4] = {};
    reader.Take(prefix, static_cast<std::size_t>(std::min<std::int64_t>(4, reader.Left())));
    m_scrambled = std::memcmp(prefix, "RS2\0", 4) != 0;
    m_keySeed = KeySeedFor(FileName());
    std::uint8_t key = m_keySeed;

    reader.MoveTo(bodyStart());
    m_kind = KindUnknown;
    if (reader.Left() < 8)
        return;
    std::uint8_t header[8];
    readField(reader, key, header, sizeof header);
    m_kind = magicIs(header, "RES") ? KindRes : magicIs(header, "RS2") ? KindRs2 : KindUnknown;
    const auto count = static_cast<std::int32_t>(LittleEndian32(header + 4));
    // Every record takes at least 12 bytes, so the file bounds what a count can make us reserve.
    if (count > 0)
        reserveEntries(static_cast<std::size_t>(std::min<std::int64_t>(count, reader.Left() / 12)));
    std::int32_t listed = 0;
    while (listed < count && readRecord(reader, key))
        ++listed;

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
    if (reader.Left() < 4)
        return false;
    std::uint8_t lengthField[4];
    readField(reader, key, lengthField, sizeof lengthField);
    const auto nameLength = static_cast<std::int32_t>(LittleEndian32(lengthField));
    if (nameLength < 0 || nameLength > MaxNameLength || reader.Left() < nameLength + 8)
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
    const std::string_view stored = WindowsNamePart(std::string_view(name, strnlen(name, nameLength)));
    std::memcpy(rec.Name, stored.data(), stored.size());
    // Keep every entry inside the file as it was when the directory was read.
    const std::int64_t room = reader.Size() - bodyStart() - offset;
    if (length > 0 && (offset < 0 || room <= 0))
        length = 0;
    else if (length > room)
        length = static_cast<std::int32_t>(room);
    rec.setOffset(offset);
    rec.setLength(length);
    rec.Flags = m_scrambled ? FolderEntry::StoredFlag : 0;
    return true;
}

void TSkarnFolder::LoadEntry(int index, bool descramble) {
    if (BadIndex(index))
        return;
    const bool opened = !StreamOpen();
    if (opened)
        openStream(true);
    const TScopeExit closeIfOpened([this, opened] {
        if (opened)
            closeStream();
    });

    const std::int32_t length = entry(index).length();
    if (length <= 0)
        return;
    std::uint8_t* data = allocateData(index, static_cast<std::size_t>(length));
    TStream& file = *stream();
    file.Seek(bodyStart() + entry(index).offset());
    const std::size_t got = file.Read(data, static_cast<std::size_t>(length));
    std::fill(data + got, data + length, std::uint8_t{0});
    entry(index).Flags = FolderEntry::StoredFlag;
    if (descramble)
        DescrambleEntry(index);
}

std::size_t TSkarnFolder::ReadEntryPart(int index, std::int64_t from, std::uint8_t* out, std::size_t count) {
    if (BadIndex(index) || from < 0)
        return 0;
    const std::int32_t length = entry(index).length();
    if (from >= length)
        return 0;
    count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), length - from));
    const bool opened = !StreamOpen();
    if (opened)
        openStream(true);
    struct CloseIfOpened {
        TSkarnFolder& folder;
        bool opened;
        ~CloseIfOpened() {
            if (opened)
                folder.closeStream();
        }
    } closeIfOpened{*this, opened};
    TStream& file = *stream();
    file.Seek(bodyStart() + entry(index).offset() + from);
    return file.Read(out, count);
}

bool TSkarnFolder::CopyEntry(std::vector<std::uint8_t>& buffer, int index) {
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
    return BadIndex(index) ? 0 : entry(index).length();
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
    if (m_scrambled && rec.Data && rec.length() > 0) {
        std::uint8_t key = m_keySeed;
        Descramble(rec.Data, static_cast<std::size_t>(rec.length()), key);
    }
    rec.Flags &= ~FolderEntry::StoredFlag;
}

bool TSkarnFolder::IsDescrambled(int index) const {
    return !BadIndex(index) && (entry(index).Flags & FolderEntry::StoredFlag) == 0;
}
