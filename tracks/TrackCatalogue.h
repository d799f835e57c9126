// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/TFolderNotice.h"
#include "platform/TSearchRec.h"

// The track catalogue without the widgets: which files of an event folder are tracks, their display
// names, and the list's order. The window and skarnres both use it.

// One list item: the display name as stored (Windows-1252 text, never empty) and the track file's
// name without folder, as the file system reports it.
struct TTrackItem {
    std::string DisplayName;
    std::string FileName;
};

// Where the game's root folder is registered, under HKEY_LOCAL_MACHINE.
extern const char* const GameRegistryKey;
extern const char* const GameRootValueName;

// The file that tools/demo-game leaves in the Wine prefix of a demo installation, so that the window
// can tell the player that it shows the demo and not the game.
extern const char* const DemoMarkerName;

// The six event types, in the order of the event selector; also the names of their folders.
extern const char* const EventTypes[6];

// GameRoot + "Vevozura\" + event type + "\".
std::string EventFolder(const std::string& gameRoot, const std::string& eventType);

// True when the fourth character from the end of the name is "~" (as in "x.~env").
bool IsInactiveTrack(const std::string& fileName);

// True for a name the catalogue opens as a track: not beginning with ".", and its extension
// (FileExtension), lower-cased, contains "env" (".env", ".~env", ".ENV", ".envx", ".oldenv").
bool IsTrackFileName(const std::string& name);

// The longest display name: a longer one is cut to its first DisplayNameLimit characters.
inline constexpr std::size_t DisplayNameLimit = 255;
// How far into a scene descriptor its key is looked for: a key that starts later is not found.
inline constexpr std::int64_t SceneScanLimit = std::int64_t{16} * 1024 * 1024;

// The display name of the track file at path: the text after the first "SceneName=" of its scene
// descriptor (the first entry whose name contains "scn", descrambled from key 0xB1), up to a line
// break or double quote, at most DisplayNameLimit characters; blanks and double quotes before it are
// skipped. Empty when the file has no such entry, key or name. Only as much of the descriptor is read
// as the name needs, in small pieces. Throws EFOpenError when the file cannot be opened.
//
// NOTE: the key search keeps a match counter that restarts after a mismatching byte without
// comparing that byte again, so the key is missed where it directly follows a beginning of itself
// ("SSceneName=", "SceneSceneName="). Track files rely on the game's own reading of this, which
// behaves the same way.
std::string ReadSceneName(const std::string& path);

// What changed in an event folder since its list was filled or last updated (TTrackList::Update).
struct TTrackChanges {
    std::vector<TTrackItem> Removed; // items whose track is gone, unreadable, nameless or renamed
    std::vector<TTrackItem> Added;   // new items, and the new names of items in Removed
    // Items whose file was renamed by another program, as they were, with the file's new name: the
    // same file (as the listing tells) under the same display name, not read again.
    std::vector<std::pair<TTrackItem, std::string>> Renamed;
    // What reading the new and changed files raised, as Fill reports it; empty when all were read.
    std::vector<std::string> Unreadable;
    std::exception_ptr FirstFailure;

    std::size_t size() const { return Removed.size() + Added.size() + Renamed.size(); }
    bool empty() const { return size() == 0; }
    // Throws ETracksUnreadable when a file could not be read.
    void ThrowFailures() const;
};

// Told by TTrackList::Apply before and after each change of its rows, so that a view can follow.
struct TTrackListEvents {
    std::function<void(int row)> removing, inserting, changed;
    std::function<void()> removed, inserted;
};

// The listed tracks of one event folder, in list order: sorted by display name as a sorted list box
// does under a Western locale (accents and letter case ignored, CompareAnsiNames), without consulting
// the machine's locale; equal names ordered by file name, so that the order is the same on every
// machine. The list remembers what it read of each track file, so that Update reads only the files
// that changed.
class TTrackList {
public:
    // Rebuilds the list from the event folder, reading every track file. Folders, volume labels,
    // devices and FIFOs, names beginning with "." and names without "env" in their extension are
    // passed over, and so are tracks without a display name. A missing folder gives an empty list. A
    // track file that cannot be read (a dangling link, no rights, locked) is passed over: the list
    // holds every track that can be read, and then ETracksUnreadable reports the ones that could not.
    void Fill(const std::string& eventFolder);
    void Clear();
    // Replaces the items with these, put into list order. The list then has no folder.
    void Assign(std::vector<TTrackItem> items);

    // True when Update can bring the list up to date with eventFolder: it was filled from that folder
    // and has followed it since.
    bool Follows(const std::string& eventFolder) const { return !m_stale && eventFolder == m_folder; }
    // Lists the folder again and reads only the track files that are new, whose listed version
    // changed (TListedVersion), that gave no name or could not be read before, or that news tells were
    // written (every file when it tells Everything). A file renamed on Linux is known by its inode and
    // not read again, unless told written. Returns what changed; the items stay as they are until
    // Apply. Needs Follows(eventFolder).
    TTrackChanges Update(const std::string& eventFolder, const TFolderNews& news = {});
    // Applies what Update returned to the items, in place. With events, each row removed, inserted or
    // changed is told as it goes; without, the items are rebuilt in one pass, for many changes at once.
    void Apply(const TTrackChanges& changes, const TTrackListEvents* events);
    // Writes a track's new file name into its item after the program renamed the file.
    void Rename(std::size_t row, const std::string& fileName);

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const TTrackItem& operator[](std::size_t i) const { return m_items[i]; }
    const std::vector<TTrackItem>& Items() const { return m_items; }

private:
    // What the list read of one track file of its folder.
    struct TKnownFile {
        std::string name;
        TListedVersion version;
        std::string displayName; // empty: the file is not listed
        bool settled = false;    // read and named: read again only when its version changes
    };

    // The row of item, or -1.
    int rowOf(const TTrackItem& item) const;
    void insertItem(TTrackItem item, const TTrackListEvents* events);
    void removeRow(int row, const TTrackListEvents* events);

    std::vector<TTrackItem> m_items;
    std::string m_folder; // the folder the list follows
    // In the order of the last listing: a folder listed again comes in the same order, so that the
    // files are matched one after another and looked up by name only where the order differs.
    std::vector<TKnownFile> m_known;
    bool m_stale = false; // the known files no longer match the items: the next update is a fill
};

// The track files of one fill that could not be read. Its message names the first failure and how
// many more there were ("Cannot open file C:\...\b.env (and 2 more track files cannot be read)");
// Messages() holds each failure's own message, in folder order; First() the first failure itself, for a
// report that spells its path otherwise, and MoreText() the words after it.
class ETracksUnreadable : public Exception {
public:
    ETracksUnreadable(std::vector<std::string> messages, std::exception_ptr first);
    const std::vector<std::string>& Messages() const { return m_messages; }
    const std::exception_ptr& First() const { return m_first; }
    std::string MoreText() const;

private:
    std::vector<std::string> m_messages;
    std::exception_ptr m_first;
};

// The list's order: true when a goes before b.
bool TrackItemLess(const TTrackItem& a, const TTrackItem& b);
