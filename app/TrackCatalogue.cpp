#include "app/TrackCatalogue.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "container/Descramble.h"
#include "container/TSkarnFolder.h"
#include "platform/AnsiText.h"
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

// The scene descriptor read byte by byte through a small buffer, descrambled with the running key from
// 0xB1 at its first byte: only the part that the name needs is ever read.
class TSceneReader {
public:
    TSceneReader(TSkarnFolder& folder, int index, std::int64_t size)
        : m_folder(folder), m_index(index), m_size(size) {}

    // The next descrambled byte; false at the end of the entry. Bytes the file no longer holds read
    // as zero bytes, as a loaded entry has them.
    bool Next(std::uint8_t& byte) {
        if (m_position >= m_size)
            return false;
        if (m_at == m_filled) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::int64_t>(sizeof m_buffer, m_size - m_position));
            const std::size_t got = m_folder.ReadEntryPart(m_index, m_position, m_buffer, want);
            std::fill(m_buffer + got, m_buffer + want, std::uint8_t{0});
            m_filled = want;
            m_at = 0;
        }
        byte = m_buffer[m_at++];
        ++m_position;
        Descramble(&byte, 1, m_key);
        return true;
    }

private:
    TSkarnFolder& m_folder;
    const int m_index;
    const std::int64_t m_size;
    std::int64_t m_position = 0;
    std::uint8_t m_key = 0xB1;
    std::uint8_t m_buffer[4096];
    std::size_t m_filled = 0;
    std::size_t m_at = 0;
};

} // namespace

std::string ReadSceneName(const std::string& path) {
    // The scene entry is read right after the directory, through the same open file.
    TSkarnFolder folder(path, true, TSkarnFolder::KeepOpen{});
    const int index = folder.FindEntry("scn");
    if (index < 0)
        return {};
    const std::int32_t size = folder.EntrySize(index);
    if (size <= 0)
        return {};
    // Every byte is descrambled exactly once and in order, so the text scanned is the entry
    // descrambled from its first byte with the key 0xB1, whatever the container's variant.
    TSceneReader reader(folder, index, std::min<std::int64_t>(size, SceneScanLimit));

    static constexpr char SceneKey[] = "SceneName=";
    constexpr int KeyLength = sizeof SceneKey - 1;
    int matched = 0;
    std::uint8_t byte = 0;
    while (matched < KeyLength) {
        if (!reader.Next(byte))
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
    std::vector<std::string> unreadable;
    std::exception_ptr firstFailure;
    {
        // The search closes with rec.
        TSearchRec rec;
        if (FindFirst(eventFolder + "*.*", faAnyFile, rec) != 0)
            return;
        do {
            if (rec.Attr & (faDirectory | faVolumeID | faDevice))
                continue;
            if (!IsTrackFileName(rec.Name))
                continue;
            try {
                std::string displayName = ReadSceneName(PathInFolder(eventFolder, rec.Name));
                if (!displayName.empty())
                    m_items.push_back(TTrackItem{std::move(displayName), rec.Name});
            } catch (const Exception& failure) {
                if (unreadable.empty())
                    firstFailure = std::current_exception();
                unreadable.emplace_back(failure.what());
            } catch (const std::bad_alloc&) {
                if (unreadable.empty())
                    firstFailure = std::make_exception_ptr(EOutOfMemory());
                unreadable.emplace_back(EOutOfMemory().what());
            }
        } while (FindNext(rec) == 0);
        FindClose(rec);
    }
    // Sorting once at the end gives the order that inserting each item at its place would, in n log n.
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
    if (!unreadable.empty())
        throw ETracksUnreadable(std::move(unreadable), std::move(firstFailure));
}
