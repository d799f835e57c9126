#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

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

// The listed tracks of one event folder, in list order: sorted by display name as a sorted list box
// does under a Western locale (accents and letter case ignored, CompareAnsiNames), without consulting
// the machine's locale; equal names ordered by file name, so that the order is the same on every
// machine.
class TTrackList {
public:
    // Rebuilds the list from the event folder. Folders, volume labels, devices and FIFOs, names
    // beginning with "." and names without "env" in their extension are passed over, and so are
    // tracks without a display name. A missing folder gives an empty list. A track file that cannot
    // be read (a dangling link, no rights, locked) is passed over: the list holds every track that
    // can be read, and then ETracksUnreadable reports the ones that could not.
    void Fill(const std::string& eventFolder);
    void Clear() { m_items.clear(); }
    // Replaces the items with these, put into list order.
    void Assign(std::vector<TTrackItem> items);

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const TTrackItem& operator[](std::size_t i) const { return m_items[i]; }
    TTrackItem& operator[](std::size_t i) { return m_items[i]; }
    const std::vector<TTrackItem>& Items() const { return m_items; }

private:
    std::vector<TTrackItem> m_items;
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
