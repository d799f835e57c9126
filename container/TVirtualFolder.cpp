// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/TVirtualFolder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "platform/Exceptions.h"
#include "platform/PathParts.h"
#include "platform/TFileStream.h"
#include "platform/TStream.h"
#include "platform/TextCase.h"

namespace {

void setName(FolderEntry& rec, std::string_view name) {
    const std::size_t n = std::min(name.size(), FolderEntry::MaxName);
    std::memcpy(rec.Name, name.data(), n);
    rec.Name[n] = '\0';
}

std::string_view nameOf(const FolderEntry& rec) {
    return std::string_view(rec.Name, strnlen(rec.Name, FolderEntry::MaxName));
}

} // namespace

TVirtualFolder::TVirtualFolder(const std::string& fileName, OpenOnly open) : m_fileName(fileName) {
    if (open.listedAsFile) {
        m_stream = std::make_unique<TFileStream>(m_fileName, TFileStream::ListedOpen);
        m_endOffset = -1; // not known yet
        return;
    }
    openStream();
    m_endOffset = m_stream->Size();
}

TVirtualFolder::TVirtualFolder(const std::string& fileName, bool dirOnly)
    : TVirtualFolder(fileName, OpenOnly{}) {
    TVirtualFolder::ReadDirectory(dirOnly);
}

TVirtualFolder::~TVirtualFolder() {
    closeStream();
    ClearEntries();
}

void TVirtualFolder::openStream(bool rangeOnly) {
    m_stream = std::make_unique<TFileStream>(m_fileName,
                                             rangeOnly ? TFileStream::RangeOpen : TFileStream::CheckedOpen);
}

void TVirtualFolder::closeStream() {
    m_stream.reset();
}

std::int64_t TVirtualFolder::EndOffset() const {
    if (m_endOffset >= 0)
        return m_endOffset;
    return m_stream ? std::max<std::int64_t>(m_stream->Size(), 0) : 0;
}

void TVirtualFolder::GetEntry(int index, FolderEntry& rec) const {
    std::memset(&rec, 0, sizeof rec);
    if (!BadIndex(index)) {
        rec = entry(index);
        completeRecord(rec);
    }
}

void TVirtualFolder::DeleteEntry(int index) {
    if (BadIndex(index))
        return;
    m_entries.erase(m_entries.begin() + index);
}

void TVirtualFolder::ClearEntries() {
    while (Count() > 0)
        DeleteEntry(Count() - 1);
}

int TVirtualFolder::IndexOfEntry(const std::string& key) const {
    for (int i = Count() - 1; i >= 0; --i) {
        if (EqualsIgnoringAsciiCase(nameOf(entry(i)), key))
            return i;
    }
    return -1;
}

void TVirtualFolder::ReadDirectory(bool /*dirOnly*/) {}

bool TVirtualFolder::CopyEntry(std::vector<std::uint8_t>& buffer, int index) {
    if (BadIndex(index))
        return false;
    const std::int32_t length = entry(index).length();
    if (buffer.empty() && length > 0) {
        try {
            buffer.assign(static_cast<std::size_t>(length), 0);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
    }
    return true;
}

bool TVirtualFolder::AddFromStream(const std::string& name, TStream& source) {
    m_endOffset = EndOffset();
    FolderEntry& rec = appendEntry();
    const int index = Count() - 1;
    const std::int64_t n = source.Size();
    setName(rec, EntryNamePart(name));
    // Offsets and lengths are 32-bit in the format; a stream beyond that cannot be an entry.
    if (n > std::numeric_limits<std::int32_t>::max() ||
        m_endOffset > std::numeric_limits<std::int32_t>::max())
        throw EOutOfMemory();
    rec.setOffset(static_cast<std::int32_t>(m_endOffset));
    rec.setLength(static_cast<std::int32_t>(n));
    m_endOffset += n;
    if (n > 0) {
        std::uint8_t* data = allocateData(index, static_cast<std::size_t>(n));
        source.Seek(0);
        const std::size_t got = source.Read(data, static_cast<std::size_t>(n));
        std::fill(data + got, data + n, std::uint8_t{0});
    }
    return true;
}

FolderEntry& TVirtualFolder::appendEntry() {
    try {
        m_entries.push_back(OwnedEntry{});
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    FolderEntry& rec = m_entries.back().record;
    std::memset(&rec, 0, sizeof rec);
    return rec;
}

void TVirtualFolder::reserveEntries(std::size_t count) {
    try {
        m_entries.reserve(m_entries.size() + count);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

std::uint8_t* TVirtualFolder::allocateData(int index, std::size_t size) {
    OwnedEntry& owned = m_entries[static_cast<std::size_t>(index)];
    owned.data.reset();
    owned.record.Data = nullptr;
    owned.data.reset(new (std::nothrow) std::uint8_t[size]);
    if (!owned.data)
        throw EOutOfMemory();
    owned.record.Data = owned.data.get();
    return owned.record.Data;
}
