// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/FileOps.h"

// The tracks inside a downloaded archive: zip, 7z, rar (4 and 5), and tar, plain or packed with gzip,
// bzip2 or xz where the build has them (ArchivePatterns). A track is every entry whose name ends in
// ".env" or ".~env", letter case ignored, at any depth; it is fetched under the last part of its name
// alone, so no name ("..", "/etc/x.env", "C:\x.env") can place it outside the event folder.
//
// Archives are read as made to harm. The limits below are checked before the bytes they guard are
// written, and memory stays bounded whatever an archive declares: bytes go from the archive to the
// disk in small pieces, and the unpacking itself holds no more than what it has unpacked.

// The most bytes one track may have: real tracks have a few tens of MB.
inline constexpr std::int64_t ArchiveTrackLimit = std::int64_t{1} << 30;
// The most entries an archive may have, of any name: real packs have a few dozen.
inline constexpr std::int64_t ArchiveEntryLimit = 10000;
// Unpacking that gives more than ArchiveBombRatio times the bytes read from the archive is a bomb's:
// real tracks pack to a third or so, never to a hundredth. Checked once the archive has unpacked (or
// declared) more than ArchiveBombAllowance bytes, so that a single small track of zeros passes.
inline constexpr std::int64_t ArchiveBombRatio = 100;
inline constexpr std::int64_t ArchiveBombAllowance = std::int64_t{128} << 20;

// An archive that cannot be read, or an entry of it. The message names the archive and, where one is
// in hand, the entry: "Cannot read jump.env from the archive C:\Downloads\pack.zip: Truncated input
// file (needed 1234 bytes, only 0 available)".
class EArchiveError : public Exception {
public:
    EArchiveError(const std::string& archive, const std::string& entry, const std::string& reason);
};

// An archive past one of the limits above: made to harm, or at least never a pack of tracks.
class EArchiveRefused : public EArchiveError {
public:
    using EArchiveError::EArchiveError;
};

// Why an entry named like a track is fetched or not.
enum class TArchiveEntryKind {
    Track,     // a plain file: fetched
    Encrypted, // its bytes need a password
    Link,      // a symbolic or hard link
    NotAFile,  // a folder, device, FIFO or socket
    BadName,   // a name that Windows cannot give a file
    TooLarge,  // declared larger than ArchiveTrackLimit
};

// One entry of an archive whose name is a track's.
struct TArchiveTrack {
    std::string entryName;  // as the archive stores it, folders included (UTF-8 where the archive says)
    std::string fileName;   // the name the track gets: the last part of entryName
    std::int64_t size = -1; // as declared; -1 when the archive does not say
    TArchiveEntryKind kind = TArchiveEntryKind::Track;
};

// The words for a kind that is not fetched ("encrypted: it needs a password"); empty for Track.
std::string ArchiveEntryKindText(TArchiveEntryKind kind);

// The file name an entry's track is fetched under: the last part of its stored name, where "\", "/" and
// a drive's ":" all end a folder, so that no entry name can place a file outside the event folder.
std::string ArchivedFileName(std::string_view stored);

// True for a name ending in ".env" or ".~env", letter case ignored, with something before that.
bool IsArchivedTrackName(const std::string& fileName);

// True for a path whose extension is one of ArchivePatterns: the paths Fetch opens as archives.
bool IsArchiveName(const std::string& path);

// The file-name patterns of the archives this build reads ("*.zip", "*.7z", "*.rar", "*.tar",
// "*.tar.gz", "*.tgz", ...): a packed tar only where its unpacker is built in.
std::vector<std::string> ArchivePatterns();

// Reads the tracks of one archive in order, once through.
class TTrackArchive {
public:
    // Opens path (Windows-style or native). Throws EFOpenError when the file cannot be opened, and
    // EArchiveError when it is no archive this build reads.
    explicit TTrackArchive(const std::string& path);
    ~TTrackArchive();
    TTrackArchive(const TTrackArchive&) = delete;
    TTrackArchive& operator=(const TTrackArchive&) = delete;

    // Moves to the next entry named like a track, passing over the others. False at the end. Throws
    // EArchiveError when the archive is damaged past that point, and EArchiveRefused when it holds more
    // than ArchiveEntryLimit entries or declares sizes that only a bomb has.
    bool Next();
    // The entry Next moved to.
    const TArchiveTrack& Track() const;
    // The bytes of that entry, once, for an entry of the kind Track. Read throws EArchiveError naming
    // the archive and the entry when the entry is damaged or cut short, and EArchiveRefused when it
    // passes ArchiveTrackLimit or unpacks like a bomb; what was read before is to be thrown away.
    TByteSource& Data();

    const std::string& Path() const;

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};
