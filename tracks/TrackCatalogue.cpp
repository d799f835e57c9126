// SPDX-License-Identifier: GPL-3.0-or-later
#include "tracks/TrackCatalogue.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "container/TSkarnFolder.h"
#include "platform/AnsiText.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "platform/TSearchRec.h"
#include "platform/TextCase.h"

const char* const GameRegistryKey = "SOFTWARE\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2";
const char* const GameRootValueName = "HardDriveRootPath";
const char* const DemoMarkerName = "track-manager-demo.txt";
const char* const EventTypes[6] = {"Baja", "Enduro", "National", "Quarries", "SX", "Tag"};

std::string EventFolder(const std::string& gameRoot, const std::string& eventType) {
    return gameRoot + "Vevozura\\" + eventType + "\\";
}

bool IsInactiveTrack(const std::string& fileName) {
    return fileName.size() >= 4 && fileName[fileName.size() - 4] == '~';
}

bool IsTrackFileName(const std::string& name) {
    if (name.empty() || name[0] == '.')
        return false;
    return LowerAscii(FileExtension(name)).find("env") != std::string::npos;
}

namespace {

// ReadSceneName; listedAsFile: a folder listing has just shown path as a regular file.
std::string readSceneName(const std::string& path, bool listedAsFile) {
    // The scene entry is read right after the directory, through the same open file, and from the
    // same read when it lies in the file's first block.
    TSkarnFolder folder(path, true, TSkarnFolder::KeepOpen{.listedAsFile = listedAsFile});
    const int index = folder.FindEntry("scn");
    if (index < 0)
        return {};
    // NOTE: the scene descriptor is descrambled from the key 0xB1 at its first byte, whatever the
    // container's variant: a plain container's stored bytes run through the key too.
    TEntryReader reader = folder.OpenEntry(index, 0xB1);
    std::int64_t scanLeft = SceneScanLimit;

    static constexpr char SceneKey[] = "SceneName=";
    constexpr int KeyLength = sizeof SceneKey - 1;
    int matched = 0;
    std::uint8_t byte = 0;
    while (matched < KeyLength) {
        if (scanLeft-- == 0 || !reader.Next(byte))
            return {};
        matched = byte == static_cast<std::uint8_t>(SceneKey[matched]) ? matched + 1 : 0;
    }

    // Skip blanks and double quotes (not tabs); the entry may end inside them: then there is no name.
    do {
        if (!reader.Next(byte))
            return {};
    } while (byte == ' ' || byte == '"');

    // The name runs to a line feed, carriage return or double quote, or to the end of the entry, and
    // is cut at DisplayNameLimit.
    std::string name;
    while (byte != '\n' && byte != '\r' && byte != '"' && name.size() < DisplayNameLimit) {
        name += static_cast<char>(byte);
        if (!reader.Next(byte))
            break;
    }
    return name;
}

} // namespace

std::string ReadSceneName(const std::string& path) {
    return readSceneName(path, false);
}

bool TrackItemLess(const TTrackItem& a, const TTrackItem& b) {
    const int byName = CompareAnsiNames(a.DisplayName, b.DisplayName);
    if (byName != 0)
        return byName < 0;
    const int byFile = CompareAnsiIgnoringCase(a.FileName, b.FileName);
    return byFile != 0 ? byFile < 0 : a.FileName < b.FileName;
}

namespace {

// With a cold cache each read of a track waits for the disk, not for a core: what keeps the disk busy
// is enough reads in flight to fill its queue (32 commands on a SATA disk, more on NVMe), on a 2-core
// machine as on a 64-core one. So the readers are not counted by cores: a large folder gets up to
// MaxReaders, one per TracksPerReader tracks, and a smaller one a few, since with a warm cache every
// thread costs its start and gains nothing on few cores.
constexpr std::size_t MaxReaders = 64;
constexpr std::size_t TracksPerReader = 64;
constexpr std::size_t FewReaders = 8;
// Below this many tracks the threads cost more than they save.
constexpr std::size_t FewTracks = 48;

unsigned readerCount(std::size_t count) {
    if (count < FewTracks)
        return 1;
    const std::size_t few = std::min(FewReaders, count / 8);
    return static_cast<unsigned>(std::min(MaxReaders, std::max(few, count / TracksPerReader)));
}

// Runs read(i) for every i below count on a few threads. Returns the lowest index whose read threw,
// with its exception in failure, or count when none did. Once a read has failed, reads of later
// indices may be left out; every read of an earlier index is done.
std::size_t readEach(std::size_t count, const std::function<void(std::size_t)>& read,
                     std::exception_ptr& failure) {
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> failedAt{count};
    std::mutex failureLock;
    const auto work = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count || i > failedAt.load())
                return;
            try {
                read(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (i < failedAt.load()) {
                    failedAt.store(i);
                    failure = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    const unsigned readers = readerCount(count);
    for (unsigned k = 1; k < readers; ++k) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer readers do the same work
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return failedAt.load();
}

std::string moreText(std::size_t count) {
    if (count < 2)
        return {};
    const std::size_t more = count - 1;
    return " (and " + std::to_string(more) + " more track file" + (more == 1 ? "" : "s") + " cannot be read)";
}

} // namespace

ETracksUnreadable::ETracksUnreadable(std::vector<std::string> messages, std::exception_ptr first)
    : Exception((messages.empty() ? std::string() : messages.front()) + moreText(messages.size())),
      m_messages(std::move(messages)), m_first(std::move(first)) {}

std::string ETracksUnreadable::MoreText() const {
    return moreText(m_messages.size());
}

namespace {

struct TListedTrack {
    std::string name;
    TListedVersion version;
};

// The track files of an event folder, in the file system's order; none when the folder cannot be
// searched. The search closes with rec.
std::vector<TListedTrack> listTracks(const std::string& eventFolder) {
    std::vector<TListedTrack> tracks;
    TSearchRec rec;
    if (FindFirst(eventFolder + "*.*", faAnyFile, rec) != 0)
        return tracks;
    do {
        if (!rec.HasAttr(faDirectory | faVolumeID | faDevice) && IsTrackFileName(rec.Name))
            tracks.push_back(TListedTrack{rec.Name, rec.Listed()});
    } while (FindNext(rec) == 0);
    return tracks;
}

// What reading some track files gave: per file its display name, or its failure.
struct TReadTracks {
    std::vector<std::string> displayNames;
    std::vector<std::exception_ptr> failures;
    std::vector<std::string> unreadable; // the failures' messages, in the files' order
    std::exception_ptr firstFailure;
};

// Reads the named files of an event folder concurrently; the outcome is that of reading them one
// after another. The folder is resolved once (on Linux, letter case and drive links of a Windows
// path); failures name the path as built.
TReadTracks readTracks(const std::string& eventFolder, const std::vector<const std::string*>& fileNames) {
    const std::string nativeFolder = WithTrailingSeparator(NativePath(eventFolder));
    TReadTracks read;
    read.displayNames.resize(fileNames.size());
    read.failures.resize(fileNames.size());
    std::exception_ptr unexpected;
    readEach(
        fileNames.size(),
        [&](std::size_t i) {
            try {
                read.displayNames[i] = readSceneName(nativeFolder + *fileNames[i], true);
            } catch (const EFOpenError&) {
                read.failures[i] =
                    std::make_exception_ptr(EFOpenError(PathInFolder(eventFolder, *fileNames[i])));
            } catch (const Exception&) {
                read.failures[i] = std::current_exception();
            } catch (const std::bad_alloc&) {
                read.failures[i] = std::make_exception_ptr(EOutOfMemory());
            }
        },
        unexpected);
    if (unexpected)
        std::rethrow_exception(unexpected);
    for (const std::exception_ptr& failure : read.failures) {
        if (!failure)
            continue;
        if (!read.firstFailure)
            read.firstFailure = failure;
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            read.unreadable.emplace_back(e.what());
        }
    }
    return read;
}

} // namespace

void TTrackChanges::ThrowFailures() const {
    if (!Unreadable.empty())
        throw ETracksUnreadable(Unreadable, FirstFailure);
}

void TTrackList::Clear() {
    m_items.clear();
    m_known.clear();
    m_folder.clear();
    m_stale = false;
}

void TTrackList::Assign(std::vector<TTrackItem> items) {
    Clear();
    m_items = std::move(items);
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
    m_stale = true;
}

void TTrackList::Fill(const std::string& eventFolder) {
    Clear();
    m_folder = eventFolder;
    // The listing first, then the files, read concurrently and put together in listing order: the list
    // and the failures are those of reading them one after another.
    std::vector<TListedTrack> listed = listTracks(eventFolder);
    std::vector<const std::string*> fileNames;
    fileNames.reserve(listed.size());
    for (const TListedTrack& track : listed)
        fileNames.push_back(&track.name);
    TReadTracks read = readTracks(eventFolder, fileNames);

    m_items.reserve(listed.size());
    m_known.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        std::string& displayName = read.displayNames[i];
        const bool settled = !read.failures[i] && !displayName.empty();
        if (!displayName.empty())
            m_items.push_back(TTrackItem{displayName, listed[i].name});
        m_known.push_back(
            TKnownFile{std::move(listed[i].name), listed[i].version, std::move(displayName), settled});
    }
    // Sorting once at the end gives the order that inserting each item at its place would, in n log n.
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
    if (!read.unreadable.empty())
        throw ETracksUnreadable(std::move(read.unreadable), std::move(read.firstFailure));
}

namespace {

// No known file: a listed name that is new.
constexpr std::size_t None = static_cast<std::size_t>(-1);

struct TListingMatch {
    std::vector<std::size_t> knownAs; // per listed file, the known file it is, or None
    std::vector<bool> listedAgain;    // per known file, whether it was listed again
};

// Which known file each listed one is. The folder lists in the same order as before, so each is looked
// for a few places after where the last one was found; only the names out of that order are looked up
// among the known files left over. Known is any type of file with a name.
template <class Known>
TListingMatch matchListing(const std::vector<TListedTrack>& listed, const std::vector<Known>& known) {
    constexpr std::size_t Window = 8;
    TListingMatch match{std::vector<std::size_t>(listed.size(), None),
                        std::vector<bool>(known.size(), false)};
    std::vector<std::size_t> outOfOrder;
    std::size_t next = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::size_t end = std::min(next + Window, known.size());
        std::size_t k = next;
        while (k < end && known[k].name != listed[i].name)
            ++k;
        if (k == end) {
            outOfOrder.push_back(i);
            continue;
        }
        match.knownAs[i] = k;
        match.listedAgain[k] = true;
        next = k + 1;
    }
    if (outOfOrder.empty())
        return match;
    std::unordered_map<std::string_view, std::size_t> leftOver;
    for (std::size_t k = 0; k < known.size(); ++k) {
        if (!match.listedAgain[k])
            leftOver.emplace(known[k].name, k);
    }
    for (const std::size_t i : outOfOrder) {
        const auto found = leftOver.find(listed[i].name);
        if (found == leftOver.end())
            continue;
        match.knownAs[i] = found->second;
        match.listedAgain[found->second] = true;
    }
    return match;
}

} // namespace

TTrackChanges TTrackList::Update(const std::string& eventFolder, const TFolderNews& news) {
    TTrackChanges changes;
    // Told written: read again, whatever the listing says.
    const auto written = [&news](const std::string& name) {
        return news.Everything || (!news.Written.empty() && news.Written.count(name) > 0);
    };
    std::vector<TListedTrack> listed = listTracks(eventFolder);
    const TListingMatch match = matchListing(listed, m_known);
    const std::vector<std::size_t>& knownAs = match.knownAs;
    const std::vector<bool>& listedAgain = match.listedAgain;

    // The files no longer listed; those with a file id may have been renamed.
    std::unordered_map<std::uint64_t, std::size_t> goneById;
    for (std::size_t k = 0; k < m_known.size(); ++k) {
        if (listedAgain[k])
            continue;
        const TKnownFile& gone = m_known[k];
        if (gone.version.file != 0 && gone.settled && goneById.emplace(gone.version.file, k).second)
            continue;
        if (!gone.displayName.empty())
            changes.Removed.push_back(TTrackItem{gone.displayName, gone.name});
    }

    // The known files in the new listing's order; what is new or changed is read. A new name for a
    // file that is gone under its old one was renamed: its display name still holds.
    std::vector<TKnownFile> known(listed.size());
    std::vector<const std::string*> toRead;
    std::vector<std::size_t> readIndex;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        TListedTrack& track = listed[i];
        const std::size_t at = knownAs[i];
        const bool told = written(track.name);
        if (at != None && m_known[at].settled && m_known[at].version == track.version && !told) {
            known[i] = std::move(m_known[at]);
            continue;
        }
        // A file id may be given again to a new file as soon as the old one is deleted.
        const auto gone = at == None && track.version.file != 0 && !told ? goneById.find(track.version.file)
                                                                         : goneById.end();
        if (gone != goneById.end() && m_known[gone->second].version == track.version) {
            TKnownFile& renamed = m_known[gone->second];
            changes.Renamed.emplace_back(TTrackItem{renamed.displayName, renamed.name}, track.name);
            known[i] = TKnownFile{std::move(track.name), track.version, std::move(renamed.displayName), true};
            goneById.erase(gone);
            continue;
        }
        if (at != None)
            known[i].displayName = std::move(m_known[at].displayName); // what it showed before
        known[i].name = std::move(track.name);
        known[i].version = track.version;
        toRead.push_back(&known[i].name);
        readIndex.push_back(i);
    }
    for (const auto& [id, k] : goneById) {
        if (!m_known[k].displayName.empty())
            changes.Removed.push_back(
                TTrackItem{std::move(m_known[k].displayName), std::move(m_known[k].name)});
    }

    TReadTracks read = readTracks(eventFolder, toRead);
    for (std::size_t r = 0; r < toRead.size(); ++r) {
        TKnownFile& file = known[readIndex[r]];
        std::string& displayName = read.displayNames[r];
        if (file.displayName != displayName) {
            if (!file.displayName.empty())
                changes.Removed.push_back(TTrackItem{file.displayName, file.name});
            if (!displayName.empty())
                changes.Added.push_back(TTrackItem{displayName, file.name});
        }
        file.displayName = std::move(displayName);
        file.settled = !read.failures[r] && !file.displayName.empty();
    }
    m_known = std::move(known);
    changes.Unreadable = std::move(read.unreadable);
    changes.FirstFailure = std::move(read.firstFailure);
    return changes;
}

int TTrackList::rowOf(const TTrackItem& item) const {
    // Items whose display names compare equal are searched one by one: the program's own renames may
    // have left them out of file-name order.
    const auto first =
        std::lower_bound(m_items.begin(), m_items.end(), item, [](const TTrackItem& a, const TTrackItem& b) {
            return CompareAnsiNames(a.DisplayName, b.DisplayName) < 0;
        });
    for (auto it = first; it != m_items.end() && CompareAnsiNames(it->DisplayName, item.DisplayName) == 0;
         ++it) {
        if (it->FileName == item.FileName && it->DisplayName == item.DisplayName)
            return static_cast<int>(it - m_items.begin());
    }
    return -1;
}

void TTrackList::removeRow(int row, const TTrackListEvents* events) {
    if (events)
        events->removing(row);
    m_items.erase(m_items.begin() + row);
    if (events)
        events->removed();
}

void TTrackList::insertItem(TTrackItem item, const TTrackListEvents* events) {
    const auto at = std::upper_bound(m_items.begin(), m_items.end(), item, TrackItemLess);
    const int row = static_cast<int>(at - m_items.begin());
    if (events)
        events->inserting(row);
    m_items.insert(at, std::move(item));
    if (events)
        events->inserted();
}

void TTrackList::Apply(const TTrackChanges& changes, const TTrackListEvents* events) {
    if (!events) {
        // Many changes: one pass that drops the old items, then one sort with the new ones.
        std::unordered_set<std::string> dropped;
        for (const TTrackItem& item : changes.Removed)
            dropped.insert(item.FileName);
        for (const auto& [item, newName] : changes.Renamed)
            dropped.insert(item.FileName);
        std::erase_if(m_items, [&](const TTrackItem& item) { return dropped.count(item.FileName) > 0; });
        for (const auto& [item, newName] : changes.Renamed)
            m_items.push_back(TTrackItem{item.DisplayName, newName});
        m_items.insert(m_items.end(), changes.Added.begin(), changes.Added.end());
        std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
        return;
    }
    for (const TTrackItem& item : changes.Removed) {
        if (const int row = rowOf(item); row >= 0)
            removeRow(row, events);
    }
    for (const auto& [item, newName] : changes.Renamed) {
        const int row = rowOf(item);
        if (row < 0)
            continue;
        const TTrackItem renamed{item.DisplayName, newName};
        const std::size_t at = static_cast<std::size_t>(row);
        const bool inPlace = (at == 0 || !TrackItemLess(renamed, m_items[at - 1])) &&
                             (at + 1 == m_items.size() || !TrackItemLess(m_items[at + 1], renamed));
        if (inPlace) {
            m_items[at].FileName = newName;
            events->changed(row);
        } else {
            removeRow(row, events);
            insertItem(renamed, events);
        }
    }
    for (const TTrackItem& item : changes.Added)
        insertItem(item, events);
}

void TTrackList::Rename(std::size_t row, const std::string& fileName) {
    TTrackItem& item = m_items[row];
    const auto known = std::find_if(m_known.begin(), m_known.end(),
                                    [&](const TKnownFile& file) { return file.name == item.FileName; });
    // Another file known under the new name (one the folder has not been listed with since): what
    // the list knows no longer matches its items, so the next update reads the folder afresh.
    if (std::any_of(m_known.begin(), m_known.end(),
                    [&](const TKnownFile& file) { return file.name == fileName; }))
        m_stale = true;
    if (known != m_known.end())
        known->name = fileName;
    item.FileName = fileName;
}
