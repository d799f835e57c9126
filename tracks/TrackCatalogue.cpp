#include "tracks/TrackCatalogue.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

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

void TTrackList::Assign(std::vector<TTrackItem> items) {
    m_items = std::move(items);
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
}

namespace {

// Reads of one folder run on at most this many threads: with a cold cache each track waits for the
// disk, and a few reads in flight keep it busy; more than that only crowd the machine.
constexpr unsigned MaxReaders = 16;
// Below this many tracks the threads cost more than they save.
constexpr std::size_t FewTracks = 48;

unsigned readerCount(std::size_t count) {
    if (count < FewTracks)
        return 1;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(
        std::min<std::size_t>({std::size_t{MaxReaders}, std::size_t{cores} * 4, count / 8}));
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

void TTrackList::Fill(const std::string& eventFolder) {
    m_items.clear();
    // The listing first: the track files in the file system's order. The search closes with rec.
    std::vector<std::string> fileNames;
    {
        TSearchRec rec;
        if (FindFirst(eventFolder + "*.*", faAnyFile, rec) != 0)
            return;
        do {
            if (!rec.HasAttr(faDirectory | faVolumeID | faDevice) && IsTrackFileName(rec.Name))
                fileNames.push_back(rec.Name);
        } while (FindNext(rec) == 0);
    }

    // Then the files, read concurrently and put together in listing order: the list and the failures
    // are those of reading them one after another. The folder is resolved once (on Linux, letter case
    // and drive links of a Windows path); failures name the path as built.
    const std::string nativeFolder = WithTrailingSeparator(NativePath(eventFolder));
    std::vector<std::string> displayNames(fileNames.size());
    std::vector<std::exception_ptr> failures(fileNames.size());
    std::exception_ptr unexpected;
    readEach(
        fileNames.size(),
        [&](std::size_t i) {
            try {
                displayNames[i] = readSceneName(nativeFolder + fileNames[i], true);
            } catch (const EFOpenError&) {
                failures[i] = std::make_exception_ptr(EFOpenError(PathInFolder(eventFolder, fileNames[i])));
            } catch (const Exception&) {
                failures[i] = std::current_exception();
            } catch (const std::bad_alloc&) {
                failures[i] = std::make_exception_ptr(EOutOfMemory());
            }
        },
        unexpected);
    if (unexpected)
        std::rethrow_exception(unexpected);

    std::vector<std::string> unreadable;
    std::exception_ptr firstFailure;
    m_items.reserve(fileNames.size());
    for (std::size_t i = 0; i < fileNames.size(); ++i) {
        if (failures[i]) {
            if (!firstFailure)
                firstFailure = failures[i];
            try {
                std::rethrow_exception(failures[i]);
            } catch (const std::exception& failure) {
                unreadable.emplace_back(failure.what());
            }
        } else if (!displayNames[i].empty()) {
            m_items.push_back(TTrackItem{std::move(displayNames[i]), std::move(fileNames[i])});
        }
    }
    // Sorting once at the end gives the order that inserting each item at its place would, in n log n.
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
    if (!unreadable.empty())
        throw ETracksUnreadable(std::move(unreadable), std::move(firstFailure));
}
