#include "app/TrackCatalogue.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "container/Descramble.h"
#include "container/TSkarnFolder.h"
#include "platform/AnsiText.h"
#include "platform/TSearchRec.h"

const char* const GameRegistryKey = "SOFTWARE\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2";
const char* const GameRootValueName = "HardDriveRootPath";
const char* const EventTypes[6] = {"Baja", "Enduro", "National", "Quarries", "SX", "Tag"};

std::string EventFolder(const std::string& gameRoot, const std::string& eventType) {
    return gameRoot + "Vevozura\\" + eventType + "\\";
}

bool IsInactiveTrack(const std::string& fileName) {
    return fileName.size() >= 4 && fileName[fileName.size() - 4] == '~';
}

std::string FileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || fileName.find_first_of("\\:", dot) != std::string::npos)
        return {};
    return fileName.substr(dot);
}

bool IsTrackFileName(const std::string& name) {
    if (name.empty() || name[0] == '.')
        return false;
    return LowerAscii(FileExtension(name)).find("env") != std::string::npos;
}

std::string ReadSceneName(const std::string& path) {
    // The scene entry is read right after the directory, through the same open file.
    TSkarnFolder folder(path, true, TSkarnFolder::KeepOpen{});
    const int index = folder.FindEntry("scn");
    if (index < 0)
        return {};
    folder.LoadEntry(index);
    FolderEntry rec{};
    folder.GetEntry(index, rec);
    const std::int32_t size = folder.EntrySize(index);
    if (!rec.Data || size <= 0)
        return {};

    // Every byte is descrambled exactly once and in order, so the text scanned is the entry
    // descrambled from its first byte with the key 0xB1, whatever the container's variant.
    std::uint8_t key = 0xB1;
    std::int32_t position = 0;
    const auto readAt = [&](std::int32_t at) {
        std::uint8_t byte = rec.Data[at];
        Descramble(&byte, 1, key);
        return byte;
    };

    static constexpr char SceneKey[] = "SceneName=";
    constexpr int KeyLength = sizeof SceneKey - 1;
    int matched = 0;
    bool found = false;
    for (; position < size; ++position) {
        if (readAt(position) == static_cast<std::uint8_t>(SceneKey[matched])) {
            if (++matched == KeyLength) {
                found = true;
                break; // the position stays on the "="
            }
        } else {
            matched = 0;
        }
    }
    if (!found)
        return {};

    // Skip blanks and double quotes (not tabs); the entry may end inside them: then there is no name.
    std::uint8_t byte = 0;
    do {
        if (++position >= size)
            return {};
        byte = readAt(position);
    } while (byte == ' ' || byte == '"');

    // The name runs to a line feed, carriage return or double quote, or to the end of the entry.
    std::string name;
    while (byte != '\n' && byte != '\r' && byte != '"') {
        name += static_cast<char>(byte);
        if (++position >= size)
            break;
        byte = readAt(position);
    }
    return name;
}

bool TrackItemLess(const TTrackItem& a, const TTrackItem& b) {
    const int byName = CompareAnsiIgnoringCase(a.DisplayName, b.DisplayName);
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

std::string unreadableSummary(const std::vector<std::string>& messages) {
    if (messages.size() < 2)
        return messages.empty() ? std::string() : messages.front();
    const std::size_t more = messages.size() - 1;
    return messages.front() + " (and " + std::to_string(more) + " more track file" + (more == 1 ? "" : "s") +
           " cannot be read)";
}

} // namespace

ETracksUnreadable::ETracksUnreadable(std::vector<std::string> messages)
    : Exception(unreadableSummary(messages)), m_messages(std::move(messages)) {}

void TTrackList::Fill(const std::string& eventFolder) {
    m_items.clear();
    std::vector<std::string> unreadable;
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
                std::string displayName = ReadSceneName(eventFolder + rec.Name);
                if (!displayName.empty())
                    m_items.push_back(TTrackItem{std::move(displayName), rec.Name});
            } catch (const Exception& failure) {
                unreadable.emplace_back(failure.what());
            } catch (const std::bad_alloc&) {
                unreadable.emplace_back(EOutOfMemory().what());
            }
        } while (FindNext(rec) == 0);
        FindClose(rec);
    }
    // Sorting once at the end gives the order that inserting each item at its place would, in n log n.
    std::stable_sort(m_items.begin(), m_items.end(), TrackItemLess);
    if (!unreadable.empty())
        throw ETracksUnreadable(std::move(unreadable));
}
