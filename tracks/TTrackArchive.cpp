// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTrackArchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "platform/PathParts.h"
#include "platform/TFileStream.h"
#include "platform/TextCase.h"

EArchiveError::EArchiveError(const std::string& archive, const std::string& entry, const std::string& reason)
    : Exception((entry.empty() ? "Cannot read the archive " + archive
                               : "Cannot read " + entry + " from the archive " + archive) +
                ": " + reason) {}

std::string ArchiveEntryKindText(TArchiveEntryKind kind) {
    switch (kind) {
    case TArchiveEntryKind::Track:
        return {};
    case TArchiveEntryKind::Encrypted:
        return "encrypted: it needs a password";
    case TArchiveEntryKind::Link:
        return "a link, not a file";
    case TArchiveEntryKind::NotAFile:
        return "not a file";
    case TArchiveEntryKind::BadName:
        return "a name that Windows does not allow";
    case TArchiveEntryKind::TooLarge:
        return "larger than 1 GiB, far more than any track";
    }
    return {};
}

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && FoldedName(text.substr(text.size() - tail.size())) == tail;
}

// True for a name Windows can give a file: no control character, none of <>:"/\|?*, and no device
// name ("nul.env" names the null device there).
bool windowsAllows(const std::string& name) {
    if (std::any_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 ||
                   std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        }))
        return false;
    std::string stem = FoldedName(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return false;
    return !(stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' &&
             stem[3] <= '9');
}

// A packing of tar archives and its patterns, enabled only where the build unpacks it itself: a
// packing that libarchive would hand to an outside program is not used.
struct TPacking {
    int (*support)(archive*);
    std::vector<std::string> patterns;
};

const std::vector<TPacking>& packings() {
    static const std::vector<TPacking> all = {
        {archive_read_support_filter_gzip, {"*.tar.gz", "*.tgz"}},
        {archive_read_support_filter_bzip2, {"*.tar.bz2", "*.tbz2", "*.tbz"}},
        {archive_read_support_filter_xz, {"*.tar.xz", "*.txz"}},
    };
    return all;
}

const std::vector<const TPacking*>& builtInPackings() {
    static const std::vector<const TPacking*> available = [] {
        std::vector<const TPacking*> found;
        for (const TPacking& packing : packings()) {
            archive* probe = archive_read_new();
            if (probe && packing.support(probe) == ARCHIVE_OK)
                found.push_back(&packing);
            archive_read_free(probe);
        }
        return found;
    }();
    return available;
}

constexpr std::size_t ReadBlock = std::size_t{64} * 1024;

} // namespace

std::string ArchivedFileName(std::string_view stored) {
    const std::size_t cut = stored.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? stored : stored.substr(cut + 1));
}

bool IsArchivedTrackName(const std::string& fileName) {
    return (fileName.size() > 4 && endsWithIgnoringCase(fileName, ".env")) ||
           (fileName.size() > 5 && endsWithIgnoringCase(fileName, ".~env"));
}

std::vector<std::string> ArchivePatterns() {
    std::vector<std::string> patterns = {"*.zip", "*.7z", "*.rar", "*.tar"};
    for (const TPacking* packing : builtInPackings())
        patterns.insert(patterns.end(), packing->patterns.begin(), packing->patterns.end());
    return patterns;
}

bool IsArchiveName(const std::string& path) {
    const std::string name = FileNamePart(path);
    const std::vector<std::string> patterns = ArchivePatterns();
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        return name.size() > pattern.size() - 1 && endsWithIgnoringCase(name, pattern.substr(1));
    });
}

struct TTrackArchive::TState {
    explicit TState(const std::string& path) : path(path), file(path) {}
    ~TState() { archive_read_free(reader); }
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;

    [[noreturn]] void fail(const std::string& entry) const {
        const char* reason = archive_error_string(reader);
        throw EArchiveError(path, entry, reason ? reason : "it is damaged");
    }
    // Throws when what the archive has unpacked or declared is more than a packing this good can give.
    void checkRatio(std::int64_t unpackedOrDeclared, const std::string& entry) const {
        if (unpackedOrDeclared > ArchiveBombAllowance && unpackedOrDeclared / ArchiveBombRatio > file.Size())
            throw EArchiveRefused(path, entry,
                                  "it unpacks to more than " + std::to_string(ArchiveBombRatio) +
                                      " times its size, which only an archive made to fill the disk does");
    }

    static la_ssize_t read(archive*, void* data, const void** block) {
        auto& self = *static_cast<TState*>(data);
        const std::size_t got = self.file.Read(self.block.data(), self.block.size());
        *block = self.block.data();
        return static_cast<la_ssize_t>(got);
    }
    static la_int64_t seek(archive*, void* data, la_int64_t offset, int whence) {
        auto& self = *static_cast<TState*>(data);
        const std::int64_t base = whence == SEEK_SET   ? 0
                                  : whence == SEEK_CUR ? self.file.Position()
                                                       : self.file.Size();
        if (offset < -base || offset > self.file.Size() - base)
            return ARCHIVE_FATAL;
        self.file.Seek(base + offset);
        return self.file.Position();
    }

    std::string path;
    TFileStream file;
    std::vector<unsigned char> block = std::vector<unsigned char>(ReadBlock);
    archive* reader = nullptr;
    std::int64_t unpacked = 0; // bytes of tracks delivered
    std::int64_t declared = 0; // sizes declared by the entries passed
    std::int64_t entries = 0;
    std::int64_t entryBytes = 0; // of the current entry
    bool dataTaken = true;
    TArchiveTrack track;

    // The bytes of the current entry, counted against the limits.
    struct TEntryBytes : TByteSource {
        explicit TEntryBytes(TState& state) : state(state) {}
        std::size_t Read(unsigned char* buffer, std::size_t capacity) override;
        TState& state;
    } bytes{*this};
};

std::size_t TTrackArchive::TState::TEntryBytes::Read(unsigned char* buffer, std::size_t capacity) {
    const la_ssize_t got = archive_read_data(state.reader, buffer, capacity);
    if (got < 0)
        state.fail(state.track.entryName);
    const auto count = static_cast<std::int64_t>(got);
    state.entryBytes += count;
    state.unpacked += count;
    if (state.entryBytes > ArchiveTrackLimit)
        throw EArchiveRefused(state.path, state.track.entryName,
                              ArchiveEntryKindText(TArchiveEntryKind::TooLarge));
    state.checkRatio(state.unpacked, state.track.entryName);
    return static_cast<std::size_t>(got);
}

TTrackArchive::TTrackArchive(const std::string& path) : m_state(std::make_unique<TState>(path)) {
    TState& state = *m_state;
    state.reader = archive_read_new();
    if (!state.reader)
        throw EOutOfMemory();
    archive_read_support_format_zip(state.reader);
    archive_read_support_format_7zip(state.reader);
    archive_read_support_format_rar(state.reader);
    archive_read_support_format_rar5(state.reader);
    archive_read_support_format_tar(state.reader);
    for (const TPacking* packing : builtInPackings())
        packing->support(state.reader);
    archive_read_set_callback_data(state.reader, &state);
    archive_read_set_read_callback(state.reader, &TState::read);
    archive_read_set_seek_callback(state.reader, &TState::seek);
    if (archive_read_open1(state.reader) != ARCHIVE_OK)
        state.fail({});
}

TTrackArchive::~TTrackArchive() = default;

const std::string& TTrackArchive::Path() const {
    return m_state->path;
}

const TArchiveTrack& TTrackArchive::Track() const {
    return m_state->track;
}

TByteSource& TTrackArchive::Data() {
    TState& state = *m_state;
    if (state.dataTaken || state.track.kind != TArchiveEntryKind::Track)
        throw EArchiveError(state.path, state.track.entryName, "its bytes cannot be read here");
    state.dataTaken = true;
    return state.bytes;
}

bool TTrackArchive::Next() {
    TState& state = *m_state;
    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(state.reader, &entry);
        if (status == ARCHIVE_EOF)
            return false;
        if (status < ARCHIVE_WARN)
            state.fail({});
        if (++state.entries > ArchiveEntryLimit)
            throw EArchiveRefused(state.path, {},
                                  "it holds more than " + std::to_string(ArchiveEntryLimit) +
                                      " entries, which no pack of tracks needs");
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const char* stored = utf8 ? utf8 : archive_entry_pathname(entry);
        const std::int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
        if (size > 0) {
            state.declared += size;
            state.checkRatio(state.declared, stored ? stored : "");
        }
        if (!stored)
            continue;
        const std::string fileName = ArchivedFileName(stored);
        if (!IsArchivedTrackName(fileName))
            continue;

        TArchiveTrack track{stored, fileName, size, TArchiveEntryKind::Track};
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFLNK || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
            track.kind = TArchiveEntryKind::Link;
        else if (type != AE_IFREG)
            track.kind = TArchiveEntryKind::NotAFile;
        else if (archive_entry_is_encrypted(entry))
            track.kind = TArchiveEntryKind::Encrypted;
        else if (!windowsAllows(fileName))
            track.kind = TArchiveEntryKind::BadName;
        else if (size > ArchiveTrackLimit)
            track.kind = TArchiveEntryKind::TooLarge;
        state.track = std::move(track);
        state.entryBytes = 0;
        state.dataTaken = false;
        return true;
    }
}
